#include "ULacoSimples.h"

#include "UErro.h"
#include "UFirebird.h"

#include <cstring>

using namespace Firebird;

void TParametrosLinha::Inteiro(unsigned indice, std::int32_t valor)
{
    const TLugar& lugar = FLugares.at(indice);
    if (lugar.Tipo != SQL_LONG) throw EErro("Parâmetro " + std::to_string(indice) + " não é INTEGER.");
    std::memcpy(FMensagem + lugar.Deslocamento, &valor, sizeof valor);
}

void TParametrosLinha::Texto(unsigned indice, std::string_view valor)
{
    const TLugar& lugar = FLugares.at(indice);
    if (lugar.Tipo != SQL_VARYING) throw EErro("Parâmetro " + std::to_string(indice) + " não é VARCHAR.");
    // fbclient would send a longer value cut short without a word.
    if (valor.size() > lugar.Tamanho) throw EErro("Texto longo demais para o parâmetro " + std::to_string(indice) + ".");
    const auto tamanho = static_cast<std::uint16_t>(valor.size());
    std::memcpy(FMensagem + lugar.Deslocamento, &tamanho, sizeof tamanho);
    std::memcpy(FMensagem + lugar.Deslocamento + sizeof tamanho, valor.data(), valor.size());
}

struct TLacoSimples::TEstado {
    TRefFb<IProvider> Provedor;
    TRefFb<IAttachment> Anexo;
};

TLacoSimples::TLacoSimples(const std::string& localizador, const std::string& usuario, const std::string& senha)
    : FEstado(std::make_unique<TEstado>())
{
    TBlocoParametros dpb(IXpbBuilder::DPB);
    dpb.InsereTexto(isc_dpb_user_name, usuario);
    dpb.InsereTexto(isc_dpb_password, senha);
    dpb.InsereTexto(isc_dpb_lc_ctype, "NONE");
    dpb.InsereInteiro(isc_dpb_sql_dialect, 3);
    FEstado->Provedor.reset(MestreFb()->getDispatcher());
    TStatusFb st;
    FEstado->Anexo.reset(FEstado->Provedor->attachDatabase(&st, localizador.c_str(), dpb.Tamanho(), dpb.Dados()));
    st.Verifica("Laço simples: não foi possível conectar a " + localizador);
}

TLacoSimples::~TLacoSimples()
{
    if (!FEstado->Anexo) return;
    TStatusFb st;
    FEstado->Anexo->detach(&st);
    if (!st.Falhou()) (void)FEstado->Anexo.release();
}

TMedida TLacoSimples::Executa(const std::string& texto, int linhas, const std::function<void(int, TParametrosLinha&)>& preenche,
                              TContagem contagem)
{
    const std::string acao = "Laço simples: " + texto;
    IAttachment* anexo = FEstado->Anexo.get();
    TStatusFb st;
    // The isolation our layer's transactions use.
    TBlocoParametros tpb(IXpbBuilder::TPB);
    tpb.InsereMarca(isc_tpb_write);
    tpb.InsereMarca(isc_tpb_read_committed);
    tpb.InsereMarca(isc_tpb_rec_version);
    tpb.InsereMarca(isc_tpb_wait);

    const TCronometro cronometro;
    TRefFb<ITransaction> transacao(anexo->startTransaction(&st, tpb.Tamanho(), tpb.Dados()));
    st.Verifica(acao);
    TRefFb<IStatement> comando;
    try {
        comando.reset(anexo->prepare(&st, transacao.get(), static_cast<unsigned>(texto.size()), texto.data(), 3,
                                     IStatement::PREPARE_PREFETCH_METADATA));
        st.Verifica(acao);
        TRefFb<IMessageMetadata> entrada(comando->getInputMetadata(&st));
        st.Verifica(acao);
        const unsigned quantos = entrada->getCount(&st);
        std::vector<unsigned char> mensagem(entrada->getMessageLength(&st));
        st.Verifica(acao);
        // A text with RETURNING gets its answer in the execute's own reply, as the layer takes it.
        TRefFb<IMessageMetadata> saida(comando->getOutputMetadata(&st));
        st.Verifica(acao);
        const bool devolve = saida->getCount(&st) > 0;
        std::vector<unsigned char> resposta(saida->getMessageLength(&st));
        st.Verifica(acao);
        TParametrosLinha parametros;
        parametros.FMensagem = mensagem.data();
        for (unsigned i = 0; i < quantos; ++i) {
            parametros.FLugares.push_back({entrada->getType(&st, i) & ~1u, entrada->getLength(&st, i), entrada->getOffset(&st, i)});
            const std::int16_t presente = 0;
            std::memcpy(mensagem.data() + entrada->getNullOffset(&st, i), &presente, sizeof presente);
            st.Verifica(acao);
        }

        for (int linha = 0; linha < linhas; ++linha) {
            preenche(linha, parametros);
            comando->execute(&st, transacao.get(), entrada.get(), mensagem.data(), devolve ? saida.get() : nullptr,
                             devolve ? resposta.data() : nullptr);
            st.Verifica(acao);
            if (contagem == TContagem::ExigeUmRegistro) {
                const ISC_UINT64 alcancados = comando->getAffectedRecords(&st);
                st.Verifica(acao);
                if (alcancados != 1) throw EErro(acao + ": alcançou " + std::to_string(alcancados) + " registros na linha " + std::to_string(linha));
            }
        }
        transacao->commit(&st);
        st.Verifica(acao);
        (void)transacao.release();
    } catch (...) {
        FechaSemFalha(comando);
        FechaSemFalha(transacao);
        throw;
    }
    const TMedida medida = cronometro.Medida();
    FechaSemFalha(comando);
    return medida;
}

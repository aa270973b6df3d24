#include "ULeituraConjunto.h"
#include "UComando.h"
#include "UConexaoImpl.h"
#include "UErro.h"
#include "UObjetoGrande.h"

#include <cstring>

using namespace Firebird;

std::vector<TColuna> DescreveColunas(IMessageMetadata* saida, const std::string& texto)
{
    TStatusFb st;
    const std::string acao = "Não foi possível descrever o resultado do comando " + texto;
    const unsigned contagem = saida->getCount(&st);
    st.Verifica(acao);
    std::vector<TColuna> colunas(contagem);
    for (unsigned i = 0; i < contagem; ++i) {
        TColuna& c = colunas[i];
        c.Nome = saida->getAlias(&st, i);
        c.Campo = saida->getField(&st, i);
        c.Relacao = saida->getRelation(&st, i);
        c.Tipo = saida->getType(&st, i) & ~1u;
        c.SubTipo = saida->getSubType(&st, i);
        c.Tamanho = saida->getLength(&st, i);
        c.Escala = saida->getScale(&st, i);
        c.CharSet = saida->getCharSet(&st, i);
        c.Deslocamento = saida->getOffset(&st, i);
        c.DeslocamentoNulo = saida->getNullOffset(&st, i);
        st.Verifica(acao);
        if (c.Nome.empty()) c.Nome = c.Campo;
        if (c.Tipo == SQL_ARRAY || c.Tipo == SQL_D_FLOAT)
            throw EErro("A coluna " + c.Nome + " tem um tipo que este programa não lê (comando " + texto + ").");
    }
    return colunas;
}


namespace {

// The server sends as many rows per request as fit its buffer at the declared width: at
// VARCHAR(32765) some thirty, at this width hundreds.
constexpr unsigned LarguraEstreita = 1024;

// A value that fills the narrow width may have been cut there: Firebird cuts blanks (and, in
// OCTETS, zero bytes) beyond a declared width without an error, where anything else fails.
bool TalvezCortada(const std::vector<TColuna>& colunas, const std::vector<std::optional<std::string_view>>& valores)
{
    for (std::size_t i = 0; i < colunas.size(); ++i)
        if (colunas[i].Tipo == SQL_VARYING && colunas[i].Tamanho > LarguraEstreita && valores[i]
            && valores[i]->size() >= LarguraEstreita)
            return true;
    return false;
}

} // namespace

TRefFb<IMessageMetadata> Estreita(IMessageMetadata* saida, const std::vector<TColuna>& colunas, const std::string& acao)
{
    TStatusFb st;
    TRefFb<IMetadataBuilder> construtor(saida->getBuilder(&st));
    st.Verifica(acao);
    bool estreitou = false;
    for (unsigned i = 0; i < colunas.size(); ++i)
        if (colunas[i].Tipo == SQL_VARYING && colunas[i].Tamanho > LarguraEstreita) {
            construtor->setLength(&st, i, LarguraEstreita);
            st.Verifica(acao);
            estreitou = true;
        }
    if (!estreitou) return nullptr;
    TRefFb<IMessageMetadata> estreita(construtor->getMetadata(&st));
    st.Verifica(acao);
    return estreita;
}

TLinha LeLinha(const std::vector<TColuna>& colunas, const unsigned char* mensagem, IAttachment* anexo, ITransaction* transacao,
               std::vector<std::optional<std::string_view>>& valores, std::vector<std::string>& objetosGrandes)
{
    for (std::size_t i = 0; i < colunas.size(); ++i) {
        const TColuna& c = colunas[i];
        std::int16_t nulo = 0;
        std::memcpy(&nulo, mensagem + c.DeslocamentoNulo, sizeof nulo);
        if (nulo || c.Tipo == SQL_NULL) {
            valores[i] = std::nullopt;
        } else if (c.EhObjetoGrande()) {
            ISC_QUAD id;
            std::memcpy(&id, mensagem + c.Deslocamento, sizeof id);
            objetosGrandes[i] = LeObjetoGrande(anexo, transacao, id, c.Nome);
            valores[i] = objetosGrandes[i];
        } else {
            valores[i] = LeDaMensagem(c, mensagem);
        }
    }
    return TLinha{TRegistro(valores), nullptr};
}

std::deque<TLinha> LeCursor(TComando& comando, IMessageMetadata* saida, std::vector<TColuna> colunas, TConexaoImpl& conexao,
                            ITransaction* transacao, const std::string& texto)
{
    const std::string acao = "Não foi possível executar o comando " + texto;
    TStatusFb st;
    for (unsigned i = 0; i < colunas.size(); ++i) {
        colunas[i].Deslocamento = saida->getOffset(&st, i);
        colunas[i].DeslocamentoNulo = saida->getNullOffset(&st, i);
        st.Verifica(acao);
    }
    const unsigned tamanho = saida->getMessageLength(&st);
    st.Verifica(acao);
    std::vector<unsigned char> mensagem(tamanho);
    std::deque<TLinha> linhas;
    std::vector<std::optional<std::string_view>> valores(colunas.size());
    std::vector<std::string> objetosGrandes(colunas.size());

    const bool estreita = saida != comando.Saida();
    TRefFb<IResultSet> cursor(comando.Handle()->openCursor(&st, transacao, nullptr, nullptr, saida, 0));
    st.Verifica(acao);
    conexao.ContaExecucao(texto);
    try {
        for (;;) {
            const int r = cursor->fetchNext(&st, mensagem.data());
            st.Verifica(acao);
            if (r != IStatus::RESULT_OK) break;
            linhas.push_back(LeLinha(colunas, mensagem.data(), conexao.Anexo(), transacao, valores, objetosGrandes));
            if (estreita && TalvezCortada(colunas, valores))
                throw EErro("Um texto lido pode ter sido cortado na largura estreita: " + texto);
        }
        cursor->close(&st);
        st.Verifica(acao);
        (void)cursor.release();
    } catch (...) {
        // An open cursor left behind breaks fbclient's next call, and its exit.
        FechaSemFalha(cursor);
        throw;
    }
    return linhas;
}

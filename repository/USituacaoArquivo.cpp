#include "USituacaoArquivo.h"

#include "UArquivoFonte.h"
#include "UAtualizacao.h"
#include "UCaminhos.h"
#include "UCarimbo.h"
#include "UDM.h"
#include "UErro.h"
#include "UListaArquivos.h"
#include "URepositorio.h"
#include "UTexto.h"

#include <exception>

namespace {

TTransactionDesc DescricaoLeitura()
{
    TTransactionDesc descricao;
    descricao.TransactionID = IdTransacaoLeitura;
    // One snapshot for the whole list, so the report never mixes two states of a file.
    descricao.IsolationLevel = TNivelIsolamento::RepeatableRead;
    descricao.SomenteLeitura = true;
    return descricao;
}

// Ends the read-only transaction on every way out; nothing was written, so a rollback loses nothing.
class TTransacaoLeitura {
public:
    explicit TTransacaoLeitura(TConexao& conexao) : FConexao(conexao) { FConexao.StartTransaction(DescricaoLeitura()); }
    ~TTransacaoLeitura()
    {
        try { FConexao.Rollback(DescricaoLeitura()); } catch (...) {}
    }
    TTransacaoLeitura(const TTransacaoLeitura&) = delete;
    TTransacaoLeitura& operator=(const TTransacaoLeitura&) = delete;
private:
    TConexao& FConexao;
};

std::vector<std::string> LeCorpo(TArquivoFonte& fonte)
{
    std::vector<std::string> linhas;
    while (!fonte.Eof()) linhas.push_back(fonte.LeLinha());
    return linhas;
}

std::vector<TLinhaArmazenada> LeCorpoArmazenado(TClientDataSet& dados, std::int64_t id)
{
    dados.Close();
    dados.SetCommandText(ComandoCorpo(id));
    dados.Open();
    std::vector<TLinhaArmazenada> linhas;
    for (; !dados.Eof(); dados.Next()) {
        const TCampo& campo = dados.FieldByName("DADOS");
        linhas.push_back({dados.FieldByName("SEQUENCIA").AsInteger(),
                          campo.IsNull() ? std::nullopt : std::optional(campo.AsString())});
    }
    dados.Close();
    return linhas;
}

} // namespace

TEstadoArquivo EstadoPorCarimbo(const std::optional<std::string>& armazenado, const std::string& carimbo)
{
    if (!armazenado) return TEstadoArquivo::Novo;
    if (CarimboMenor(*armazenado, carimbo)) return TEstadoArquivo::Desatualizado;
    if (CarimboMenor(carimbo, *armazenado)) return TEstadoArquivo::ArmazenadoMaisNovo;
    return TEstadoArquivo::Atualizado;
}

TSituacaoArquivo SituacaoArquivo(TDM& dm, const std::string& linhaCabecalho, TArquivoFonte& fonte,
                                 const std::string& pastaRepositorio, TComparacao comparacao)
{
    const auto [nome, carimbo] = ExtraiCabecalho(linhaCabecalho);
    TSituacaoArquivo situacao;
    situacao.NomeRepositorio = NomeRepositorio(pastaRepositorio, nome);
    situacao.Carimbo = carimbo;
    const std::vector<std::string> linhas = LeCorpo(fonte);
    situacao.Linhas = static_cast<int>(linhas.size());

    TClientDataSet& dados = dm.cdsDados;
    try {
        dados.Close();
        dados.SetCommandText(ComandoBusca(situacao.NomeRepositorio));
        dados.Open();
    } catch (const std::exception& e) {
        throw EErro(std::string(MsgBancoInvalido) + " " + e.what());
    }

    if (dados.Eof()) {
        situacao.Estado = TEstadoArquivo::Novo;
        situacao.Corpo = ComparaCorpo({}, linhas);
        return situacao;
    }

    const std::int64_t id = dados.FieldByName("ID").AsInteger();
    situacao.Armazenado = DataHoraParaCarimbo(dados.FieldByName("DATA_HORA").AsDateTime());
    situacao.Estado = EstadoPorCarimbo(situacao.Armazenado, carimbo);
    const bool compara = situacao.Estado == TEstadoArquivo::Desatualizado
        || (situacao.Estado == TEstadoArquivo::Atualizado && comparacao == TComparacao::TambemAtualizados);
    if (compara) situacao.Corpo = ComparaCorpo(LeCorpoArmazenado(dados, id), linhas);
    return situacao;
}

std::vector<TSituacaoArquivo> ExaminaLista(TDM& dm, const TAmbienteAtualizacao& ambiente, TComparacao comparacao)
{
    const std::vector<std::string> entradas = LeListaArquivos(ambiente.DiretorioExecutavel + NomeLista);
    TTransacaoLeitura transacao(dm.conexao);

    std::vector<TSituacaoArquivo> situacoes;
    for (const std::string& entrada : entradas) {
        const std::string caminho = CaminhoEntrada(ambiente.DiretorioExecutavel, Apara(entrada), ambiente.SeparadorPasta);
        TSituacaoArquivo situacao;
        if (ArquivoRegularExiste(caminho)) {
            TArquivoFonte fonte(caminho);
            const std::string cabecalho = fonte.LeLinha();
            situacao = SituacaoArquivo(dm, cabecalho, fonte, ambiente.PastaRepositorio, comparacao);
            // A file that would be written with a stamp the writer cannot convert ends a run
            // there: the look says so too, naming the file, instead of counting it as writable.
            const bool seriaGravado = situacao.Estado == TEstadoArquivo::Novo || situacao.Estado == TEstadoArquivo::Desatualizado;
            try {
                if (seriaGravado) (void)CarimboParaDataHora(situacao.Carimbo);
            } catch (const std::exception& e) {
                throw EErro(MensagemErroArquivo(entrada, e.what()));
            }
        }
        situacao.Entrada = entrada;
        situacoes.push_back(std::move(situacao));
    }
    return situacoes;
}

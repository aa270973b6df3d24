#include "UAtualizaArquivo.h"

#include "UArquivoFonte.h"
#include "UCarimbo.h"
#include "UDM.h"
#include "UMensagensUsuario.h"
#include "URepositorio.h"
#include "UTexto.h"

#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace {

// Rolls the file's transaction back when an error leaves the writer between its begin
// and its end, so a half-written file can never be committed later on the connection.
class TGuardaTransacao {
public:
    explicit TGuardaTransacao(TDM& dm) : FDm(dm) {}
    ~TGuardaTransacao()
    {
        if (FAtiva) (void)FDm.CancelaTransacao(IdTransacaoArquivo);   // nothing to report from here
    }
    TGuardaTransacao(const TGuardaTransacao&) = delete;
    TGuardaTransacao& operator=(const TGuardaTransacao&) = delete;

    void Confirma() { Termina(FDm.ConfirmaTransacao(IdTransacaoArquivo)); }
    void Cancela() { Termina(FDm.CancelaTransacao(IdTransacaoArquivo)); }

private:
    void Termina(bool sucesso)
    {
        ExigeTransacao(sucesso);   // on failure the guard stays armed and rolls back
        FAtiva = false;
    }
    TDM& FDm;
    bool FAtiva = true;
};

// Held by the file's transaction from its begin: another run's file transaction waits for
// ours to end, so what it writes is either visible to us or comes after us.
const std::vector<std::string> TabelasRepositorio{"REPOSITORIO", "REPOSITORIO_DADOS"};

enum class TSituacao { Pronto, EmDia, FalhaBusca, FalhaPost };

// The file's row pending in cdsDados, ready to be applied, and what it is.
struct TRegistroPendente {
    TSituacao Situacao = TSituacao::Pronto;
    std::int64_t Id = 0;
    bool Novo = false;
};

// Looks the file up and leaves its row posted in cdsDados: a new row with the next ID, or
// the stored row with the new stamp when the stored copy is older. Tells `informa` the
// stored stamp, and Firebird's reason when the lookup failed.
TRegistroPendente PreparaRegistro(TDM& dm, const std::string& nomeRepositorio, const std::string& carimbo,
                                  TDesfechoGravacao& informa)
{
    TClientDataSet& dados = dm.cdsDados;
    try {
        dados.Close();
        dados.SetCommandText(ComandoBusca(nomeRepositorio));
        dados.Open();
    } catch (const std::exception& e) {
        informa.Motivo = e.what();
        return {TSituacao::FalhaBusca};
    }

    TRegistroPendente registro;
    if (dados.Eof()) {
        dm.cds.Close();
        dm.cds.SetCommandText("SELECT MAX(ID) FROM REPOSITORIO");
        dm.cds.Open();
        registro.Id = dm.cds.Fields(0).AsInteger() + 1;
        registro.Novo = true;
        dados.Append();
        dados.FieldByName("ID").SetAsInteger(registro.Id);
        dados.FieldByName("ARQUIVO").SetAsString(nomeRepositorio);
    } else {
        registro.Id = dados.FieldByName("ID").AsInteger();
        const std::string armazenado = DataHoraParaCarimbo(dados.FieldByName("DATA_HORA").AsDateTime());
        informa.Armazenado = armazenado;
        if (!CarimboMenor(armazenado, carimbo)) return {TSituacao::EmDia};
        dados.Edit();
    }

    dados.FieldByName("DATA_HORA").SetAsDateTime(CarimboParaDataHora(carimbo));
    try {
        dados.Post();
    } catch (const std::exception&) {
        return {TSituacao::FalhaPost};
    }
    return registro;
}

// Inside the file's transaction, with the tables reserved: whether the name is still
// unstored and the ID read before the transaction still the next one. Another run may have
// committed either since our lookup, and without keys nothing else would refuse the row.
bool ContinuaNovo(TDM& dm, const std::string& nomeRepositorio, std::int64_t id)
{
    dm.cds.Close();
    // The name stands last, after the only WHERE: files differ in that literal alone, so the
    // layer sends this as one request once it has seen that it gives one row.
    dm.cds.SetCommandText("SELECT (SELECT MAX(ID) FROM REPOSITORIO), COUNT(*) FROM REPOSITORIO WHERE ARQUIVO="
                          + AspasSql(nomeRepositorio));
    dm.cds.Open();
    return dm.cds.Fields(0).AsInteger() + 1 == id && dm.cds.Fields(1).AsInteger() == 0;
}

// What the writer returns, with its message, when the row is not to be written.
TResultado Conclui(TSituacao situacao, IMensagens& mensagens, const std::string& nome, TDesfechoGravacao& informa)
{
    if (situacao == TSituacao::FalhaBusca) {
        informa.Estado = TEstadoGravacao::BuscaFalhou;
        return TResultado::Para;
    }
    if (situacao == TSituacao::FalhaPost) {
        informa.Estado = TEstadoGravacao::Falhou;
        mensagens.Mensagem(MsgErroGravarRegistro + nome);
    }
    return TResultado::Continua;
}

} // namespace

std::function<void()> AntesDaTransacaoArquivo;

TResultado AtualizaArquivo(TDM& dm, IMensagens& mensagens, const std::string& linhaCabecalho,
                           TArquivoFonte& fonte, const std::string& pastaRepositorio,
                           TDesfechoGravacao* desfecho)
{
    const auto [nome, carimbo] = ExtraiCabecalho(linhaCabecalho);
    const std::string nomeRepositorio = NomeRepositorio(pastaRepositorio, nome);
    TClientDataSet& dados = dm.cdsDados;
    TDesfechoGravacao nenhum;
    TDesfechoGravacao& informa = desfecho ? *desfecho : nenhum;
    informa = {};

    TRegistroPendente registro = PreparaRegistro(dm, nomeRepositorio, carimbo, informa);
    if (registro.Situacao != TSituacao::Pronto) return Conclui(registro.Situacao, mensagens, nome, informa);

    if (AntesDaTransacaoArquivo) AntesDaTransacaoArquivo();
    ExigeTransacao(dm.IniciaTransacao(IdTransacaoArquivo, TabelasRepositorio));
    TGuardaTransacao transacao(dm);

    // Another run that got in between has committed by now and nobody else writes until we
    // end, so looking again inside the transaction settles it. A stored row changed meanwhile
    // shows as a where-all UPDATE that reaches no row; a new one costs the one check.
    bool aplicar = true;
    if (registro.Novo) {
        if (!ContinuaNovo(dm, nomeRepositorio, registro.Id)) registro = PreparaRegistro(dm, nomeRepositorio, carimbo, informa);
    } else if (dados.ApplyUpdates(0) == 0) {
        aplicar = false;
    } else {
        registro = PreparaRegistro(dm, nomeRepositorio, carimbo, informa);
    }
    if (registro.Situacao != TSituacao::Pronto) {
        transacao.Cancela();
        return Conclui(registro.Situacao, mensagens, nome, informa);
    }
    if (aplicar && dados.ApplyUpdates(0) != 0) {
        transacao.Cancela();
        informa.Estado = TEstadoGravacao::Falhou;
        mensagens.Mensagem(MsgErroCommitRegistro + nome);
        return TResultado::Continua;
    }
    const std::int64_t id = registro.Id;

    dados.Close();
    dados.SetCommandText(ComandoCorpo(id));
    dados.Open();

    // Stored rows are rewritten in place, then new ones appended; renumbering from 1
    // leaves the body without gaps whatever numbering it had.
    int sequencia = 0;
    int ultimoRegistro = 0;
    while (!fonte.Eof()) {
        ++sequencia;
        const std::string linha = fonte.LeLinha();
        if (dados.Eof()) {
            dados.Append();
            dados.FieldByName("ID").SetAsInteger(id);
        } else {
            dados.Edit();
        }
        dados.FieldByName("SEQUENCIA").SetAsInteger(sequencia);
        dados.FieldByName("DADOS").SetAsString(linha);
        try {
            dados.Post();
        } catch (const std::exception&) {
            // Committing now would store the new stamp over a cut body, which the next run
            // would take as up to date; keep the old version whole instead.
            transacao.Cancela();
            informa.Estado = TEstadoGravacao::Falhou;
            mensagens.Mensagem(MsgErroInserirArquivo);
            return TResultado::Continua;
        }
        ultimoRegistro = dados.RecNo();
        dados.Next();
    }

    dados.Last();
    while (!dados.Bof() && dados.RecNo() != ultimoRegistro)
        dados.Delete();

    if (dados.ApplyUpdates(0) > 0) {
        transacao.Cancela();
        informa.Estado = TEstadoGravacao::Falhou;
        mensagens.Mensagem(MsgErroGravarDados);
    } else {
        transacao.Confirma();
        informa.Estado = TEstadoGravacao::Gravado;
    }
    return TResultado::Continua;
}

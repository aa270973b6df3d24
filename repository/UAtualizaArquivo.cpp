#include "UAtualizaArquivo.h"

#include "UArquivoFonte.h"
#include "UCarimbo.h"
#include "UDM.h"
#include "UMensagensUsuario.h"
#include "URepositorio.h"

#include <exception>
#include <string>

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

} // namespace

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

    try {
        dados.Close();
        dados.SetCommandText(ComandoBusca(nomeRepositorio));
        dados.Open();
    } catch (const std::exception& e) {
        informa = {TEstadoGravacao::BuscaFalhou, std::nullopt, e.what()};
        return TResultado::Para;
    }

    std::int64_t id = 0;
    if (dados.Eof()) {
        dm.cds.Close();
        dm.cds.SetCommandText("SELECT MAX(ID) FROM REPOSITORIO");
        dm.cds.Open();
        id = dm.cds.Fields(0).AsInteger() + 1;
        dados.Append();
        dados.FieldByName("ID").SetAsInteger(id);
        dados.FieldByName("ARQUIVO").SetAsString(nomeRepositorio);
    } else {
        id = dados.FieldByName("ID").AsInteger();
        const std::string armazenado = DataHoraParaCarimbo(dados.FieldByName("DATA_HORA").AsDateTime());
        informa.Armazenado = armazenado;
        if (!CarimboMenor(armazenado, carimbo)) return TResultado::Continua;
        dados.Edit();
    }

    dados.FieldByName("DATA_HORA").SetAsDateTime(CarimboParaDataHora(carimbo));
    try {
        dados.Post();
    } catch (const std::exception&) {
        informa.Estado = TEstadoGravacao::Falhou;
        mensagens.Mensagem(MsgErroGravarRegistro + nome);
        return TResultado::Continua;
    }

    ExigeTransacao(dm.IniciaTransacao(IdTransacaoArquivo));
    TGuardaTransacao transacao(dm);
    if (dados.ApplyUpdates(0) != 0) {
        transacao.Cancela();
        informa.Estado = TEstadoGravacao::Falhou;
        mensagens.Mensagem(MsgErroCommitRegistro + nome);
        return TResultado::Continua;
    }

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

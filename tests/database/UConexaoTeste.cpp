#include "UBancoTeste.h"
#include "UClientDataSet.h"
#include "UConexao.h"
#include "UErro.h"
#include "USistemaTeste.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

namespace {

// --- Connecting ---

struct TSuiteConexao {
    static constexpr const char* NomeBanco = "conexao";
    static std::vector<std::string> Tabelas() { return {"CREATE TABLE T (K INTEGER NOT NULL PRIMARY KEY, V VARCHAR(20))"}; }
};
class ConexaoTeste : public TTesteComBanco<TSuiteConexao> {};

// The facts the server reports about the connection the layer opened.
TLinhaLida DescreveEstaConexao(TConexao& conexao)
{
    TConjuntoAvulso avulso(conexao);
    TClientDataSet& cds = avulso.cds;
    cds.SetCommandText("SELECT MON$CHARACTER_SET_ID, MON$REMOTE_PROTOCOL FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID = CURRENT_CONNECTION");
    cds.Open();
    TLinhaLida linha;
    for (int i = 0; i < cds.FieldCount(); ++i)
        linha.push_back(cds.Fields(i).IsNull() ? std::nullopt : std::optional<std::string>(cds.Fields(i).AsString()));
    return linha;
}

TEST_F(ConexaoTeste, ConectaPorTcpComCharsetNoneEDesconecta)
{
    TConexao conexao;
    Banco().Configura(conexao);
    conexao.SetConnected(true);
    ASSERT_TRUE(conexao.Connected());
    const TLinhaLida fatos = DescreveEstaConexao(conexao);
    EXPECT_EQ(fatos[0], "0");   // NONE: bytes reach the tables unchanged
    ASSERT_TRUE(fatos[1].has_value());
    EXPECT_EQ(fatos[1]->substr(0, 3), "TCP");
    conexao.SetConnected(false);
    EXPECT_FALSE(conexao.Connected());
}

struct TCasoFalhaConexao {
    std::string nome;
    std::function<void(TConexao&)> estraga;
    std::string mensagemFirebird;
};

void PrintTo(const TCasoFalhaConexao& caso, std::ostream* saida) { *saida << caso.nome; }

class FalhaConexaoTeste : public ConexaoTeste, public testing::WithParamInterface<TCasoFalhaConexao> {};

TEST_P(FalhaConexaoTeste, LancaComAMensagemDoFirebirdEFicaDesconectada)
{
    TConexao conexao;
    Banco().Configura(conexao);
    GetParam().estraga(conexao);
    try {
        conexao.SetConnected(true);
        FAIL() << "conectou";
    } catch (const EErro& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().mensagemFirebird), std::string::npos) << e.what();
    }
    EXPECT_FALSE(conexao.Connected());
    EXPECT_THROW(conexao.StartTransaction(TTransactionDesc{}), EErro);

    // The failed attempt leaves nothing behind: the right parameters connect.
    Banco().Configura(conexao);
    conexao.SetConnected(true);
    EXPECT_TRUE(conexao.Connected());
}

INSTANTIATE_TEST_SUITE_P(Casos, FalhaConexaoTeste, testing::Values(
    TCasoFalhaConexao{"SenhaErrada", [](TConexao& c) { c.DefineParametro("Password", "errada"); },
        "Your user name and password are not defined"},
    TCasoFalhaConexao{"ArquivoInexistente",
        [](TConexao& c) { c.DefineParametro("DataBase", ServidorTeste() + ":" + std::getenv("ATUALIZADOR_TEST_DBDIR") + "/nao_existe.fdb"); },
        "I/O error during \"open\" operation"},
    TCasoFalhaConexao{"SemServidor",
        [](TConexao& c) { c.DefineParametro("DataBase", "127.0.0.1/" + std::to_string(PortaSemServidor()) + ":/tmp/x.fdb"); },
        "Unable to complete network request"}),
    [](const testing::TestParamInfo<TCasoFalhaConexao>& info) { return info.param.nome; });

TEST(ConexaoEmbutida, LocalizadorSemServidorAbreOArquivoDentroDoProcesso)
{
    TBancoTeste banco("embutido", {"CREATE TABLE T (K INTEGER NOT NULL PRIMARY KEY, V VARCHAR(20))"}, TBancoTeste::TAcesso::Embutido);
    ASSERT_EQ(banco.Localizador().front(), ':');
    // A blank server part counts as none, as the parent application cannot pass an empty one.
    const std::vector<std::string> localizadores{banco.Localizador(), " " + banco.Localizador()};
    for (std::size_t i = 0; i < localizadores.size(); ++i) {
        SCOPED_TRACE(localizadores[i]);
        TConexao conexao;
        banco.Configura(conexao);
        conexao.DefineParametro("DataBase", localizadores[i]);
        conexao.DefineParametro("Password", "qualquer");   // the engine inside the process checks none
        conexao.SetConnected(true);
        const TLinhaLida fatos = DescreveEstaConexao(conexao);
        EXPECT_EQ(fatos[0], "0");
        EXPECT_EQ(fatos[1], std::nullopt);   // no network protocol: the engine runs in this process

        TConjuntoAvulso avulso(conexao);
        TClientDataSet& cds = avulso.cds;
        cds.SetCommandText("SELECT K, V FROM T");
        cds.Open();
        cds.Append();
        cds.FieldByName("K").SetAsInteger(static_cast<std::int64_t>(i) + 1);
        cds.FieldByName("V").SetAsString("embutido");
        cds.Post();
        EXPECT_EQ(cds.ApplyUpdates(0), 0) << cds.UltimoErroAplicacao();
    }
    EXPECT_EQ(banco.Valor("SELECT COUNT(*) FROM T WHERE V = 'embutido'"), "2");
}

// --- Transactions of the connection ---

TEST_F(ConexaoTeste, TransacoesSaoContadasEConfirmarSemTransacaoEhErro)
{
    TConexao conexao;
    Banco().Configura(conexao);
    EXPECT_THROW(conexao.StartTransaction(TTransactionDesc{}), EErro);   // not connected
    conexao.SetConnected(true);
    EXPECT_THROW(conexao.Commit(TTransactionDesc{}), EErro);
    EXPECT_THROW(conexao.Rollback(TTransactionDesc{}), EErro);

    TTransactionDesc primeira, segunda;
    primeira.TransactionID = 50;
    segunda.TransactionID = 51;
    conexao.StartTransaction(primeira);
    conexao.StartTransaction(segunda);
    EXPECT_EQ(conexao.TransacoesAtivas(), 2);
    EXPECT_TRUE(conexao.InTransaction());
    TTransactionDesc outra;
    outra.TransactionID = 7;
    EXPECT_THROW(conexao.Commit(outra), EErro);
    EXPECT_EQ(conexao.TransacoesAtivas(), 2);
    conexao.Commit(segunda);
    conexao.Rollback(primeira);
    EXPECT_EQ(conexao.TransacoesAtivas(), 0);
    EXPECT_FALSE(conexao.InTransaction());
}

// Begins a transaction as described and, inside it, inserts a row through the layer; the
// transaction is left open. Gives ApplyUpdates' count of failures and its last error.
std::pair<int, std::string> InsereEmTransacaoAberta(TConexao& conexao, const TTransactionDesc& descricao = {})
{
    conexao.StartTransaction(descricao);
    TConjuntoAvulso avulso(conexao);
    TClientDataSet& cds = avulso.cds;
    cds.SetCommandText("SELECT K, V FROM T");
    cds.Open();
    cds.Append();
    cds.FieldByName("K").SetAsInteger(1);
    cds.Post();
    return {cds.ApplyUpdates(0), cds.UltimoErroAplicacao()};
}

TEST_F(ConexaoTeste, TransacaoSomenteLeituraRecusaGravar)
{
    TConexao conexao;
    Banco().Configura(conexao);
    conexao.SetConnected(true);
    TTransactionDesc leitura;
    leitura.SomenteLeitura = true;
    const auto [falhas, erro] = InsereEmTransacaoAberta(conexao, leitura);
    EXPECT_EQ(falhas, 1);
    EXPECT_NE(erro.find("read-only"), std::string::npos) << erro;
    conexao.Rollback(leitura);
    EXPECT_EQ(Banco().Valor("SELECT COUNT(*) FROM T"), "0");
}

TEST_F(ConexaoTeste, TabelaProtegidaDeixaLerMasNaoReservarDeNovo)
{
    TConexao primeira, segunda;
    for (TConexao* c : {&primeira, &segunda}) {
        Banco().Configura(*c);
        c->DefineParametro("WaitOnLocks", "False");   // a conflict fails at once instead of waiting
        c->SetConnected(true);
    }
    TTransactionDesc reserva;
    reserva.TabelasProtegidas = {"T"};
    primeira.StartTransaction(reserva);

    TConjuntoAvulso leitor(segunda);
    leitor.cds.SetCommandText("SELECT K FROM T");
    EXPECT_NO_THROW(leitor.cds.Open());
    try {
        segunda.StartTransaction(reserva);
        FAIL() << "a segunda reserva começou";
    } catch (const EErro& e) {
        EXPECT_NE(std::string(e.what()).find("lock conflict"), std::string::npos) << e.what();
    }
    EXPECT_EQ(segunda.TransacoesAtivas(), 0);

    primeira.Commit(reserva);
    EXPECT_NO_THROW(segunda.StartTransaction(reserva));
}

TEST_F(ConexaoTeste, DesconectarComTransacaoAtivaDesfazEla)
{
    TConexao conexao;
    Banco().Configura(conexao);
    conexao.SetConnected(true);
    ASSERT_EQ(InsereEmTransacaoAberta(conexao).first, 0);
    conexao.SetConnected(false);
    EXPECT_FALSE(conexao.Connected());
    EXPECT_EQ(conexao.TransacoesAtivas(), 0);
    EXPECT_EQ(Banco().Valor("SELECT COUNT(*) FROM T"), "0");

    {
        TConexao destruida;
        Banco().Configura(destruida);
        destruida.SetConnected(true);
        ASSERT_EQ(InsereEmTransacaoAberta(destruida).first, 0);
    }
    EXPECT_EQ(Banco().Valor("SELECT COUNT(*) FROM T"), "0");
}

// --- Statements ---

TEST_F(ConexaoTeste, CadaTextoEhPreparadoUmaVezPorConexaoERegistrado)
{
    TConexao conexao;
    Banco().Configura(conexao);
    conexao.SetConnected(true);
    conexao.RegistraComandos(true);
    TConjuntoAvulso avulso(conexao);
    TClientDataSet& cds = avulso.cds;

    const auto preparados = conexao.ComandosPreparados();
    const auto executados = conexao.ComandosExecutados();
    for (const char* texto : {"SELECT K FROM T", "SELECT V FROM T", "SELECT K FROM T"}) {
        cds.Close();
        cds.SetCommandText(texto);
        cds.Open();
    }
    EXPECT_EQ(conexao.ComandosPreparados() - preparados, 2u);
    EXPECT_EQ(conexao.ComandosExecutados() - executados, 3u);
    EXPECT_EQ(conexao.ComandosRegistrados(), (std::vector<std::string>{"SELECT K FROM T", "SELECT V FROM T", "SELECT K FROM T"}));

    // A new attachment prepares again: the statements of the old one are gone.
    conexao.SetConnected(false);
    conexao.SetConnected(true);
    cds.Close();
    cds.Open();
    EXPECT_EQ(conexao.ComandosPreparados() - preparados, 3u);
}

TEST_F(ConexaoTeste, ComandoInvalidoLancaComAMensagemDoFirebird)
{
    TConexao conexao;
    Banco().Configura(conexao);
    conexao.SetConnected(true);
    TConjuntoAvulso avulso(conexao);
    TClientDataSet& cds = avulso.cds;
    cds.SetCommandText("SELECT * FROM NAO_EXISTE");
    try {
        cds.Open();
        FAIL() << "abriu";
    } catch (const EErro& e) {
        EXPECT_NE(std::string(e.what()).find("Table unknown"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(cds.Active());
    EXPECT_EQ(conexao.TransacoesAtivas(), 0);
    // The connection is still fine for the next statement.
    cds.SetCommandText("SELECT K FROM T");
    cds.Open();
    EXPECT_TRUE(cds.Eof());
}

} // namespace

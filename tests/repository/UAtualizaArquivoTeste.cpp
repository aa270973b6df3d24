#include "UApoioBanco.h"
#include "UArquivoFonte.h"
#include "UAtualizaArquivo.h"
#include "UErro.h"
#include "UPastaTemporaria.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct TSuiteEscritor {
    static constexpr auto NomeBanco = "escritor";
    static std::vector<std::string> Tabelas() { return {}; }
};

class AtualizaArquivoTeste : public TTesteComDM<TSuiteEscritor> {
protected:

    // Writes the file as bytes, opens it, reads its header as the run does and calls the writer.
    TResultado Atualiza(const std::string& conteudo, const std::string& pasta = "SISTEMA\\")
    {
        TArquivoFonte fonte(FPasta.Escreve("fonte" + std::to_string(++FArquivos) + ".txt", conteudo));
        const std::string cabecalho = fonte.LeLinha();
        return AtualizaArquivo(dm, FMensagens, cabecalho, fonte, pasta);
    }

    void Armazena(int id, const std::string& arquivo, const std::string& dataHora, const std::vector<std::pair<int, std::string>>& linhas)
    {
        Banco().Executa("INSERT INTO REPOSITORIO (ID, ARQUIVO, DATA_HORA) VALUES (" + std::to_string(id) + ", '" + arquivo + "', "
                        + (dataHora.empty() ? "NULL" : "'" + dataHora + "'") + ")");
        for (const auto& [sequencia, dados] : linhas)
            Banco().Executa("INSERT INTO REPOSITORIO_DADOS VALUES (" + std::to_string(id) + ", " + std::to_string(sequencia) + ", '" + dados + "')");
    }

    // The stored body of a file: "SEQUENCIA=DADOS" in SEQUENCIA order.
    std::vector<std::string> Corpo(int id)
    {
        std::vector<std::string> corpo;
        for (const auto& linha : Banco().Consulta("SELECT SEQUENCIA, DADOS FROM REPOSITORIO_DADOS WHERE ID = " + std::to_string(id) + " ORDER BY SEQUENCIA"))
            corpo.push_back(*linha[0] + "=" + linha[1].value_or("<null>"));
        return corpo;
    }

    std::string DataHora(int id)
    {
        return Banco().Valor("SELECT CAST(DATA_HORA AS VARCHAR(24)) FROM REPOSITORIO WHERE ID = " + std::to_string(id)).value_or("<null>");
    }

    std::vector<std::string> ComandosDe(const std::string& inicio) const
    {
        std::vector<std::string> achados;
        for (std::string comando : dm.conexao.ComandosRegistrados()) {
            // A batch carries its one statement inside an EXECUTE BLOCK; that statement is what counts.
            if (comando.rfind("EXECUTE BLOCK", 0) == 0) comando = comando.substr(comando.find("BEGIN\n  ") + 8);
            if (comando.rfind(inicio, 0) == 0) achados.push_back(comando);
        }
        return achados;
    }

    TPastaTemporaria FPasta;
    TMensagensGravadas FMensagens;
    int FArquivos = 0;
};

TEST_F(AtualizaArquivoTeste, ArquivoNovoNumaTabelaVaziaRecebeId1)
{
    ASSERT_EQ(Atualiza("relatorio.rpt;20240305140709\nlinha 1\nlinha 2\n"), TResultado::Continua);

    const auto linhas = Banco().Consulta("SELECT ID, ARQUIVO, CAST(DATA_HORA AS VARCHAR(24)) FROM REPOSITORIO");
    ASSERT_EQ(linhas.size(), 1u);
    EXPECT_EQ(*linhas[0][0], "1");
    EXPECT_EQ(*linhas[0][1], "SISTEMA\\RELATORIO.RPT");
    EXPECT_EQ(*linhas[0][2], "2024-03-05 14:07:09.0000");
    EXPECT_EQ(Corpo(1), (std::vector<std::string>{"1=linha 1", "2=linha 2"}));
    EXPECT_TRUE(FMensagens.Textos.empty());
    EXPECT_EQ(dm.conexao.TransacoesAtivas(), 0);
}

TEST_F(AtualizaArquivoTeste, ArquivoNovoRecebeOMaiorIdMaisUm)
{
    Armazena(7, "SISTEMA\\OUTRO.TXT", "2020-01-01 00:00:00", {});
    ASSERT_EQ(Atualiza("novo.txt;20240305140709\nx\n"), TResultado::Continua);
    EXPECT_EQ(Banco().Valor("SELECT ID FROM REPOSITORIO WHERE ARQUIVO = 'SISTEMA\\NOVO.TXT'"), "8");
}

TEST_F(AtualizaArquivoTeste, CopiaArmazenadaIgualNaoEnviaNadaNemIniciaTransacao)
{
    Armazena(1, "SISTEMA\\A.TXT", "2024-03-05 14:07:09", {{1, "antiga"}});
    dm.conexao.RegistraComandos(true);
    const auto transacoes = dm.conexao.TransacoesAtivas();

    ASSERT_EQ(Atualiza("a.txt;20240305140709\nnova\n"), TResultado::Continua);

    EXPECT_EQ(dm.conexao.ComandosRegistrados(),
              std::vector<std::string>{"SELECT * FROM REPOSITORIO WHERE ARQUIVO='SISTEMA\\A.TXT'"});
    EXPECT_EQ(dm.conexao.TransacoesAtivas(), transacoes);
    EXPECT_TRUE(FMensagens.Textos.empty());
    EXPECT_EQ(Corpo(1), std::vector<std::string>{"1=antiga"});
}

TEST_F(AtualizaArquivoTeste, CopiaArmazenadaMaisNovaNaoEReescrita)
{
    Armazena(1, "SISTEMA\\A.TXT", "2024-03-05 14:07:10", {{1, "antiga"}});
    ASSERT_EQ(Atualiza("a.txt;20240305140709\nnova\n"), TResultado::Continua);
    EXPECT_EQ(Corpo(1), std::vector<std::string>{"1=antiga"});
}

TEST_F(AtualizaArquivoTeste, DataHoraNulaEhSempreMaisAntiga)
{
    Armazena(1, "SISTEMA\\A.TXT", "", {{1, "antiga"}});
    ASSERT_EQ(Atualiza("a.txt;19000101000000\nnova\n"), TResultado::Continua);
    EXPECT_EQ(DataHora(1), "1900-01-01 00:00:00.0000");
    EXPECT_EQ(Corpo(1), std::vector<std::string>{"1=nova"});
}

// The body is rewritten in place, extended or cut so that it ends numbered 1..n.
struct TCasoCorpo {
    const char* nome;
    std::vector<std::pair<int, std::string>> armazenadas;
    std::string corpoArquivo;
    std::vector<std::string> esperado;
};

class CorpoTeste : public AtualizaArquivoTeste, public testing::WithParamInterface<TCasoCorpo> {};

TEST_P(CorpoTeste, FicaExatamenteComAsLinhasDoArquivo)
{
    const TCasoCorpo& caso = GetParam();
    Armazena(1, "SISTEMA\\A.TXT", "2024-01-01 00:00:00", caso.armazenadas);
    ASSERT_EQ(Atualiza("a.txt;20240305140709\n" + caso.corpoArquivo), TResultado::Continua);
    EXPECT_EQ(Corpo(1), caso.esperado);
    EXPECT_EQ(DataHora(1), "2024-03-05 14:07:09.0000");
    EXPECT_TRUE(FMensagens.Textos.empty());
}

INSTANTIATE_TEST_SUITE_P(Casos, CorpoTeste, testing::Values(
    TCasoCorpo{"SoCabecalhoApagaTudo", {{1, "a"}, {2, "b"}, {3, "c"}}, "", {}},
    TCasoCorpo{"CincoLinhasSobreTres", {{1, "a"}, {2, "b"}, {3, "c"}}, "1\n2\n3\n4\n5\n", {"1=1", "2=2", "3=3", "4=4", "5=5"}},
    TCasoCorpo{"DuasLinhasSobreNumeracaoComLacunas", {{1, "a"}, {2, "b"}, {5, "e"}, {9, "i"}}, "x\ny", {"1=x", "2=y"}},
    TCasoCorpo{"TresLinhasSobreLacunas", {{2, "b"}, {5, "e"}}, "x\ny\nz\n", {"1=x", "2=y", "3=z"}},
    TCasoCorpo{"LinhasEmBrancoEBrancosNoFim", {}, "\n  \nfim   \n\n", {"1=", "2=  ", "3=fim   ", "4="}}),
    [](const testing::TestParamInfo<TCasoCorpo>& info) { return std::string(info.param.nome); });

TEST_F(AtualizaArquivoTeste, BytesAcentuadosSaoGuardadosComoLidos)
{
    std::string linha;
    for (int c = 0x80; c <= 0xFF; ++c) linha += static_cast<char>(c);
    ASSERT_EQ(Atualiza("a.txt;20240305140709\n" + linha + "\n"), TResultado::Continua);
    EXPECT_EQ(Banco().Valor("SELECT DADOS FROM REPOSITORIO_DADOS WHERE ID = 1 AND SEQUENCIA = 1"), linha);
}

// Only a-z change case; other bytes, accented letters among them, stay as they are.
struct TCasoNome { const char* nome; std::string pasta; std::string campo; std::string esperado; };

class NomeRepositorioTeste : public AtualizaArquivoTeste, public testing::WithParamInterface<TCasoNome> {};

TEST_P(NomeRepositorioTeste, EhAPastaMaisOCampoEmMaiusculas)
{
    ASSERT_EQ(Atualiza(GetParam().campo + ";20240305140709\nx\n", GetParam().pasta), TResultado::Continua);
    EXPECT_EQ(Banco().Valor("SELECT ARQUIVO FROM REPOSITORIO"), GetParam().esperado);
    // Looked up again under the same name, the file is now up to date.
    dm.conexao.RegistraComandos(true);
    ASSERT_EQ(Atualiza(GetParam().campo + ";20240305140709\nx\n", GetParam().pasta), TResultado::Continua);
    EXPECT_EQ(dm.conexao.ComandosRegistrados().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Casos, NomeRepositorioTeste, testing::Values(
    TCasoNome{"PastaVazia", "\\", "a.txt", "\\A.TXT"},
    TCasoNome{"AspasSimples", "SISTEMA\\", "D'agua.txt", "SISTEMA\\D'AGUA.TXT"},
    TCasoNome{"SubpastaEBrancos", "sis\\", " sub\\prog.exe ", "SIS\\ SUB\\PROG.EXE "},
    TCasoNome{"Acentos", "SISTEMA\\", "a\xe7\xe3o-\xc3\xa9.txt", "SISTEMA\\A\xe7\xe3O-\xc3\xa9.TXT"}),
    [](const testing::TestParamInfo<TCasoNome>& info) { return std::string(info.param.nome); });

TEST_F(AtualizaArquivoTeste, AspasNoNomeSaoDobradasNaBusca)
{
    dm.conexao.RegistraComandos(true);
    ASSERT_EQ(Atualiza("D'AGUA.TXT;20240305140709\n"), TResultado::Continua);
    EXPECT_EQ(dm.conexao.ComandosRegistrados().front(), "SELECT * FROM REPOSITORIO WHERE ARQUIVO='SISTEMA\\D''AGUA.TXT'");
}

TEST_F(AtualizaArquivoTeste, ArquivoNovoSemCarimboTerminaComOErroENadaGrava)
{
    try {
        Atualiza("a.txt\nlinha\n");
        FAIL() << "the missing stamp must end the run";
    } catch (const EErro& e) {
        EXPECT_NE(std::string(e.what()).find("Carimbo"), std::string::npos) << e.what();
    }
    EXPECT_EQ(Banco().Valor("SELECT COUNT(*) FROM REPOSITORIO"), "0");
    EXPECT_EQ(dm.conexao.TransacoesAtivas(), 0);
}

TEST_F(AtualizaArquivoTeste, BuscaQueFalhaDevolvePara)
{
    dm.conexao.SetConnected(false);
    EXPECT_EQ(Atualiza("a.txt;20240305140709\nx\n"), TResultado::Para);
    EXPECT_TRUE(FMensagens.Textos.empty());   // the run shows its own message
}

TEST_F(AtualizaArquivoTeste, RegravacaoDoMesmoTamanhoSoAtualizaELinhaIgualNaoEnviaComando)
{
    Armazena(1, "SISTEMA\\A.TXT", "2024-01-01 00:00:00", {{1, "igual"}, {2, "velha"}, {3, "igual"}});
    dm.conexao.RegistraComandos(true);

    ASSERT_EQ(Atualiza("a.txt;20240305140709\nigual\nnova\nigual\n"), TResultado::Continua);

    EXPECT_EQ(Corpo(1), (std::vector<std::string>{"1=igual", "2=nova", "3=igual"}));
    EXPECT_TRUE(ComandosDe("INSERT").empty());
    EXPECT_TRUE(ComandosDe("DELETE").empty());
    const auto atualizacoes = ComandosDe("UPDATE");
    ASSERT_EQ(atualizacoes.size(), 2u) << testing::PrintToString(dm.conexao.ComandosRegistrados());   // the file's row and the one changed line
    EXPECT_EQ(atualizacoes[0].rfind("UPDATE \"REPOSITORIO\" SET \"DATA_HORA\" = ", 0), 0u) << atualizacoes[0];
    EXPECT_EQ(atualizacoes[1].rfind("UPDATE \"REPOSITORIO_DADOS\" SET \"DADOS\" = ", 0), 0u) << atualizacoes[1];
}

TEST_F(AtualizaArquivoTeste, FalhaAoAplicarOCorpoDesfazTambemORegistro)
{
    Banco().Executa("ALTER TABLE REPOSITORIO_DADOS ADD CONSTRAINT CK_PROIBIDO CHECK (DADOS <> 'PROIBIDO')");
    Armazena(1, "SISTEMA\\A.TXT", "2024-01-01 00:00:00", {{1, "a"}, {2, "b"}});

    ASSERT_EQ(Atualiza("a.txt;20240305140709\nnova\nPROIBIDO\ntres\n"), TResultado::Continua);

    EXPECT_EQ(FMensagens.Textos, std::vector<std::string>{"Ocorreu um erro ao tentar gravar os Dados."});
    EXPECT_EQ(DataHora(1), "2024-01-01 00:00:00.0000");
    EXPECT_EQ(Corpo(1), (std::vector<std::string>{"1=a", "2=b"}));
    EXPECT_EQ(dm.conexao.TransacoesAtivas(), 0);
}

TEST_F(AtualizaArquivoTeste, FalhaAoAplicarORegistroDesfazEAvisaComONome)
{
    // A new file whose name is too long for its column cannot be posted.
    ASSERT_EQ(Atualiza(std::string(1200, 'n') + ";20240305140709\nx\n"), TResultado::Continua);
    ASSERT_EQ(FMensagens.Textos.size(), 1u);
    EXPECT_EQ(FMensagens.Textos[0], "Erro ao tentar gravar o Registro: " + std::string(1200, 'n'));
    EXPECT_EQ(Banco().Valor("SELECT COUNT(*) FROM REPOSITORIO"), "0");

    // A row refused by the server when applied is rolled back with the commit message.
    Banco().Executa("ALTER TABLE REPOSITORIO ADD CONSTRAINT CK_NOME CHECK (ARQUIVO <> 'SISTEMA\\RECUSADO.TXT')");
    FMensagens.Textos.clear();
    ASSERT_EQ(Atualiza("recusado.txt;20240305140709\nx\n"), TResultado::Continua);
    EXPECT_EQ(FMensagens.Textos, std::vector<std::string>{"Erro ao tentar realizar commit no Registro recusado.txt"});
    EXPECT_EQ(Banco().Valor("SELECT COUNT(*) FROM REPOSITORIO"), "0");
    EXPECT_EQ(dm.conexao.TransacoesAtivas(), 0);
}

// A stored row the server refuses looks like one another writer changed: the writer looks
// again once, finds it unchanged, and then gives up with the one message.
TEST_F(AtualizaArquivoTeste, RegistroArmazenadoRecusadoAvisaUmaVezEMantemAVersaoAntiga)
{
    Banco().Executa("ALTER TABLE REPOSITORIO ADD CONSTRAINT CK_DATA CHECK (DATA_HORA <> '2030-01-01 00:00:00')");
    Armazena(1, "SISTEMA\\A.TXT", "2024-01-01 00:00:00", {{1, "a"}});

    ASSERT_EQ(Atualiza("a.txt;20300101000000\nnova\n"), TResultado::Continua);

    EXPECT_EQ(FMensagens.Textos, std::vector<std::string>{"Erro ao tentar realizar commit no Registro a.txt"});
    EXPECT_EQ(DataHora(1), "2024-01-01 00:00:00.0000");
    EXPECT_EQ(Corpo(1), std::vector<std::string>{"1=a"});
    EXPECT_EQ(dm.conexao.TransacoesAtivas(), 0);
}

// A body line that cannot be posted leaves the stored file as it was, old version and
// whole body, so the next run tries again instead of taking a cut body as up to date.
TEST_F(AtualizaArquivoTeste, LinhaQueNaoPodeSerGravadaMantemAVersaoAntigaInteira)
{
    Armazena(1, "SISTEMA\\A.TXT", "2024-01-01 00:00:00", {{1, "a"}, {2, "b"}, {3, "c"}});

    ASSERT_EQ(Atualiza("a.txt;20240305140709\nnova\n" + std::string(40000, 'x') + "\nfim\n"), TResultado::Continua);

    EXPECT_EQ(FMensagens.Textos, std::vector<std::string>{"Erro ao inserir o Arquivo"});
    EXPECT_EQ(DataHora(1), "2024-01-01 00:00:00.0000");
    EXPECT_EQ(Corpo(1), (std::vector<std::string>{"1=a", "2=b", "3=c"}));
    EXPECT_EQ(dm.conexao.TransacoesAtivas(), 0);
}

// An error nobody catches, raised after the file's transaction began, must not leave
// that transaction open for a later commit on the same connection.
TEST_F(AtualizaArquivoTeste, ErroNaoTratadoDepoisDoInicioDesfazATransacao)
{
    Armazena(1, "SISTEMA\\A.TXT", "2024-01-01 00:00:00", {});
    Banco().Executa("DROP TABLE REPOSITORIO_DADOS");

    EXPECT_THROW(Atualiza("a.txt;20240305140709\nx\n"), EErro);

    EXPECT_EQ(dm.conexao.TransacoesAtivas(), 0);
    EXPECT_EQ(DataHora(1), "2024-01-01 00:00:00.0000");
}

} // namespace

#include "UApoioBanco.h"
#include "UAtualizacao.h"
#include "UErro.h"
#include "UPastaTemporaria.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

// A window reduced to what the run uses: it records every call in order.
class TJanelaGravada : public IJanelaAtualizacao {
public:
    std::string Maquina, BancoDados;
    std::vector<std::string> Eventos;
    std::vector<std::string> Display;
    std::vector<std::string> Mensagens;
    int Maximo = 0, Posicao = 0;
    bool Atualizar = true, PodeFechar = true;
    // Called on every message pump with its running number, to play the user's part.
    std::function<void(int)> AoProcessar;
    int Processamentos = 0;

    std::string TextoMaquina() const override { return Maquina; }
    std::string TextoBancoDados() const override { return BancoDados; }
    void HabilitaAtualizar(bool habilitado) override { Atualizar = habilitado; Eventos.push_back(habilitado ? "habilita" : "desabilita"); }
    void MostraPagina(TPagina pagina) override { Eventos.push_back(pagina == TPagina::Principal ? "Principal" : "Progresso"); }
    void LimpaDisplay() override { Display.clear(); Eventos.push_back("limpa"); }
    void AdicionaLinhaDisplay(const std::string& linha) override { Display.push_back(linha); }
    void DefineMaximoProgresso(int maximo) override { Maximo = maximo; Eventos.push_back("maximo " + std::to_string(maximo)); }
    void AvancaProgresso() override { ++Posicao; }
    void ProcessaMensagens() override { if (AoProcessar) AoProcessar(++Processamentos); }
    bool LePodeFechar() const override { return PodeFechar; }
    void DefinePodeFechar(bool podeFechar) override { PodeFechar = podeFechar; }
    void FechaJanelaPrincipal() override { Eventos.push_back("fecha"); }
    void Mensagem(const std::string& texto) override { Mensagens.push_back(texto); Eventos.push_back("mensagem"); }
    void RegistraEntrada(const TDesfechoEntrada& desfecho) override { Entradas.push_back(desfecho); }
    void RegistraMotivo(const std::string& motivo) override { Motivo = motivo; }
    std::vector<TDesfechoEntrada> Entradas;
    std::string Motivo;
};

int DescritoresAbertos()
{
    int n = 0;
    for ([[maybe_unused]] const auto& entrada : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n;
}

struct TSuiteExecucao {
    static constexpr auto NomeBanco = "execucao";
    static std::vector<std::string> Tabelas() { return {}; }
};

class ExecutaAtualizacaoTeste : public TTesteComBanco<TSuiteExecucao> {
protected:
    void SetUp() override
    {
        TTesteComBanco::SetUp();
        if (HasFatalFailure()) return;
        FJanela.Maquina = Banco().Servidor();
        FJanela.BancoDados = Banco().Caminho();
        FDm.Usuario = std::getenv("ATUALIZADOR_TEST_USER");
        FDm.Senha = std::getenv("ATUALIZADOR_TEST_PASSWORD");
    }

    TFimAtualizacao Executa() { return ExecutaAtualizacao(FDm, FJanela, {FPasta.Diretorio(), '/', "SISTEMA\\"}); }

    std::string Valor(const std::string& sql) { return Banco().Valor(sql).value_or("<null>"); }

    // "x" gives x.txt, stamped and holding the line "linha x", and a list naming them all.
    void EscreveArquivosELista(const std::vector<std::string>& nomes)
    {
        std::string lista;
        for (const std::string& n : nomes) {
            FPasta.Escreve(n + ".txt", n + ".txt;20240305140709\nlinha " + n + "\n");
            lista += n + ".txt\n";
        }
        FPasta.Escreve("ListaArquivos.txt", lista);
    }

    TPastaTemporaria FPasta;
    TDM FDm;
    TJanelaGravada FJanela;
};

struct TCasoLocalizador { const char* maquina; const char* banco; const char* esperado; };

class LocalizadorTeste : public testing::TestWithParam<TCasoLocalizador> {};

TEST_P(LocalizadorTeste, SegueAsSubstituicoes)
{
    EXPECT_EQ(MontaLocalizador(GetParam().maquina, GetParam().banco), GetParam().esperado);
}

INSTANTIATE_TEST_SUITE_P(Casos, LocalizadorTeste, testing::Values(
    TCasoLocalizador{"", "C:\\dados\\base.fdb", ":C:\\dados\\base.fdb"},
    TCasoLocalizador{"srv", "C:\\\\dados\\\\base.fdb", "srv:C:\\dados\\base.fdb"},
    TCasoLocalizador{"srv:", "/var/db/base.fdb", "srv:/var/db/base.fdb"},
    TCasoLocalizador{"srv", "///x.fdb", "srv:x.fdb"},
    TCasoLocalizador{"127.0.0.1/3051", "/db/x.fdb", "127.0.0.1/3051:/db/x.fdb"},
    TCasoLocalizador{"srv", "", "srv:"}));

TEST_F(ExecutaAtualizacaoTeste, SenhaErradaAvisaSemTocarNaJanela)
{
    FDm.Senha = "errada";
    FPasta.Escreve("ListaArquivos.txt", "a.txt\n");

    EXPECT_EQ(Executa(), TFimAtualizacao::FalhaConexao);
    EXPECT_NE(FJanela.Motivo.find("password"), std::string::npos) << FJanela.Motivo;

    ASSERT_EQ(FJanela.Mensagens.size(), 1u);
    EXPECT_EQ(FJanela.Mensagens[0], "Não foi possível conectar no Banco de Dados!\r\nO Arquivo de Banco de Dados "
                                        + FJanela.BancoDados + "\rNão Existe ou não foi Encontrado.");
    EXPECT_EQ(FJanela.Eventos, (std::vector<std::string>{"desabilita", "mensagem", "habilita"}));
    EXPECT_TRUE(FJanela.PodeFechar);
    EXPECT_FALSE(FDm.conexao.Connected());
}

TEST_F(ExecutaAtualizacaoTeste, ListaAusenteTerminaEmSilencioNaPaginaDeProgresso)
{
    EXPECT_EQ(Executa(), TFimAtualizacao::ListaAusente);
    EXPECT_EQ(FJanela.Eventos, (std::vector<std::string>{"desabilita", "limpa", "Progresso", "habilita"}));
    EXPECT_TRUE(FJanela.PodeFechar);
}

TEST_F(ExecutaAtualizacaoTeste, ListaVaziaConectaMostraProgressoEFechaAJanela)
{
    FPasta.Escreve("ListaArquivos.txt", "");
    EXPECT_EQ(Executa(), TFimAtualizacao::Completa);
    EXPECT_EQ(FJanela.Eventos, (std::vector<std::string>{"desabilita", "limpa", "Progresso", "maximo 0", "fecha", "habilita"}));
    EXPECT_TRUE(FDm.conexao.Connected());
}

TEST_F(ExecutaAtualizacaoTeste, EnviaOsArquivosExistentesEContaOProgresso)
{
    FPasta.Escreve("a.txt", "a.txt;20240305140709\nlinha a\n");
    FPasta.Escreve("sub/b.txt", " sub\\b.txt ;20240305140709\nlinha b\n");
    FPasta.Escreve("c.txt", "c.txt;20240305140709\n");
    FPasta.Escreve("d.txt", "d.txt;20240305140709\nd\n");
    FPasta.CriaSubpasta("pasta");
    // 10 entries: 4 files, a blank one, a folder, and missing names.
    FPasta.Escreve("ListaArquivos.txt", "a.txt\r\n  sub\\b.txt  \r\n\r\nfalta1.txt\r\nc.txt\r\npasta\r\nfalta2\r\nd.txt\r\nfalta3\r\nfalta4\r\n");
    FJanela.Posicao = 3;   // the position is left from an earlier run

    EXPECT_EQ(Executa(), TFimAtualizacao::Completa);

    EXPECT_EQ(FJanela.Maximo, 10);
    EXPECT_EQ(FJanela.Posicao, 3 + 4);
    EXPECT_EQ(FJanela.Display, (std::vector<std::string>{"a.txt", "sub\\b.txt", "c.txt", "d.txt"}));
    EXPECT_EQ(FJanela.Eventos.back(), "habilita");
    EXPECT_EQ(FJanela.Eventos[FJanela.Eventos.size() - 2], "fecha");
    EXPECT_TRUE(FJanela.Mensagens.empty());
    EXPECT_EQ(Valor("SELECT LIST(ARQUIVO, '|') FROM (SELECT ARQUIVO FROM REPOSITORIO ORDER BY ID)"),
              "SISTEMA\\A.TXT|SISTEMA\\ SUB\\B.TXT |SISTEMA\\C.TXT|SISTEMA\\D.TXT");
    EXPECT_EQ(Valor("SELECT DADOS FROM REPOSITORIO_DADOS WHERE ID = 2"), "linha b");
}

// A cancel confirmed while a file is being written takes effect before the next one.
TEST_F(ExecutaAtualizacaoTeste, CancelamentoConfirmadoTerminaOArquivoEPara)
{
    EscreveArquivosELista({"a", "b"});
    // Pumps: 1 before a.txt, 2 after its progress step: the user confirms there.
    FJanela.AoProcessar = [this](int n) { if (n == 2) FJanela.PodeFechar = true; };

    EXPECT_EQ(Executa(), TFimAtualizacao::Cancelada);

    EXPECT_EQ(Valor("SELECT LIST(ARQUIVO) FROM REPOSITORIO"), "SISTEMA\\A.TXT");
    EXPECT_EQ(Valor("SELECT DADOS FROM REPOSITORIO_DADOS"), "linha a");
    EXPECT_EQ(FJanela.Display, std::vector<std::string>{"a.txt"});
    EXPECT_EQ(FJanela.Processamentos, 3);   // the check before b.txt
    EXPECT_TRUE(FJanela.Atualizar);
    EXPECT_TRUE(FJanela.PodeFechar);
}

TEST_F(ExecutaAtualizacaoTeste, BuscaQueFalhaMostraBancoInvalidoEMantemOsAnteriores)
{
    EscreveArquivosELista({"a", "b", "c"});
    // The connection is lost just before b.txt is looked up.
    FJanela.AoProcessar = [this](int n) { if (n == 4) FDm.conexao.SetConnected(false); };

    EXPECT_EQ(Executa(), TFimAtualizacao::BancoInvalido);
    EXPECT_FALSE(FJanela.Motivo.empty());

    EXPECT_EQ(FJanela.Mensagens, std::vector<std::string>{"Banco de Dados Inválido!"});
    EXPECT_EQ(FJanela.Display, (std::vector<std::string>{"a.txt", "b.txt"}));
    const std::vector<std::string> fim(FJanela.Eventos.end() - 3, FJanela.Eventos.end());
    EXPECT_EQ(fim, (std::vector<std::string>{"Principal", "mensagem", "habilita"}));
    EXPECT_EQ(Valor("SELECT LIST(ARQUIVO) FROM REPOSITORIO"), "SISTEMA\\A.TXT");
    EXPECT_TRUE(FJanela.PodeFechar);
}

// Each entry's outcome reaches the front end; one file the writer refuses makes the
// complete run one with failures, and the files after it are still written.
TEST_F(ExecutaAtualizacaoTeste, ArquivoRecusadoCompletaComFalhasEInformaCadaEntrada)
{
    Banco().Executa("INSERT INTO REPOSITORIO VALUES (1, 'SISTEMA\\C.TXT', '2030-01-01 00:00:00')");
    FPasta.Escreve("a.txt", "a.txt;20240305140709\n" + std::string(40000, 'x') + "\n");
    FPasta.Escreve("b.txt", "b.txt;20240305140709\nlinha b\n");
    FPasta.Escreve("c.txt", "c.txt;20240305140709\nlinha c\n");
    FPasta.Escreve("ListaArquivos.txt", "a.txt\nfalta.txt\nb.txt\nc.txt\n");

    EXPECT_EQ(Executa(), TFimAtualizacao::CompletaComFalhas);

    ASSERT_EQ(FJanela.Entradas.size(), 4u);
    const auto& e = FJanela.Entradas;
    EXPECT_EQ(e[0].Gravacao.Estado, TEstadoGravacao::Falhou);
    EXPECT_EQ(e[0].Mensagem, "Erro ao inserir o Arquivo");
    EXPECT_EQ(e[0].NomeRepositorio, "SISTEMA\\A.TXT");
    EXPECT_FALSE(e[0].Gravacao.Armazenado.has_value());
    EXPECT_TRUE(e[1].Ausente);
    EXPECT_EQ(e[1].Entrada, "falta.txt");
    EXPECT_EQ(e[2].Gravacao.Estado, TEstadoGravacao::Gravado);
    EXPECT_EQ(e[2].Mensagem, "");
    EXPECT_EQ(e[3].Gravacao.Estado, TEstadoGravacao::NadaAGravar);
    EXPECT_EQ(e[3].Gravacao.Armazenado, "20300101000000");
    EXPECT_EQ(e[3].Carimbo, "20240305140709");
    EXPECT_EQ(Valor("SELECT LIST(ARQUIVO) FROM REPOSITORIO WHERE ID > 1"), "SISTEMA\\B.TXT");
}

TEST_F(ExecutaAtualizacaoTeste, ErroNaoTratadoFechaOArquivoEDevolveAJanela)
{
    // A first run leaves the connection and whatever the client library keeps open.
    EscreveArquivosELista({"a"});
    Executa();
    EscreveArquivosELista({"a", "b", "c"});
    FPasta.Escreve("b.txt", "b.txt;2024-03-05\nlinha b\n");
    const int descritores = DescritoresAbertos();

    try {
        Executa();
        FAIL() << "the bad stamp must end the run";
    } catch (const EErro& e) {
        EXPECT_EQ(std::string(e.what()), "Erro ao atualizar o arquivo b.txt:\r\nCarimbo de versão inválido: \"2024-03-05\"");
    }

    EXPECT_EQ(DescritoresAbertos(), descritores);   // b.txt was closed
    EXPECT_TRUE(FJanela.Atualizar);
    EXPECT_TRUE(FJanela.PodeFechar);
    EXPECT_EQ(FDm.conexao.TransacoesAtivas(), 0);
    EXPECT_EQ(Valor("SELECT LIST(ARQUIVO) FROM REPOSITORIO"), "SISTEMA\\A.TXT");
}

// A listed file that ends the run is named as the list names it, followed by why; the files
// before it stay written.
struct TCasoArquivoRuim { const char* nome; std::string conteudo; std::string motivo; };

class ArquivoRuimTeste : public ExecutaAtualizacaoTeste, public testing::WithParamInterface<TCasoArquivoRuim> {};

TEST_P(ArquivoRuimTeste, TerminaAExecucaoNomeandoAEntrada)
{
    FPasta.Escreve("a.txt", "a.txt;20240305140709\nlinha a\n");
    FPasta.Escreve("dados/ruim.dat", GetParam().conteudo);
    FPasta.Escreve("ListaArquivos.txt", "a.txt\n dados\\ruim.dat\n");
    try {
        Executa();
        FAIL() << "the file must end the run";
    } catch (const EErro& e) {
        EXPECT_EQ(std::string(e.what()), "Erro ao atualizar o arquivo  dados\\ruim.dat:\r\n" + GetParam().motivo);
    }
    EXPECT_EQ(Valor("SELECT LIST(ARQUIVO) FROM REPOSITORIO"), "SISTEMA\\A.TXT");
    EXPECT_EQ(FDm.conexao.TransacoesAtivas(), 0);
}

INSTANTIATE_TEST_SUITE_P(Casos, ArquivoRuimTeste, testing::Values(
    TCasoArquivoRuim{"Vazio", "", "Carimbo de versão inválido: \"\""},
    TCasoArquivoRuim{"Binario", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "Carimbo de versão inválido: \"\""},
    TCasoArquivoRuim{"CarimboComLetras", "x.txt;2024O305140709\n", "Carimbo de versão inválido: \"2024O305140709\""}),
    [](const testing::TestParamInfo<TCasoArquivoRuim>& info) { return std::string(info.param.nome); });

TEST_F(ExecutaAtualizacaoTeste, SegundaExecucaoReconectaEEncontraTudoAtualizado)
{
    EscreveArquivosELista({"a"});
    Executa();
    FDm.conexao.RegistraComandos(true);

    Executa();

    EXPECT_EQ(FDm.conexao.ComandosRegistrados(),
              std::vector<std::string>{"SELECT * FROM REPOSITORIO WHERE ARQUIVO='SISTEMA\\A.TXT'"});
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM REPOSITORIO_DADOS"), "1");
}

} // namespace

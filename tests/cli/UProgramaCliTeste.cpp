// The program itself, as a parent application or a script runs it.
#include "UApoioBanco.h"
#include "UApoioCli.h"
#include "UConexao.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

struct TResultadoPrograma {
    int codigo = -1;
    std::string saida;
};

// Runs atualizador-cli with the test login in ISC_USER / ISC_PASSWORD, standard error to a file.
TResultadoPrograma RodaPrograma(const std::vector<std::string>& argumentos, const std::string& arquivoErros)
{
    std::string comando = "ISC_USER='" + AmbienteTeste("ISC_USER").value_or("") + "' ISC_PASSWORD='"
        + AmbienteTeste("ISC_PASSWORD").value_or("") + "' " + ATUALIZADOR_CLI;
    for (const std::string& argumento : argumentos) comando += " '" + argumento + "'";
    comando += " 2>'" + arquivoErros + "'";
    TResultadoPrograma resultado;
    FILE* processo = popen(comando.c_str(), "r");
    if (!processo) return resultado;
    std::array<char, 4096> bloco{};
    for (std::size_t lidos; (lidos = std::fread(bloco.data(), 1, bloco.size(), processo)) > 0;)
        resultado.saida.append(bloco.data(), lidos);
    const int estado = pclose(processo);
    resultado.codigo = WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
    return resultado;
}

struct TSuitePrograma {
    static constexpr auto NomeBanco = "programacli";
    static std::vector<std::string> Tabelas() { return {}; }
};

class ProgramaCliTeste : public TTesteComBanco<TSuitePrograma> {
protected:
    void SetUp() override
    {
        TTesteComBanco::SetUp();
        if (HasFatalFailure()) return;
        MontaQuadroEstados(Banco(), FPasta);
    }
    std::string Erros() const { return FPasta.Diretorio() + "erros.txt"; }
    TPastaTemporaria FPasta;
};

TEST_F(ProgramaCliTeste, SituacaoAtualizaSituacao)
{
    const TResultadoPrograma antes = RodaPrograma(ArgumentosCli("situacao", Banco(), FPasta), Erros());
    EXPECT_EQ(antes.codigo, 1);
    const nlohmann::json relatorio = nlohmann::json::parse(antes.saida);
    EXPECT_EQ(relatorio["arquivos"].size(), 6u);
    EXPECT_EQ(relatorio["codigo"], 1);

    EXPECT_EQ(RodaPrograma(ArgumentosCli("atualiza", Banco(), FPasta), Erros()).codigo, 0);

    const TResultadoPrograma depois = RodaPrograma(ArgumentosCli("situacao", Banco(), FPasta), Erros());
    EXPECT_EQ(depois.codigo, 0);
    EXPECT_EQ(nlohmann::json::parse(depois.saida)["resultado"], "nada_a_gravar");
}

TEST_F(ProgramaCliTeste, UsoErradoSai64SemRelatorio)
{
    const TResultadoPrograma r = RodaPrograma({"situacao", "--json"}, Erros());
    EXPECT_EQ(r.codigo, 64);
    EXPECT_EQ(r.saida, "");
}

// Ctrl-C while a file is written: that file is finished, the run stops before the next one
// and the program exits 2. On an embedded database, where Firebird's engine runs inside the
// program and sets signal handlers of its own when it starts.
TEST(ProgramaCliEmbutidoTeste, CtrlCTerminaOArquivoEParaAntesDoSeguinte)
{
    TPastaTemporaria pasta;
    const std::string banco = pasta.Diretorio() + "base.fdb";
    {
        FILE* isql = popen("isql-fb -q > /dev/null", "w");
        ASSERT_TRUE(isql);
        const std::string sql = "CREATE DATABASE '" + banco + "' USER 'SYSDBA';\nINPUT '" ATUALIZADOR_ESQUEMA "';\nCOMMIT;\n";
        std::fputs(sql.c_str(), isql);
        ASSERT_EQ(pclose(isql), 0);
    }
    constexpr int LinhasPorArquivo = 20000;   // long enough for the signal to land mid-file
    std::string lista;
    for (const std::string nome : {"g1.dat", "g2.dat", "g3.dat"}) {
        std::string conteudo = nome + ";20240715093000\n";
        for (int i = 1; i <= LinhasPorArquivo; ++i) conteudo += "registro " + std::to_string(i) + "\n";
        pasta.Escreve(nome, conteudo);
        lista += nome + "\n";
    }
    pasta.Escreve("ListaArquivos.txt", lista);

    // The shell prints its process number and becomes the program; its error stream comes here.
    const std::string comando = "sh -c 'echo $$; exec " ATUALIZADOR_CLI " atualiza --banco " + banco + " --diretorio "
        + pasta.Diretorio() + " --json 2>&1 >" + pasta.Diretorio() + "saida.json'";
    FILE* processo = popen(comando.c_str(), "r");
    ASSERT_TRUE(processo);
    std::array<char, 512> linha{};
    ASSERT_TRUE(std::fgets(linha.data(), linha.size(), processo));
    const pid_t pid = std::stoi(linha.data());
    std::string erros;
    while (std::fgets(linha.data(), linha.size(), processo)) {
        erros += linha.data();
        if (erros.find(": gravado") != std::string::npos && pid > 0) {
            kill(pid, SIGINT);   // before g2.dat or while it is being written
            break;
        }
    }
    while (std::fgets(linha.data(), linha.size(), processo)) erros += linha.data();
    const int estado = pclose(processo);

    ASSERT_TRUE(WIFEXITED(estado)) << erros;
    EXPECT_EQ(WEXITSTATUS(estado), 2) << erros;
    std::ifstream arquivoSaida(pasta.Diretorio() + "saida.json");
    const nlohmann::json relatorio = nlohmann::json::parse(arquivoSaida);
    EXPECT_EQ(relatorio["resultado"], "cancelada");
    const auto gravados = static_cast<std::int64_t>(relatorio["arquivos"].size());
    EXPECT_TRUE(gravados == 1 || gravados == 2) << erros;
    for (const auto& arquivo : relatorio["arquivos"]) EXPECT_EQ(arquivo["estado"], "gravado");

    TConexao conexao;
    conexao.DefineParametro("DataBase", ":" + banco);
    conexao.DefineParametro("User_Name", "SYSDBA");
    conexao.SetConnected(true);
    TConjuntoAvulso contagem(conexao);
    contagem.cds.SetCommandText("SELECT COUNT(*) FROM REPOSITORIO_DADOS");
    contagem.cds.Open();
    EXPECT_EQ(contagem.cds.Fields(0).AsInteger(), gravados * LinhasPorArquivo);   // whole files only
}

}  // namespace

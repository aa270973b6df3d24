// The program itself, as a parent application or a script runs it.
#include "UApoioBanco.h"
#include "UApoioCli.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <cstdio>
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

}  // namespace

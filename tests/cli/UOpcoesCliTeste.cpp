#include "UOpcoesCli.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using TAmbiente = std::map<std::string, std::string>;

TLeituraOpcoes Le(const std::vector<std::string>& argumentos, const TAmbiente& ambiente, std::string* saida = nullptr,
                  std::string* erros = nullptr)
{
    std::ostringstream fluxoSaida, fluxoErros;
    const auto le = [&](const char* nome) -> std::optional<std::string> {
        const auto achado = ambiente.find(nome);
        return achado == ambiente.end() ? std::nullopt : std::optional(achado->second);
    };
    TLeituraOpcoes leitura = LeOpcoes(argumentos, le, fluxoSaida, fluxoErros);
    if (saida) *saida = fluxoSaida.str();
    if (erros) *erros = fluxoErros.str();
    return leitura;
}

struct TCasoOpcoes {
    const char* nome;
    std::vector<std::string> argumentos;
    TAmbiente ambiente;
    TComandoCli comando;
    std::string servidor, pasta, diretorio, usuario, senha;
    bool json;
};

void PrintTo(const TCasoOpcoes& caso, std::ostream* saida) { *saida << caso.nome; }

class LeOpcoesTeste : public testing::TestWithParam<TCasoOpcoes> {};

TEST_P(LeOpcoesTeste, AplicaOsPadroesEAsRegrasDaJanela)
{
    const TCasoOpcoes& caso = GetParam();
    const TLeituraOpcoes leitura = Le(caso.argumentos, caso.ambiente);
    ASSERT_TRUE(leitura.Opcoes);
    const TOpcoesCli& o = *leitura.Opcoes;
    EXPECT_EQ(o.Comando, caso.comando);
    EXPECT_EQ(o.Banco, "/db/base.fdb");
    EXPECT_EQ(o.Servidor, caso.servidor);
    EXPECT_EQ(o.PastaRepositorio, caso.pasta);
    EXPECT_EQ(o.Diretorio, caso.diretorio);
    EXPECT_EQ(o.Usuario, caso.usuario);
    EXPECT_EQ(o.Senha, caso.senha);
    EXPECT_EQ(o.Json, caso.json);
}

INSTANTIATE_TEST_SUITE_P(Casos, LeOpcoesTeste, testing::Values(
    TCasoOpcoes{"SoOBanco", {"situacao", "--banco", "/db/base.fdb"}, {},
                TComandoCli::Situacao, "", "\\", "", "SYSDBA", "tornagild", false},
    TCasoOpcoes{"Tudo", {"--json", "verifica", "--banco", "/db/base.fdb", "--servidor", "srv", "--pasta", "  SIS  ",
                         "--diretorio", "/d", "--usuario", "u", "--senha", "s"},
                {{"ISC_USER", "eu"}, {"ISC_PASSWORD", "minha"}},
                TComandoCli::Verifica, "srv", "SIS\\", "/d/", "u", "s", true},
    TCasoOpcoes{"CredenciaisDoAmbiente", {"atualiza", "--banco", "/db/base.fdb", "--diretorio", "/d/"},
                {{"ISC_USER", " eu "}, {"ISC_PASSWORD", "minha"}},
                TComandoCli::Atualiza, "", "\\", "/d/", "eu", "minha", false},
    TCasoOpcoes{"BrancosValemOPadrao", {"atualiza", "--banco", "/db/base.fdb", "--usuario", " ", "--senha", " "},
                {{"ISC_USER", " "}},
                TComandoCli::Atualiza, "", "\\", "", "SYSDBA", "tornagild", false}),
    [](const testing::TestParamInfo<TCasoOpcoes>& info) { return std::string(info.param.nome); });

struct TCasoUso { const char* nome; std::vector<std::string> argumentos; };

class UsoErradoTeste : public testing::TestWithParam<TCasoUso> {};

TEST_P(UsoErradoTeste, DaUmaDicaESai64)
{
    std::string saida, erros;
    const TLeituraOpcoes leitura = Le(GetParam().argumentos, {}, &saida, &erros);
    EXPECT_FALSE(leitura.Opcoes);
    EXPECT_EQ(leitura.Codigo, 64);
    EXPECT_EQ(saida, "");
    EXPECT_NE(erros.find("Uso: atualizador-cli situacao|atualiza|verifica --banco CAMINHO"), std::string::npos) << erros;
}

INSTANTIATE_TEST_SUITE_P(Casos, UsoErradoTeste, testing::Values(
    TCasoUso{"Nada", {}},
    TCasoUso{"SemBanco", {"situacao"}},
    TCasoUso{"ComandoDesconhecido", {"apaga", "--banco", "x"}},
    TCasoUso{"OpcaoDesconhecida", {"situacao", "--banco", "x", "--forca"}},
    TCasoUso{"OpcaoSemValor", {"situacao", "--banco"}}),
    [](const testing::TestParamInfo<TCasoUso>& info) { return std::string(info.param.nome); });

TEST(AjudaCliTeste, MostraComandosEOpcoesNaSaidaPadrao)
{
    std::string saida;
    const TLeituraOpcoes leitura = Le({"--help"}, {}, &saida);
    EXPECT_FALSE(leitura.Opcoes);
    EXPECT_EQ(leitura.Codigo, 0);
    for (const char* esperado : {"situacao", "atualiza", "verifica", "--banco", "--servidor", "--pasta", "--diretorio",
                                 "--usuario", "--senha", "--json", "ISC_PASSWORD"})
        EXPECT_NE(saida.find(esperado), std::string::npos) << esperado;
}

}  // namespace

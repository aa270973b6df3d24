#include "UComparacaoCorpo.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

struct TCasoCorpo {
    const char* nome;
    std::vector<TLinhaArmazenada> armazenadas;
    std::vector<std::string> linhas;
    int atualizadas, inseridas, apagadas;
    std::optional<int> divergente;
};

class ComparaCorpoTeste : public testing::TestWithParam<TCasoCorpo> {};

TEST_P(ComparaCorpoTeste, ContaOQueOEscritorEnviariaEAchaAPrimeiraDiferenca)
{
    const TComparacaoCorpo c = ComparaCorpo(GetParam().armazenadas, GetParam().linhas);
    EXPECT_EQ(c.Atualizadas, GetParam().atualizadas);
    EXPECT_EQ(c.Inseridas, GetParam().inseridas);
    EXPECT_EQ(c.Apagadas, GetParam().apagadas);
    EXPECT_EQ(c.PrimeiraDivergente, GetParam().divergente);
}

INSTANTIATE_TEST_SUITE_P(Casos, ComparaCorpoTeste, testing::Values(
    TCasoCorpo{"Iguais", {{1, "a"}, {2, "b"}}, {"a", "b"}, 0, 0, 0, std::nullopt},
    TCasoCorpo{"NadaArmazenado", {}, {"a", "b"}, 0, 2, 0, 1},
    TCasoCorpo{"VazioSobreArmazenado", {{1, "a"}}, {}, 0, 0, 1, 1},
    TCasoCorpo{"UmaLinhaMudaNoMeio", {{1, "a"}, {2, "b"}, {3, "c"}}, {"a", "B", "c"}, 1, 0, 0, 2},
    TCasoCorpo{"ArquivoMaisLongo", {{1, "a"}}, {"a", "b", "c"}, 0, 2, 0, 2},
    TCasoCorpo{"ArmazenadoMaisLongo", {{1, "a"}, {2, "b"}, {3, "c"}}, {"a"}, 0, 0, 2, 2},
    // The writer renumbers from 1, so a row out of its place is rewritten even with its text.
    TCasoCorpo{"NumeracaoComLacuna", {{1, "a"}, {2, "b"}, {5, "c"}, {9, "d"}}, {"a", "b", "c"}, 1, 0, 1, 3},
    TCasoCorpo{"NuloNaoEVazio", {{1, std::nullopt}}, {""}, 1, 0, 0, 1},
    TCasoCorpo{"DiferencaDeUmEspaco", {{1, "a "}}, {"a"}, 1, 0, 0, 1}),
    [](const testing::TestParamInfo<TCasoCorpo>& info) { return std::string(info.param.nome); });

}  // namespace

#include "ULinhaComando.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;
using TArgumentos = std::vector<std::string>;

struct TCasoLinha {
    const char* nome;
    std::string linha;
    TArgumentos esperados;
};

void PrintTo(const TCasoLinha& caso, std::ostream* saida) { *saida << caso.nome; }

class DivideLinhaComandoTeste : public testing::TestWithParam<TCasoLinha> {};

TEST_P(DivideLinhaComandoTeste, DevolveOsArgumentosAposOPrograma)
{
    EXPECT_EQ(DivideLinhaComando(GetParam().linha), GetParam().esperados);
}

INSTANTIATE_TEST_SUITE_P(
    Casos, DivideLinhaComandoTeste,
    testing::Values(
        TCasoLinha{"LinhaVazia", "", {}},
        TCasoLinha{"SoOPrograma", "atualizador.exe", {}},
        TCasoLinha{"SoBrancos", " \t  ", {}},
        TCasoLinha{"BrancosEmVolta", "   prog   a  b   ", {"a", "b"}},
        TCasoLinha{"ProgramaEntreAspasComBrancos", R"("C:\Program Files\At\at.exe" Titulo)", {"Titulo"}},
        TCasoLinha{"ParVazioAntesDoPrograma", R"("" prog a)", {"a"}},
        TCasoLinha{"ParVazioEntreArgumentosESaltado", R"(prog "Meu Título" "" srv)", {"Meu Título", "srv"}},
        TCasoLinha{"DoisParesVaziosSeguidos", R"(prog """" srv)", {"srv"}},
        TCasoLinha{"ParVazioColadoAoArgumento", R"(prog ""srv base)", {"srv", "base"}},
        TCasoLinha{"ParVazioNoMeioDoArgumento", R"(prog a""b)", {"ab"}},
        TCasoLinha{"ParVazioNoFim", R"(prog a "")", {"a"}},
        TCasoLinha{"CaminhoComBrancoSemAspasDivide", R"(prog C:\Meus Dados\base.fdb)", {R"(C:\Meus)", R"(Dados\base.fdb)"}},
        TCasoLinha{"CaminhoComBrancoEntreAspas", R"(prog "C:\Meus Dados\base.fdb")", {R"(C:\Meus Dados\base.fdb)"}},
        TCasoLinha{"AspasColadasATrechosSemAspas", R"(prog "a b"c d"e f"g)", {"a bc", "de fg"}},
        TCasoLinha{"TrechosEntreAspasSeguidos", R"(prog "a "" b")", {"a  b"}},
        TCasoLinha{"BrancosSoEntreAspasFicam", "prog \" \" \"\tx \"", {" ", "\tx "}},
        TCasoLinha{"BarraNaoEscapaAspas", R"(prog a\"b c" d)", {R"(a\b c)", "d"}},
        TCasoLinha{"AspasSemFechoVaoAteOFim", R"(prog "a b)", {"a b"}},
        TCasoLinha{"AspaSozinhaNoFim", R"(prog a ")", {"a"}},
        TCasoLinha{"CorridasDeControlesSeparam", "prog\ta\r\n\x01\x1f" "b\x0b\x0c c"s, {"a", "b", "c"}},
        TCasoLinha{"DelNaoSepara", "prog a\x7f" "b"s, {"a\x7f" "b"}},
        TCasoLinha{"BytesAltosNaoSeparam", "prog \xa0x\xe7\xe3o \xff"s, {"\xa0x\xe7\xe3o", "\xff"}},
        TCasoLinha{"Utf8FicaInteiro", "prog Atualização —", {"Atualização", "—"}},
        TCasoLinha{"ByteZeroTerminaALinha", "prog a\0 b"s, {"a"}},
        TCasoLinha{"MaisDeSeteArgumentos", "prog 1 2 3 4 5 6 7 8 9", {"1", "2", "3", "4", "5", "6", "7", "8", "9"}}),
    [](const testing::TestParamInfo<TCasoLinha>& info) { return std::string(info.param.nome); });

TEST(TLinhaComandoTeste, LeArgumentosPorPosicao)
{
    const TLinhaComando linha{"/opt/at/atualizador", {"Titulo", "srv"}};
    EXPECT_EQ(linha.Argumento(0), "/opt/at/atualizador");
    EXPECT_EQ(linha.Argumento(1), "Titulo");
    EXPECT_EQ(linha.Argumento(2), "srv");
    EXPECT_EQ(linha.Argumento(3), "");
    EXPECT_EQ(linha.Argumento(7), "");
    EXPECT_EQ(linha.Argumento(-1), "");
}

}  // namespace

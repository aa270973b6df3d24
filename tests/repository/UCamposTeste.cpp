#include "UCampos.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TCasoCampo {
    std::string linha;
    std::string separador;
    int indice;
    std::string esperado;
};

class ExtraiCampoTeste : public testing::TestWithParam<TCasoCampo> {};

TEST_P(ExtraiCampoTeste, DevolveOCampoPedido)
{
    const TCasoCampo& caso = GetParam();
    EXPECT_EQ(ExtraiCampo(caso.linha, caso.separador, caso.indice), caso.esperado);
}

INSTANTIATE_TEST_SUITE_P(Casos, ExtraiCampoTeste, testing::Values(
    TCasoCampo{"a;b;c", ";", 0, "a"},
    TCasoCampo{"a;b;c", ";", 1, "b"},
    TCasoCampo{"a;b;c", ";", 2, "c"},
    TCasoCampo{"a;b;c", ";", 3, ""},
    TCasoCampo{";x", ";", 0, ""},
    TCasoCampo{";x", ";", 1, "x"},
    TCasoCampo{"a;;c", ";", 1, ""},
    TCasoCampo{"a;;c", ";", 2, "c"},
    TCasoCampo{"a;b;", ";", 2, ""},
    // Never trimmed: the caller decides.
    TCasoCampo{" nome.txt ;20240305140709", ";", 0, " nome.txt "},
    TCasoCampo{"nome.txt; 20240305140709 ;extra", ";", 1, " 20240305140709 "},
    // A header without ";" is all name and has no stamp.
    TCasoCampo{"relatorio.rpt", ";", 0, "relatorio.rpt"},
    TCasoCampo{"relatorio.rpt", ";", 1, ""},
    // Only a one-character separator can match.
    TCasoCampo{"a;;b;;c", ";;", 0, "a;;b;;c"},
    TCasoCampo{"a;;b;;c", ";;", 1, ""},
    TCasoCampo{"a;b", "", 0, "a;b"},
    TCasoCampo{"", ";", 0, ""},
    TCasoCampo{"a;b", ";", -1, ""},
    TCasoCampo{"sub\\prog.exe|2024", "|", 0, "sub\\prog.exe"},
    TCasoCampo{"\xE7\xE3o;\xFF", ";", 1, "\xFF"}));

} // namespace

#include "UTexto.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

namespace {

struct TCasoTexto {
    std::string entrada;
    std::string esperado;
};

class AparaTeste : public testing::TestWithParam<TCasoTexto> {};

TEST_P(AparaTeste, RemoveCodigosAte32NasPontas)
{
    EXPECT_EQ(Apara(GetParam().entrada), GetParam().esperado);
}

INSTANTIATE_TEST_SUITE_P(Casos, AparaTeste, testing::Values(
    TCasoTexto{"  nome.txt \t\r\n", "nome.txt"},
    TCasoTexto{"\x01\x1f"s + '\0' + "x y"s + '\0' + " ", "x y"},
    TCasoTexto{" \t\r\n ", ""},
    TCasoTexto{"", ""},
    // 0xA0 (no-break space in Latin-1) and DEL are above 32 and stay.
    TCasoTexto{"\xA0x\x7F", "\xA0x\x7F"},
    TCasoTexto{" a  b ", "a  b"}));

class MaiusculasAZTeste : public testing::TestWithParam<TCasoTexto> {};

TEST_P(MaiusculasAZTeste, SoAsLetrasAaZMudam)
{
    EXPECT_EQ(MaiusculasAZ(GetParam().entrada), GetParam().esperado);
}

INSTANTIATE_TEST_SUITE_P(Casos, MaiusculasAZTeste, testing::Values(
    TCasoTexto{"sistema\\relatorio.rpt", "SISTEMA\\RELATORIO.RPT"},
    TCasoTexto{"`az{@AZ[09", "`AZ{@AZ[09"},
    // Latin-1 "ação": the accented letters are not touched.
    TCasoTexto{"a\xE7\xE3o", "A\xE7\xE3O"},
    TCasoTexto{"\xE1\xE9\xFF", "\xE1\xE9\xFF"},
    TCasoTexto{"", ""}));

struct TCasoSubstituicao {
    std::string texto, de, para, esperado;
};

class SubstituiTodosTeste : public testing::TestWithParam<TCasoSubstituicao> {};

TEST_P(SubstituiTodosTeste, UmaPassadaDaEsquerdaParaADireita)
{
    const TCasoSubstituicao& caso = GetParam();
    EXPECT_EQ(SubstituiTodos(caso.texto, caso.de, caso.para), caso.esperado);
}

INSTANTIATE_TEST_SUITE_P(Casos, SubstituiTodosTeste, testing::Values(
    // Three slashes: the first two are replaced, the third is not joined to the result.
    TCasoSubstituicao{"///x.fdb", "//", "/", "//x.fdb"},
    TCasoSubstituicao{"aaaa", "aa", "a", "aa"},
    TCasoSubstituicao{"aaa", "aa", "b", "ba"},
    TCasoSubstituicao{"C:\\\\dados\\\\base.fdb", "\\\\", "\\", "C:\\dados\\base.fdb"},
    TCasoSubstituicao{"srv::/var/db", "::", ":", "srv:/var/db"},
    // The replacement is not searched again.
    TCasoSubstituicao{"a-a", "a", "aa", "aa-aa"},
    TCasoSubstituicao{"Abab", "ab", "X", "AbX"},
    TCasoSubstituicao{"a//b//", "//", "", "ab"},
    TCasoSubstituicao{"sem nada", "//", "/", "sem nada"},
    TCasoSubstituicao{"abc", "", "x", "abc"},
    TCasoSubstituicao{"", "a", "b", ""}));

TEST(AspasSqlTeste, DobraCadaAspaSimples)
{
    EXPECT_EQ(AspasSql("D'AGUA.TXT"), "'D''AGUA.TXT'");
    EXPECT_EQ(AspasSql("''"), "''''''");
    EXPECT_EQ(AspasSql(""), "''");
    EXPECT_EQ(AspasSql("SISTEMA\\A\"B.TXT"), "'SISTEMA\\A\"B.TXT'");
}

} // namespace

#include "UTextoUtf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

struct TCasoUtf8 { const char* nome; std::string bytes; std::string esperado; };

class ParaUtf8Teste : public testing::TestWithParam<TCasoUtf8> {};

TEST_P(ParaUtf8Teste, MantemUtf8OuLeWindows1252)
{
    EXPECT_EQ(ParaUtf8(GetParam().bytes), GetParam().esperado);
}

// The full table of both readings is tested through the window's conversion, which uses this.
INSTANTIATE_TEST_SUITE_P(Casos, ParaUtf8Teste, testing::Values(
    TCasoUtf8{"Utf8FicaComoEsta", "A\xc3\x87\xc3\x95" "ES\xf0\x9f\x98\x80"s, "A\xc3\x87\xc3\x95" "ES\xf0\x9f\x98\x80"s},
    TCasoUtf8{"Latin1ViraUtf8", "A\xc7\xd5" "ES.TXT"s, "AÇÕES.TXT"},
    TCasoUtf8{"Faixa80a9FDeTresBytes", "\x80\x93\x81"s, "€“\xc2\x81"s},
    TCasoUtf8{"NulPassa", "a\0b"s, "a\0b"s},
    // The program's own UTF-8 text joined with a Windows-1252 path: each part reads right.
    TCasoUtf8{"MisturaCadaParteNaSua", "N\xc3\xa3o: Produ\xe7\xe3o"s, "Não: Produção"}),
    [](const testing::TestParamInfo<TCasoUtf8>& info) { return std::string(info.param.nome); });

}  // namespace

#include "UTextoQt.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

using namespace std::string_literals;
using namespace Qt::StringLiterals;

struct TCasoTexto {
    const char* nome;
    std::string bytes;
    QString esperado;
};

void PrintTo(const TCasoTexto& caso, std::ostream* saida) { *saida << caso.nome; }

class ParaQStringTeste : public testing::TestWithParam<TCasoTexto> {};

TEST_P(ParaQStringTeste, LeCadaSequenciaUtf8ComoUtf8EOResto1252)
{
    EXPECT_EQ(ParaQString(GetParam().bytes), GetParam().esperado);
}

INSTANTIATE_TEST_SUITE_P(
    Casos, ParaQStringTeste,
    testing::Values(
        TCasoTexto{"Vazio", "", u""_s},
        TCasoTexto{"Ascii", "Servidor: srv", u"Servidor: srv"_s},
        TCasoTexto{"Utf8", "Execução não autorizada!", u"Execução não autorizada!"_s},
        TCasoTexto{"Utf8QuatroBytes", "\xf0\x9f\x98\x80"s, QString::fromUcs4(U"\U0001F600")},
        TCasoTexto{"Latin1", "Execu\xe7\xe3o n\xe3o autorizada!"s, u"Execução não autorizada!"_s},
        TCasoTexto{"Faixa80a9F", "\x80 \x93x\x94 \x85 \x8a\x9f"s, u"€ “x” … ŠŸ"_s},
        TCasoTexto{"IndefinidosViramControlesC1", "\x81\x8d\x8f\x90\x9d"s, u"\u0081\u008d\u008f\u0090\u009d"_s},
        // The program's UTF-8 texts keep their letters beside a Windows-1252 name.
        TCasoTexto{"Utf8ComByteLatin1", "a\xc3\xa7\xe9"s, u"açé"_s},
        TCasoTexto{"Latin1ComUtf8", "Produ\xe7\xe3o: n\xc3\xa3o"s, u"Produção: não"_s},
        TCasoTexto{"Latin1EntreUtf8", "ação \x93Produ\xe7\xe3o\x94 ação"s, u"ação “Produção” ação"_s},
        TCasoTexto{"SobreLongoNaoEUtf8", "\xc0\xaf"s, u"À¯"_s},
        TCasoTexto{"MetadeDeParSubstitutoNaoEUtf8", "\xed\xa0\x80"s, u"í\u00a0€"_s},
        TCasoTexto{"AcimaDe10FFFFNaoEUtf8", "\xf4\x90\x80\x80"s, u"ô\u0090€€"_s},
        TCasoTexto{"SequenciaCortadaNaoEUtf8", "\xe2\x82"s, u"â‚"_s},
        TCasoTexto{"ContinuacaoSoltaNaoEUtf8", "\xa9 2024"s, u"© 2024"_s}),
    [](const testing::TestParamInfo<TCasoTexto>& info) { return std::string(info.param.nome); });

TEST(DeQStringTeste, DevolveUtf8)
{
    EXPECT_EQ(DeQString(u"Banco de Dados Inválido!"_s), "Banco de Dados Inválido!");
    EXPECT_EQ(DeQString(ParaQString("C:\\Meus Dados\\fa\xe7" "a.fdb"s)), "C:\\Meus Dados\\faça.fdb");
    EXPECT_EQ(DeQString(QString()), "");
}

}  // namespace

// Conversions between a column's stored bytes and what callers read and write; the
// cases where a rule is easy to get wrong (scales, signs, days before day 0, limits).
#include "UColuna.h"
#include "UDataHora.h"
#include "UErro.h"

#include <firebird/Interface.h>
#include <gtest/gtest.h>

#include <cstring>

namespace {

TColuna Coluna(unsigned tipo, unsigned tamanho, int escala = 0)
{
    TColuna c;
    c.Nome = "COL";
    c.Tipo = tipo;
    c.Tamanho = tamanho;
    c.Escala = escala;
    return c;
}

struct TCasoTexto {
    const char* nome;
    TColuna coluna;
    std::string escrito;   // through SetAsString
    std::string lido;      // AsString afterwards
};

void PrintTo(const TCasoTexto& caso, std::ostream* saida) { *saida << caso.nome; }

class TextoNumericoTeste : public testing::TestWithParam<TCasoTexto> {};

TEST_P(TextoNumericoTeste, VoltaComoOTextoEsperado)
{
    const TCasoTexto& caso = GetParam();
    EXPECT_EQ(LeTexto(caso.coluna, CodificaTexto(caso.coluna, caso.escrito)), caso.lido);
}

INSTANTIATE_TEST_SUITE_P(Casos, TextoNumericoTeste, testing::Values(
    TCasoTexto{"Numeric", Coluna(SQL_INT64, 8, -2), "12345.67", "12345.67"},
    TCasoTexto{"NumericNegativoMenorQueUm", Coluna(SQL_INT64, 8, -2), "-0.05", "-0.05"},
    TCasoTexto{"NumericCompletaCasas", Coluna(SQL_LONG, 4, -2), "7", "7.00"},
    TCasoTexto{"NumericArredondaMetadeParaLonge", Coluna(SQL_LONG, 4, -2), "-1.005", "-1.01"},
    TCasoTexto{"Bigint", Coluna(SQL_INT64, 8), "-9223372036854775808", "-9223372036854775808"},
    TCasoTexto{"SmallintComBrancos", Coluna(SQL_SHORT, 2), " 12 ", "12"},
    TCasoTexto{"Double", Coluna(SQL_DOUBLE, 8), "0.1", "0.1"},
    TCasoTexto{"Timestamp", Coluna(SQL_TIMESTAMP, 8), "2024-03-05 14:07:09.1234", "2024-03-05 14:07:09.1234"},
    TCasoTexto{"Hora", Coluna(SQL_TYPE_TIME, 4), "23:59:59", "23:59:59"},
    TCasoTexto{"Data", Coluna(SQL_TYPE_DATE, 4), "1858-11-17", "1858-11-17"}),
    [](const testing::TestParamInfo<TCasoTexto>& info) { return std::string(info.param.nome); });

struct TCasoRecusado {
    const char* nome;
    TColuna coluna;
    std::string escrito;
};

void PrintTo(const TCasoRecusado& caso, std::ostream* saida) { *saida << caso.nome; }

class TextoRecusadoTeste : public testing::TestWithParam<TCasoRecusado> {};

TEST_P(TextoRecusadoTeste, LancaEErroEmVezDeGravarOutroValor)
{
    EXPECT_THROW(CodificaTexto(GetParam().coluna, GetParam().escrito), EErro);
}

INSTANTIATE_TEST_SUITE_P(Casos, TextoRecusadoTeste, testing::Values(
    TCasoRecusado{"SmallintForaDoLimite", Coluna(SQL_SHORT, 2), "40000"},
    TCasoRecusado{"BigintForaDoLimite", Coluna(SQL_INT64, 8), "9223372036854775808"},
    TCasoRecusado{"NumericQueEstouraAoEscalar", Coluna(SQL_INT64, 8, -4), "999999999999999999"},
    TCasoRecusado{"LetrasNumInteiro", Coluna(SQL_LONG, 4), "12a"},
    TCasoRecusado{"SoSinal", Coluna(SQL_LONG, 4), "-"},
    TCasoRecusado{"DataInexistente", Coluna(SQL_TYPE_DATE, 4), "2023-02-29"},
    TCasoRecusado{"HoraVinteEQuatro", Coluna(SQL_TYPE_TIME, 4), "24:00:00"}),
    [](const testing::TestParamInfo<TCasoRecusado>& info) { return std::string(info.param.nome); });

TEST(ColunaInteiro, EscaladoLidoComoInteiroArredondaELimitesSaoVerificados)
{
    const TColuna numerico = Coluna(SQL_INT64, 8, -2);
    EXPECT_EQ(LeInteiro(numerico, CodificaTexto(numerico, "2.50")), 3);
    EXPECT_EQ(LeInteiro(numerico, CodificaTexto(numerico, "-2.50")), -3);
    EXPECT_EQ(LeInteiro(numerico, CodificaTexto(numerico, "2.49")), 2);
    EXPECT_EQ(LeTexto(numerico, CodificaInteiro(numerico, 5)), "5.00");
    EXPECT_THROW(CodificaInteiro(Coluna(SQL_SHORT, 2), 32768), EErro);
    EXPECT_THROW(CodificaInteiro(Coluna(SQL_LONG, 4), -2147483649LL), EErro);
    EXPECT_EQ(LeInteiro(Coluna(SQL_VARYING, 10), " 42 "), 42);
    EXPECT_THROW(LeInteiro(Coluna(SQL_VARYING, 10), "4.2"), EErro);
}

TEST(ColunaDataHora, GravaOsDiasDoFirebirdEVoltaAoMesmoValor)
{
    const TColuna ts = Coluna(SQL_TIMESTAMP, 8);
    const TDateTime valor = CodificaDataHora(TPartesDataHora{2024, 3, 5, 14, 7, 9, 0});
    const std::string bytes = CodificaDataHora(ts, valor);
    ISC_TIMESTAMP bruto;
    std::memcpy(&bruto, bytes.data(), sizeof bruto);
    EXPECT_EQ(bruto.timestamp_date, 60374);          // 2024-03-05 counted from 1858-11-17
    EXPECT_EQ(bruto.timestamp_time, 508290000u);     // 14:07:09 in 1/10000 s
    EXPECT_EQ(LeDataHora(ts, bytes), valor);
    EXPECT_EQ(LeTexto(ts, CodificaDataHora(ts, 0)), "1899-12-30 00:00:00");

    // Before day 0 the fraction counts away from zero: -1.25 is 29 December 1899, 06:00.
    EXPECT_EQ(LeTexto(ts, CodificaDataHora(ts, -1.25)), "1899-12-29 06:00:00");
    EXPECT_DOUBLE_EQ(LeDataHora(ts, CodificaTexto(ts, "1899-12-29 06:00:00")), -1.25);

    // A date column keeps the day, a time column the time of day.
    EXPECT_EQ(LeTexto(Coluna(SQL_TYPE_DATE, 4), CodificaDataHora(Coluna(SQL_TYPE_DATE, 4), valor)), "2024-03-05");
    EXPECT_EQ(LeTexto(Coluna(SQL_TYPE_TIME, 4), CodificaDataHora(Coluna(SQL_TYPE_TIME, 4), valor)), "14:07:09");
    EXPECT_THROW(CodificaDataHora(Coluna(SQL_LONG, 4), valor), EErro);
}

TEST(ColunaTexto, TamanhoEhVerificadoEmBytesECharCompletaComBrancos)
{
    const TColuna varchar = Coluna(SQL_VARYING, 5);
    EXPECT_NO_THROW(VerificaTamanho(varchar, "abcde"));
    EXPECT_THROW(VerificaTamanho(varchar, "abcdef"), EErro);
    EXPECT_NO_THROW(VerificaTamanho(Coluna(SQL_LONG, 4), "123456789"));

    const TColuna charCol = Coluna(SQL_TEXT, 5);
    unsigned char mensagem[5];
    GravaNaMensagem(charCol, "ab", mensagem);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(mensagem), 5), "ab   ");
    try {
        VerificaTamanho(charCol, "abcdef");
        FAIL() << "aceitou";
    } catch (const EErro& e) {
        EXPECT_NE(std::string(e.what()).find("COL"), std::string::npos) << e.what();
    }
}

} // namespace

#include "UCarimbo.h"
#include "UErro.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

struct TCasoCarimbo {
    std::string carimbo;
    TPartesDataHora partes;
};

TPartesDataHora Partes(int ano, int mes, int dia, int hora, int minuto, int segundo)
{
    TPartesDataHora p;
    p.Ano = ano;
    p.Mes = mes;
    p.Dia = dia;
    p.Hora = hora;
    p.Minuto = minuto;
    p.Segundo = segundo;
    p.Milissegundo = 0;
    return p;
}

void EsperaPartes(const TPartesDataHora& obtido, const TPartesDataHora& esperado)
{
    EXPECT_EQ(obtido.Ano, esperado.Ano);
    EXPECT_EQ(obtido.Mes, esperado.Mes);
    EXPECT_EQ(obtido.Dia, esperado.Dia);
    EXPECT_EQ(obtido.Hora, esperado.Hora);
    EXPECT_EQ(obtido.Minuto, esperado.Minuto);
    EXPECT_EQ(obtido.Segundo, esperado.Segundo);
    EXPECT_EQ(obtido.Milissegundo, 0);
}

class CarimboValidoTeste : public testing::TestWithParam<TCasoCarimbo> {};

TEST_P(CarimboValidoTeste, ConverteEVoltaAoMesmoTexto)
{
    const TCasoCarimbo& caso = GetParam();
    const TDateTime valor = CarimboParaDataHora(caso.carimbo);
    EsperaPartes(DecodificaDataHora(valor), caso.partes);
    EXPECT_EQ(DataHoraParaCarimbo(valor), caso.carimbo);
}

INSTANTIATE_TEST_SUITE_P(Casos, CarimboValidoTeste, testing::Values(
    TCasoCarimbo{"20240305140709", Partes(2024, 3, 5, 14, 7, 9)},
    TCasoCarimbo{"18991230000000", Partes(1899, 12, 30, 0, 0, 0)},
    TCasoCarimbo{"20240229235959", Partes(2024, 2, 29, 23, 59, 59)},
    TCasoCarimbo{"00010101000000", Partes(1, 1, 1, 0, 0, 0)},
    TCasoCarimbo{"99991231235959", Partes(9999, 12, 31, 23, 59, 59)},
    // Before day 0, where the time of day counts away from zero.
    TCasoCarimbo{"18991229120000", Partes(1899, 12, 29, 12, 0, 0)},
    TCasoCarimbo{"18000101083015", Partes(1800, 1, 1, 8, 30, 15)}));

TEST(CarimboTeste, ZeroEhOCarimboDoDiaZero)
{
    EXPECT_EQ(DataHoraParaCarimbo(0.0), "18991230000000");
    EXPECT_EQ(CarimboParaDataHora("18991230000000"), 0.0);
    EXPECT_EQ(CarimboParaDataHora("18991231000000"), 1.0);
}

TEST(CarimboTeste, ValorUmPoucoAbaixoDoSegundoDaEsseSegundo)
{
    // A value read back from the database may sit a hair below the whole second.
    const TDateTime valor = CarimboParaDataHora("20240305140709");
    EXPECT_EQ(DataHoraParaCarimbo(valor - 1e-9), "20240305140709");
    EXPECT_EQ(DataHoraParaCarimbo(valor + 1e-9), "20240305140709");
}

TEST(CarimboTeste, SoOsQuatorzePrimeirosCaracteresContam)
{
    EXPECT_EQ(CarimboParaDataHora("20240305140709;resto"), CarimboParaDataHora("20240305140709"));
}

TEST(CarimboTeste, PecaComSinalEhUmInteiroValido)
{
    EsperaPartes(DecodificaDataHora(CarimboParaDataHora("2024+305140709")), Partes(2024, 3, 5, 14, 7, 9));
}

class CarimboInvalidoTeste : public testing::TestWithParam<std::string> {};

TEST_P(CarimboInvalidoTeste, ErroNomeiaOCarimbo)
{
    const std::string& carimbo = GetParam();
    try {
        CarimboParaDataHora(carimbo);
        FAIL() << "aceitou \"" << carimbo << "\"";
    } catch (const EErro& e) {
        EXPECT_NE(std::string(e.what()).find("Carimbo de versão inválido: \"" + carimbo + "\""), std::string::npos)
            << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Casos, CarimboInvalidoTeste, testing::Values(
    // Short stamps leave a piece partial or empty.
    "", "2024", "202403", "2024030514070", "2024030514070 ",
    // Pieces that are not decimal integers.
    "2024AB05140709", "2024 305140709", " 024030514070", "20240305-",
    "2024-+05140709", "$7E80305140709", "0x240305140709",
    // Out of range.
    "20241305140709", "20240005140709", "20240231000000", "20240300000000",
    "20230229000000", "20240305240000", "20240305146009", "20240305140760",
    "00000101000000", "2024-305140709"));

TEST(CarimboTeste, ValorForaDosAnosDeQuatroDigitosEhErro)
{
    const double casos[] = {
        std::numeric_limits<double>::quiet_NaN(),
        std::numeric_limits<double>::infinity(),
        1e300,
        -1e300,
        CarimboParaDataHora("00010101000000") - 1.0,
        CarimboParaDataHora("99991231000000") + 1.0,
    };
    for (const double valor : casos)
        EXPECT_THROW(DataHoraParaCarimbo(valor), EErro) << valor;
}

struct TCasoComparacao {
    std::string a, b;
    bool menor;
};

class CarimboMenorTeste : public testing::TestWithParam<TCasoComparacao> {};

TEST_P(CarimboMenorTeste, ComparaComoTexto)
{
    const TCasoComparacao& caso = GetParam();
    EXPECT_EQ(CarimboMenor(caso.a, caso.b), caso.menor);
}

INSTANTIATE_TEST_SUITE_P(Casos, CarimboMenorTeste, testing::Values(
    TCasoComparacao{"20240301000000", "20240305140709", true},
    TCasoComparacao{"20240305140709", "20240301000000", false},
    TCasoComparacao{"20240305140709", "20240305140709", false},
    TCasoComparacao{"18991230000000", "20240305140709", true},
    TCasoComparacao{"20240305140709", "2024030514071", true},
    TCasoComparacao{"2024", "20240305140709", true},
    TCasoComparacao{"20240305140709", "2024", false},
    TCasoComparacao{"", "0", true},
    TCasoComparacao{"", "", false},
    // Text, not numbers: "9" comes after "10".
    TCasoComparacao{"9", "10", false},
    // Bytes above 127 sort after ASCII.
    TCasoComparacao{"2024\xE9", "2024a", false},
    TCasoComparacao{"2024a", "2024\xE9", true}));

} // namespace

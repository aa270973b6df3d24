#include "UCaminhos.h"
#include "UPastaTemporaria.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TCasoDiretorio {
    std::string caminho;
    std::string separadores;
    std::string esperado;
};

class DiretorioDeTeste : public testing::TestWithParam<TCasoDiretorio> {};

TEST_P(DiretorioDeTeste, AteOUltimoSeparadorInclusive)
{
    const TCasoDiretorio& caso = GetParam();
    EXPECT_EQ(DiretorioDe(caso.caminho, caso.separadores), caso.esperado);
}

INSTANTIATE_TEST_SUITE_P(Casos, DiretorioDeTeste, testing::Values(
    TCasoDiretorio{"C:\\Sistema\\Atualizador.exe", "\\:", "C:\\Sistema\\"},
    TCasoDiretorio{"C:Atualizador.exe", "\\:", "C:"},
    TCasoDiretorio{"\\\\srv\\pub\\a.exe", "\\:", "\\\\srv\\pub\\"},
    TCasoDiretorio{"Atualizador.exe", "\\:", ""},
    TCasoDiretorio{"/opt/sistema/atualizador", "/", "/opt/sistema/"},
    TCasoDiretorio{"/atualizador", "/", "/"},
    TCasoDiretorio{"pasta/", "/", "pasta/"},
    // Only the separators given count.
    TCasoDiretorio{"/opt/a\\b", "/", "/opt/"},
    TCasoDiretorio{"atualizador", "/", ""},
    TCasoDiretorio{"", "/", ""}));

struct TCasoEntrada {
    std::string diretorio;
    std::string entrada;
    char separador;
    std::string esperado;
};

class CaminhoEntradaTeste : public testing::TestWithParam<TCasoEntrada> {};

TEST_P(CaminhoEntradaTeste, JuntaSemNormalizar)
{
    const TCasoEntrada& caso = GetParam();
    EXPECT_EQ(CaminhoEntrada(caso.diretorio, caso.entrada, caso.separador), caso.esperado);
}

INSTANTIATE_TEST_SUITE_P(Casos, CaminhoEntradaTeste, testing::Values(
    TCasoEntrada{"C:\\Sistema\\", "sub\\a.txt", '\\', "C:\\Sistema\\sub\\a.txt"},
    TCasoEntrada{"C:\\Sistema\\", "sub/a.txt", '\\', "C:\\Sistema\\sub/a.txt"},
    TCasoEntrada{"/opt/sistema/", "sub\\a.txt", '/', "/opt/sistema/sub/a.txt"},
    TCasoEntrada{"/opt/sistema/", "sub/a.txt", '/', "/opt/sistema/sub/a.txt"},
    TCasoEntrada{"/opt/sistema/", "..\\x\\\\y", '/', "/opt/sistema/../x//y"},
    // The directory itself is left as it came.
    TCasoEntrada{"/opt/a\\b/", "c.txt", '/', "/opt/a\\b/c.txt"},
    TCasoEntrada{"/opt/sistema/", "", '/', "/opt/sistema/"},
    TCasoEntrada{"", "a.txt", '/', "a.txt"}));

TEST(ArquivoRegularExisteTeste, SoArquivosRegulares)
{
    const TPastaTemporaria pasta;
    const std::string arquivo = pasta.Escreve("sub/a.txt", "h\n");
    EXPECT_TRUE(ArquivoRegularExiste(arquivo));
    EXPECT_TRUE(ArquivoRegularExiste(pasta.Escreve("vazio.txt", "")));
    EXPECT_FALSE(ArquivoRegularExiste(pasta.Diretorio() + "sub"));
    EXPECT_FALSE(ArquivoRegularExiste(pasta.Diretorio()));
    EXPECT_FALSE(ArquivoRegularExiste(pasta.Diretorio() + "nao-existe.txt"));
    EXPECT_FALSE(ArquivoRegularExiste(arquivo + "/x"));
    EXPECT_FALSE(ArquivoRegularExiste(""));
}

TEST(ArquivoRegularExisteTeste, EntradaDaListaAchaOArquivo)
{
    const TPastaTemporaria pasta;
    pasta.Escreve("sub/a.txt", "h\n");
    const char local = '/';
    EXPECT_TRUE(ArquivoRegularExiste(CaminhoEntrada(pasta.Diretorio(), "sub\\a.txt", local)));
    EXPECT_FALSE(ArquivoRegularExiste(CaminhoEntrada(pasta.Diretorio(), "sub", local)));
    EXPECT_FALSE(ArquivoRegularExiste(CaminhoEntrada(pasta.Diretorio(), "", local)));
}

} // namespace

// What the operating system tells the program about itself. On Windows these go through
// GetModuleFileNameA, and GetCommandLineA with our own splitting, which is compared with
// the C runtime's argv for the arguments ctest adds (see CMakeLists.txt).
#include "UArgumentosTeste.h"
#include "UPastaTemporaria.h"
#include "UPlataforma.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <process.h>
#endif

#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

TEST(Plataforma, CaminhoProgramaEhOCaminhoCompletoDesteProgramaDeTeste)
{
    const std::filesystem::path caminho = CaminhoPrograma();
    EXPECT_TRUE(caminho.is_absolute()) << caminho;
    EXPECT_EQ(caminho.filename(), ATUALIZADOR_PROGRAMA_TESTE);
    EXPECT_TRUE(std::filesystem::is_regular_file(caminho)) << caminho;
    EXPECT_NE(caminho.string().find_last_of(SeparadoresDiretorio), std::string::npos);
}

// The system hands the path over in a buffer the code grows while it comes back full. A
// copy of this program in a deep folder runs the test above and must find itself whole.
#ifdef _WIN32
// MAX_PATH less the final 0: no program starts from a longer path (not even with "\\?\"),
// and this one fills the first buffer exactly.
constexpr std::size_t ComprimentoCaminho = 259;
#else
constexpr std::size_t ComprimentoCaminho = 300;   // past readlink's first 256 bytes
#endif

TEST(Plataforma, CaminhoProgramaLongoVemInteiro)
{
    TPastaTemporaria pasta;
    const std::string nome = ATUALIZADOR_PROGRAMA_TESTE;
    std::string funda = pasta.Diretorio();
    ASSERT_LT(funda.size() + nome.size() + 2, ComprimentoCaminho) << funda;
    while (funda.size() + nome.size() + 10 < ComprimentoCaminho) funda += std::string("subpasta") + SeparadorPasta;
    funda += std::string(ComprimentoCaminho - funda.size() - nome.size() - 1, 'x') + SeparadorPasta;
    std::filesystem::create_directories(funda);
    const std::string copia = funda + nome;
    ASSERT_EQ(copia.size(), ComprimentoCaminho);
    std::filesystem::copy_file(CaminhoPrograma(), copia);
    const std::string filtro = "--gtest_filter=Plataforma.CaminhoProgramaEhOCaminhoCompletoDesteProgramaDeTeste";
#ifdef _WIN32
    // Started directly, not through cmd. The arguments are joined into one command line
    // unquoted: argument 0 brings its own quotes.
    const std::string programa = "\"" + copia + "\"";
    EXPECT_EQ(_spawnl(_P_WAIT, copia.c_str(), programa.c_str(), filtro.c_str(), nullptr), 0) << copia;
#else
    EXPECT_EQ(std::system(("'" + copia + "' " + filtro).c_str()), 0) << copia;
#endif
}

TEST(Plataforma, ArgumentosProgramaSaoOsQueOSistemaPassouSemOsVazios)
{
    std::vector<std::string> esperados;
    for (int i = 1; i < ArgcOriginal(); ++i)
        if (ArgvOriginal()[i][0] != '\0') esperados.emplace_back(ArgvOriginal()[i]);
    // The arguments CMakeLists.txt adds: one with blanks, so that quoting is exercised.
    ASSERT_GE(esperados.size(), 2u) << "run through ctest, which adds them";
    EXPECT_EQ(esperados[esperados.size() - 2], "Titulo com brancos");
    EXPECT_EQ(ArgumentosPrograma(ArgcOriginal(), ArgvOriginal()), esperados);
}

} // namespace

// What the operating system tells the program about itself. On Windows these go through
// GetModuleFileNameA and GetCommandLineA with our own splitting; the test program is
// started with arguments of its own (see CMakeLists.txt) so the two splits can differ.
#include "UArgumentosTeste.h"
#include "UPlataforma.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(Plataforma, CaminhoProgramaEhOCaminhoCompletoDesteProgramaDeTeste)
{
    const std::filesystem::path caminho = CaminhoPrograma();
    EXPECT_TRUE(caminho.is_absolute()) << caminho;
    EXPECT_EQ(caminho.filename(), ATUALIZADOR_PROGRAMA_TESTE);
    EXPECT_TRUE(std::filesystem::is_regular_file(caminho)) << caminho;
    EXPECT_NE(caminho.string().find_last_of(SeparadoresDiretorio), std::string::npos);
}

TEST(Plataforma, ArgumentosProgramaSaoOsQueOSistemaPassouSemOsVazios)
{
    std::vector<std::string> esperados;
    for (int i = 1; i < ArgcOriginal(); ++i)
        if (ArgvOriginal()[i][0] != '\0') esperados.emplace_back(ArgvOriginal()[i]);
    // The arguments CMakeLists.txt adds: one with blanks, so that quoting is exercised.
    ASSERT_GE(esperados.size(), 2u);
    EXPECT_EQ(esperados[esperados.size() - 2], "Titulo com brancos");
    EXPECT_EQ(ArgumentosPrograma(ArgcOriginal(), ArgvOriginal()), esperados);
}

} // namespace

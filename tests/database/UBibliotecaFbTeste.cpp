// Loading the client library by name. Windows runs of these tests have no fbclient.dll,
// so there the library's absence is the ordinary case, not a simulated one.
#include "UBibliotecaFb.h"
#include "UErro.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct TCasoBiblioteca {
    const char* nome;
    std::string biblioteca;
    std::string sentenca;
};

void PrintTo(const TCasoBiblioteca& caso, std::ostream* saida) { *saida << caso.nome; }

class BibliotecaFbTeste : public testing::TestWithParam<TCasoBiblioteca> {};

TEST_P(BibliotecaFbTeste, FalhaComUmaSentencaQueNomeiaABiblioteca)
{
    try {
        CarregaMestreFb(GetParam().biblioteca);
        FAIL() << "carregou";
    } catch (const EErro& e) {
        const std::string texto = e.what();
        EXPECT_EQ(texto.find(GetParam().sentenca), 0u) << texto;
        EXPECT_NE(texto.find("Instale o cliente do Firebird 3"), std::string::npos) << texto;
        // The system's own reason follows on a line of its own.
        const auto quebra = texto.find('\n');
        ASSERT_NE(quebra, std::string::npos) << texto;
        EXPECT_GT(texto.size(), quebra + 1) << texto;
    }
}

#ifdef _WIN32
constexpr auto Inexistente = "nao_existe_fbclient.dll";
constexpr auto SemOCliente = "kernel32.dll";   // loads, but has no fb_get_master_interface
#else
constexpr auto Inexistente = "libnao_existe_fbclient.so";
constexpr auto SemOCliente = "libm.so.6";
#endif

INSTANTIATE_TEST_SUITE_P(Casos, BibliotecaFbTeste, testing::Values(
    TCasoBiblioteca{"Inexistente", Inexistente,
        std::string("Não foi possível carregar a biblioteca cliente do Firebird \"") + Inexistente + "\"."},
    TCasoBiblioteca{"SemOCliente", SemOCliente,
        std::string("A biblioteca \"") + SemOCliente + "\" não é o cliente do Firebird 3 ou posterior: falta fb_get_master_interface."}),
    [](const testing::TestParamInfo<TCasoBiblioteca>& info) { return std::string(info.param.nome); });

} // namespace

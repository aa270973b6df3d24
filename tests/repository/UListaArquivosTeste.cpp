#include "UListaArquivos.h"
#include "UErro.h"
#include "UPastaTemporaria.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_literals;
using TLinhas = std::vector<std::string>;

namespace {

struct TCasoLista {
    std::string nome;
    std::string conteudo;
    TLinhas entradas;
};

std::string NomeDoCaso(const testing::TestParamInfo<TCasoLista>& info)
{
    return info.param.nome;
}

class DivideListaTeste : public testing::TestWithParam<TCasoLista> {};

TEST_P(DivideListaTeste, SeparaAsEntradas)
{
    EXPECT_EQ(DivideLista(GetParam().conteudo), GetParam().entradas);
}

TEST_P(DivideListaTeste, LeOArquivoComoOTexto)
{
    const TPastaTemporaria pasta;
    EXPECT_EQ(LeListaArquivos(pasta.Escreve(NomeLista, GetParam().conteudo)), GetParam().entradas);
}

INSTANTIATE_TEST_SUITE_P(Casos, DivideListaTeste, testing::Values(
    TCasoLista{"Vazio", "", {}},
    TCasoLista{"CrLfFinalSemEntradaExtra", "a.txt\r\nsub\\b.txt\r\n", {"a.txt", "sub\\b.txt"}},
    TCasoLista{"UltimaSemQuebra", "a\nb", {"a", "b"}},
    TCasoLista{"CrSozinhoSepara", "a\rb\r", {"a", "b"}},
    TCasoLista{"LinhaVaziaNoMeio", "a\r\n\r\nb\r\n", {"a", "", "b"}},
    TCasoLista{"SoUmaQuebra", "\r\n", {""}},
    TCasoLista{"DuasQuebrasFinais", "a\n\n", {"a", ""}},
    TCasoLista{"CrCrLf", "a\r\r\nb", {"a", "", "b"}},
    TCasoLista{"LfCr", "a\n\rb", {"a", "", "b"}},
    TCasoLista{"NulTerminaALista", "a\r\nb"s + '\0' + "c\r\nd\r\n"s, {"a", "b"}},
    TCasoLista{"NulNoInicioDaLinha", "a\r\n"s + '\0' + "b"s, {"a"}},
    TCasoLista{"NulNoInicio", '\0' + "a"s, {}},
    TCasoLista{"SemAparar", "  a.txt \t\r\n", {"  a.txt \t"}},
    TCasoLista{"DuplicadasFicam", "a\na\n", {"a", "a"}},
    TCasoLista{"CtrlZEhUmByteComum", "a\x1a\nb", {"a\x1a", "b"}},
    TCasoLista{"BytesAltosPassam", "rela\xE7\xE3o.txt\n\xFF", {"rela\xE7\xE3o.txt", "\xFF"}}),
    NomeDoCaso);

TEST(LeListaArquivosTeste, LinhasLongasEArquivoGrande)
{
    const TPastaTemporaria pasta;
    const std::string longa(1 << 20, 'x');
    std::string conteudo = longa + "\r\n";
    TLinhas esperado{longa};
    for (int i = 0; i < 100000; ++i) {
        esperado.push_back("sub\\arquivo" + std::to_string(i) + ".txt");
        conteudo += esperado.back() + "\r\n";
    }
    EXPECT_EQ(LeListaArquivos(pasta.Escreve(NomeLista, conteudo)), esperado);
}

TEST(LeListaArquivosTeste, ErroNomeiaOArquivo)
{
    const TPastaTemporaria pasta;
    const std::string inexistente = pasta.Diretorio() + NomeLista;
    const std::string pastaNoLugar = pasta.CriaSubpasta("pasta");
    for (const std::string& caminho : {inexistente, pastaNoLugar}) {
        try {
            LeListaArquivos(caminho);
            ADD_FAILURE() << "leu " << caminho;
        } catch (const EErro& e) {
            EXPECT_NE(std::string(e.what()).find("\"" + caminho + "\""), std::string::npos) << e.what();
        }
    }
}

} // namespace

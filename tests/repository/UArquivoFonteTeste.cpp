#include "UArquivoFonte.h"
#include "UErro.h"
#include "UPastaTemporaria.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_literals;
using TLinhas = std::vector<std::string>;

namespace {

// Reads the way the writer does: while not at the end, one more line.
TLinhas LeTodas(TArquivoFonte& arquivo)
{
    TLinhas linhas;
    while (!arquivo.Eof())
        linhas.push_back(arquivo.LeLinha());
    return linhas;
}

TLinhas LeTodas(const std::string& caminho)
{
    TArquivoFonte arquivo(caminho);
    return LeTodas(arquivo);
}

struct TCasoFonte {
    std::string nome;
    std::string bytes;
    TLinhas linhas;
};

class ArquivoFonteTeste : public testing::TestWithParam<TCasoFonte> {};

TEST_P(ArquivoFonteTeste, LeAsLinhas)
{
    const TPastaTemporaria pasta;
    EXPECT_EQ(LeTodas(pasta.Escreve("fonte.txt", GetParam().bytes)), GetParam().linhas);
}

INSTANTIATE_TEST_SUITE_P(Casos, ArquivoFonteTeste, testing::Values(
    TCasoFonte{"Vazio", "", {}},
    TCasoFonte{"QuebraFinalSemLinhaExtra", "h\nA\n", {"h", "A"}},
    TCasoFonte{"UltimaSemQuebra", "h\nA", {"h", "A"}},
    TCasoFonte{"CrLf", "h;20240305140709\r\nlinha 1\r\nlinha 2\r\n", {"h;20240305140709", "linha 1", "linha 2"}},
    // Lone CRs are dropped, not line ends: the whole file is the header.
    TCasoFonte{"CrSozinhoNaoSepara", "h\rA\rB\r", {"hAB"}},
    TCasoFonte{"CrNoMeioSome", "a\rb\r\r\nc", {"ab", "c"}},
    TCasoFonte{"LinhasEmBranco", "h\n\n  \n\nA\n", {"h", "", "  ", "", "A"}},
    TCasoFonte{"SoUmaQuebra", "\n", {""}},
    TCasoFonte{"DuasQuebrasFinais", "h\n\n", {"h", ""}},
    TCasoFonte{"SemAparar", "h\n\t corpo \t\n", {"h", "\t corpo \t"}},
    TCasoFonte{"CtrlZNaTerceiraLinha", "h\nb1\nantes\x1a" "depois\nmais\n", {"h", "b1", "antes"}},
    TCasoFonte{"CtrlZNoInicioDeLinha", "h\n\x1a" "A\n", {"h"}},
    TCasoFonte{"CtrlZNoInicio", "\x1a" "h\n", {}},
    TCasoFonte{"CtrlZDepoisDeCr", "h\r\x1a\n", {"h"}},
    TCasoFonte{"NulEhUmByteComum", "h\na"s + '\0' + "b\n"s, {"h", "a"s + '\0' + "b"s}},
    TCasoFonte{"BytesAltosPassam", "rela\xE7\xE3o\n\x80\xFF\n", {"rela\xE7\xE3o", "\x80\xFF"}}),
    [](const testing::TestParamInfo<TCasoFonte>& info) { return info.param.nome; });

// Line ends, CRs and Ctrl-Z falling on either side of a read block's edge, wherever
// that edge is, must read as they do anywhere else.
TEST(ArquivoFonteBlocosTeste, BytesEspeciaisNaFronteiraDeLeitura)
{
    const TPastaTemporaria pasta;
    for (const std::size_t tamanho : {4095u, 4096u, 4097u, 65534u, 65535u, 65536u, 65537u, 131072u}) {
        const std::string longa(tamanho, 'x');
        EXPECT_EQ(LeTodas(pasta.Escreve("crlf.txt", longa + "\r\nfim")), (TLinhas{longa, "fim"})) << tamanho;
        EXPECT_EQ(LeTodas(pasta.Escreve("lf.txt", longa + "\nfim\n")), (TLinhas{longa, "fim"})) << tamanho;
        EXPECT_EQ(LeTodas(pasta.Escreve("cr.txt", longa + "\rfim")), (TLinhas{longa + "fim"})) << tamanho;
        EXPECT_EQ(LeTodas(pasta.Escreve("ctrlz.txt", longa + "\x1a" "fim\n")), (TLinhas{longa})) << tamanho;
        EXPECT_EQ(LeTodas(pasta.Escreve("ctrlz-linha.txt", longa + "\n\x1a" "fim\n")), (TLinhas{longa})) << tamanho;
    }
}

TEST(ArquivoFonteBlocosTeste, LinhaDeUmMegabyteVoltaInteira)
{
    const TPastaTemporaria pasta;
    std::string bytes = "h;20240305140709\r\n";
    std::string esperada;
    for (int i = 0; i < (1 << 20); ++i) {
        const char c = static_cast<char>('a' + i % 26);
        esperada += c;
        bytes += c;
        if (i % 100000 == 0)
            bytes += '\r';
    }
    bytes += "\r\nultima";
    EXPECT_EQ(LeTodas(pasta.Escreve("longa.txt", bytes)), (TLinhas{"h;20240305140709", esperada, "ultima"}));
}

TEST(ArquivoFonteBlocosTeste, MuitasLinhas)
{
    const TPastaTemporaria pasta;
    std::string bytes;
    TLinhas esperado;
    for (int i = 0; i < 200000; ++i) {
        esperado.push_back("linha " + std::to_string(i));
        bytes += esperado.back() + "\r\n";
    }
    EXPECT_EQ(LeTodas(pasta.Escreve("muitas.txt", bytes)), esperado);
}

TEST(ArquivoFonteEstadoTeste, NoFimDevolveVazioSemParar)
{
    const TPastaTemporaria pasta;
    TArquivoFonte arquivo(pasta.Escreve("fonte.txt", "h\nA"));
    EXPECT_EQ(arquivo.LeLinha(), "h");
    EXPECT_EQ(arquivo.LeLinha(), "A");
    EXPECT_TRUE(arquivo.Eof());
    EXPECT_EQ(arquivo.LeLinha(), "");
    EXPECT_EQ(arquivo.LeLinha(), "");
    EXPECT_TRUE(arquivo.Eof());
    EXPECT_TRUE(arquivo.Aberto());
}

TEST(ArquivoFonteEstadoTeste, DepoisDoCtrlZNadaMaisEhLido)
{
    const TPastaTemporaria pasta;
    TArquivoFonte arquivo(pasta.Escreve("fonte.txt", "h\x1a" "A\nB\n"));
    EXPECT_FALSE(arquivo.Eof());
    EXPECT_EQ(arquivo.LeLinha(), "h");
    EXPECT_TRUE(arquivo.Eof());
    EXPECT_EQ(arquivo.LeLinha(), "");
    EXPECT_TRUE(arquivo.Eof());
}

TEST(ArquivoFonteEstadoTeste, FechaCedoEEhIdempotente)
{
    const TPastaTemporaria pasta;
    TArquivoFonte arquivo(pasta.Escreve("fonte.txt", "h\nA\nB\n"));
    EXPECT_EQ(arquivo.LeLinha(), "h");
    arquivo.Fecha();
    EXPECT_FALSE(arquivo.Aberto());
    EXPECT_TRUE(arquivo.Eof());
    EXPECT_EQ(arquivo.LeLinha(), "");
    arquivo.Fecha();
    EXPECT_FALSE(arquivo.Aberto());
}

TEST(ArquivoFonteEstadoTeste, ErroAoAbrirNomeiaOArquivo)
{
    const TPastaTemporaria pasta;
    const std::string inexistente = pasta.Diretorio() + "nao-existe.txt";
    const std::string pastaNoLugar = pasta.CriaSubpasta("pasta");
    for (const std::string& caminho : {inexistente, pastaNoLugar}) {
        try {
            TArquivoFonte arquivo(caminho);
            ADD_FAILURE() << "abriu " << caminho;
        } catch (const EErro& e) {
            EXPECT_NE(std::string(e.what()).find("\"" + caminho + "\""), std::string::npos) << e.what();
        }
    }
}

} // namespace

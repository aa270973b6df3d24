#include "UApoioBanco.h"
#include "UApoioCli.h"
#include "UJanelaTerminal.h"
#include "UPlataformaCli.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct TSuiteTerminal {
    static constexpr auto NomeBanco = "terminal";
    static std::vector<std::string> Tabelas() { return {}; }
};

class JanelaTerminalTeste : public TTesteComBanco<TSuiteTerminal> {
protected:
    void SetUp() override
    {
        TTesteComBanco::SetUp();
        if (HasFatalFailure()) return;
        FDm.Usuario = *AmbienteTeste("ISC_USER");
        FDm.Senha = *AmbienteTeste("ISC_PASSWORD");
        for (const char* nome : {"a", "b"})
            FPasta.Escreve(std::string(nome) + ".txt", std::string(nome) + ".txt;20240305140709\nlinha\n");
        FPasta.Escreve("ListaArquivos.txt", "a.txt\nb.txt\n");
    }

    TFimAtualizacao Executa(TJanelaTerminal& janela)
    {
        return ExecutaAtualizacao(FDm, janela, {FPasta.Diretorio(), '/', "SISTEMA\\"});
    }

    TPastaTemporaria FPasta;
    TDM FDm;
    std::ostringstream FErros;
};

// A stop asked while a.txt is being written lets it finish and ends the run before b.txt.
TEST_F(JanelaTerminalTeste, ParadaPedidaTerminaOArquivoEParaAntesDoSeguinte)
{
    int perguntas = 0;
    // Asked before a.txt, then after its progress step: the request arrives there.
    TJanelaTerminal janela(Banco().Servidor(), Banco().Caminho(), FErros, false, [&] { return ++perguntas >= 2; });

    const TFimAtualizacao fim = Executa(janela);

    EXPECT_EQ(fim, TFimAtualizacao::Cancelada);
    EXPECT_EQ(CodigoSaida(fim), 2);
    EXPECT_EQ(Banco().Valor("SELECT LIST(ARQUIVO) FROM REPOSITORIO"), "SISTEMA\\A.TXT");
    ASSERT_EQ(janela.Arquivos.size(), 1u);
    EXPECT_EQ(janela.Arquivos[0].Estado, "gravado");
    EXPECT_EQ(FErros.str(), "SISTEMA\\A.TXT: gravado\n");   // no bar off a terminal
}

// On a terminal the bar is redrawn in place and cleared before each whole line.
TEST_F(JanelaTerminalTeste, BarraSoNumTerminalEApagadaAntesDeCadaLinha)
{
    {
        TJanelaTerminal janela(Banco().Servidor(), Banco().Caminho(), FErros, true, [] { return false; });
        EXPECT_EQ(Executa(janela), TFimAtualizacao::Completa);
    }

    const std::string saida = FErros.str();
    EXPECT_NE(saida.find("[###############...............] 1/2 a.txt"), std::string::npos) << saida;
    EXPECT_NE(saida.find("\r\x1b[2KSISTEMA\\B.TXT: gravado\n"), std::string::npos) << saida;
    EXPECT_EQ(saida.substr(saida.size() - 5), "\r\x1b[2K") << "the bar is gone once the run is over";
}

TEST_F(JanelaTerminalTeste, MensagemDeVariasLinhasViraUmaLinha)
{
    TJanelaTerminal janela("", "", FErros, false, [] { return false; });
    janela.Mensagem("Não foi possível conectar no Banco de Dados!\r\nO Arquivo de Banco de Dados x\rNão Existe");
    EXPECT_EQ(FErros.str(), "Não foi possível conectar no Banco de Dados! O Arquivo de Banco de Dados x Não Existe\n");
}

// Ctrl-C only raises the flag the run looks at; the process goes on.
TEST(PedidoParadaTeste, SinalSoPedeParada)
{
    InstalaPedidoParada();
    EXPECT_FALSE(ParadaPedida());
    std::raise(SIGINT);
    EXPECT_TRUE(ParadaPedida());
}

}  // namespace

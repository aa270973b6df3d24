#include "UApoioCli.h"
#include "UComandosCli.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

using nlohmann::json;

struct TSuiteComandos {
    static constexpr auto NomeBanco = "comandoscli";
    static std::vector<std::string> Tabelas() { return {}; }
};

class ComandosCliTeste : public TTesteComBanco<TSuiteComandos> {
protected:
    void SetUp() override
    {
        TTesteComBanco::SetUp();
        if (HasFatalFailure()) return;
        MontaQuadroEstados(Banco(), FPasta);
    }

    // Runs a command with --json; the exit status must be the report's "codigo".
    json Executa(const std::string& comando, std::vector<std::string> extras = {})
    {
        std::vector<std::string> argumentos = ArgumentosCli(comando, Banco(), FPasta);
        argumentos.insert(argumentos.end(), extras.begin(), extras.end());
        std::ostringstream saida, erros;
        Codigo = ExecutaCli(argumentos, AmbienteTeste, saida, erros);
        Erros = erros.str();
        json relatorio = json::parse(saida.str());
        EXPECT_EQ(relatorio["codigo"], Codigo);
        EXPECT_EQ(relatorio["comando"], comando);
        return relatorio;
    }

    static std::vector<std::string> Estados(const json& relatorio)
    {
        std::vector<std::string> estados;
        for (const json& arquivo : relatorio["arquivos"]) estados.push_back(arquivo["estado"]);
        return estados;
    }

    TPastaTemporaria FPasta;
    int Codigo = -1;
    std::string Erros;
};

TEST_F(ComandosCliTeste, SituacaoRelataCadaEntradaSemGravarESai1)
{
    const std::string antes = ConteudoRepositorio(Banco());

    const json r = Executa("situacao");

    EXPECT_EQ(Codigo, 1);
    EXPECT_EQ(r["resultado"], "ha_o_que_gravar");
    EXPECT_EQ(Estados(r), (std::vector<std::string>{"novo", "desatualizado", "atualizado", "armazenado_mais_novo", "ausente", "novo"}));
    const json& desat = r["arquivos"][1];
    EXPECT_EQ(desat["entrada"], "desat.txt");
    EXPECT_EQ(desat["nome"], "SISTEMA\\DESAT.TXT");
    EXPECT_EQ(desat["carimbo"], "20240305140709");
    EXPECT_EQ(desat["armazenado"], "20240101000000");
    EXPECT_EQ(desat["linhas"], 3);
    EXPECT_EQ(desat["atualizadas"], 1);
    EXPECT_EQ(desat["inseridas"], 0);
    EXPECT_EQ(desat["apagadas"], 1);
    EXPECT_TRUE(desat["linha_divergente"].is_null());
    EXPECT_TRUE(r["arquivos"][0]["armazenado"].is_null());
    EXPECT_EQ(r["arquivos"][0]["inseridas"], 2);
    EXPECT_EQ(r["arquivos"][3]["atualizadas"], 0);   // a newer stored copy is not written
    EXPECT_TRUE(r["arquivos"][4]["linhas"].is_null());
    // Windows-1252 bytes of the name come out as UTF-8.
    EXPECT_EQ(r["arquivos"][5]["nome"], "SISTEMA\\AçãO.TXT");
    EXPECT_EQ(ConteudoRepositorio(Banco()), antes);
}

// After the run, the look finds nothing to write and no body that differs.
TEST_F(ComandosCliTeste, AtualizaGravaEDepoisNadaFaltaNemDiverge)
{
    const json r = Executa("atualiza");
    EXPECT_EQ(Codigo, 0);
    EXPECT_EQ(r["resultado"], "completa");
    EXPECT_EQ(Estados(r), (std::vector<std::string>{"gravado", "gravado", "atualizado", "armazenado_mais_novo", "ausente", "gravado"}));
    EXPECT_EQ(r["arquivos"][1]["armazenado"], "20240101000000");
    EXPECT_NE(Erros.find("SISTEMA\\DESAT.TXT: gravado\n"), std::string::npos) << Erros;
    EXPECT_EQ(Banco().Valor("SELECT LIST(DADOS, '|') FROM (SELECT DADOS FROM REPOSITORIO_DADOS WHERE ID = 1 ORDER BY SEQUENCIA)"),
              "um|nova|tres");

    EXPECT_EQ(Executa("situacao")["resultado"], "nada_a_gravar");
    EXPECT_EQ(Codigo, 0);
    EXPECT_EQ(Executa("verifica")["resultado"], "sem_divergencia");
    EXPECT_EQ(Codigo, 0);
}

TEST_F(ComandosCliTeste, VerificaAchaOCorpoMudadoPorFora)
{
    Banco().Executa("UPDATE REPOSITORIO_DADOS SET DADOS = 'B' WHERE ID = 2 AND SEQUENCIA = 2");

    const json r = Executa("verifica");

    EXPECT_EQ(Codigo, 1);
    EXPECT_EQ(r["resultado"], "divergente");
    EXPECT_EQ(r["arquivos"][2]["estado"], "divergente");
    EXPECT_EQ(r["arquivos"][2]["linha_divergente"], 2);
    EXPECT_EQ(r["arquivos"][1]["estado"], "desatualizado");   // other entries keep their state
}

TEST_F(ComandosCliTeste, ArquivoRecusadoSai1ComAMensagemDoEscritor)
{
    FPasta.Escreve("novo.txt", "novo.txt;20240305140709\n" + std::string(40000, 'x') + "\n");

    const json r = Executa("atualiza");

    EXPECT_EQ(Codigo, 1);
    EXPECT_EQ(r["resultado"], "completa_com_falhas");
    EXPECT_EQ(r["arquivos"][0]["estado"], "falhou");
    EXPECT_EQ(r["arquivos"][0]["mensagem"], "Erro ao inserir o Arquivo");
    EXPECT_EQ(r["arquivos"][1]["estado"], "gravado");
    EXPECT_NE(Erros.find("Erro ao inserir o Arquivo\n"), std::string::npos) << Erros;
}

// An empty listed file cannot be written (it has no stamp): the look agrees with the run,
// both end at that entry with exit 3 and name it, and the look writes nothing.
TEST_F(ComandosCliTeste, ArquivoSemCarimboTerminaOExameComoTerminaAExecucao)
{
    FPasta.Escreve("vazio.txt", "");
    FPasta.Escreve("ListaArquivos.txt", "vazio.txt\r\nnovo.txt\r\n");
    const std::string antes = ConteudoRepositorio(Banco());

    for (const char* comando : {"situacao", "atualiza"}) {
        const json r = Executa(comando);
        EXPECT_EQ(Codigo, 3) << comando;
        EXPECT_EQ(r["resultado"], "interrompida") << comando;
        const std::string mensagem = r["mensagem"];
        EXPECT_NE(mensagem.find("vazio.txt"), std::string::npos) << comando << ": " << mensagem;
        EXPECT_NE(mensagem.find("Carimbo"), std::string::npos) << comando << ": " << mensagem;
        EXPECT_EQ(ConteudoRepositorio(Banco()), antes) << comando;
    }
}

// Each early end gives exit 3 and one line on the error stream naming what failed.
struct TCasoFalha { const char* nome; const char* comando; const char* extra; const char* resultado; const char* texto; };

class FalhaCliTeste : public ComandosCliTeste, public testing::WithParamInterface<TCasoFalha> {};

TEST_P(FalhaCliTeste, Sai3ComUmaLinhaDoMotivo)
{
    const TCasoFalha& caso = GetParam();
    if (std::string(caso.extra) == "senha") {
        FPasta.Escreve("ListaArquivos.txt", "novo.txt\n");
    } else {
        std::filesystem::remove(FPasta.Diretorio() + "ListaArquivos.txt");
    }
    const std::string antes = ConteudoRepositorio(Banco());

    const json r = Executa(caso.comando, std::string(caso.extra) == "senha" ? std::vector<std::string>{"--senha", "errada"}
                                                                            : std::vector<std::string>{});

    EXPECT_EQ(Codigo, 3);
    EXPECT_EQ(r["resultado"], caso.resultado);
    EXPECT_TRUE(r["arquivos"].empty());
    const std::string ultima = Erros.substr(Erros.rfind("atualizador-cli: "));
    EXPECT_NE(ultima.find(caso.texto), std::string::npos) << Erros;
    EXPECT_EQ(ultima.find('\n'), ultima.size() - 1) << "one line: " << ultima;
    EXPECT_EQ(ConteudoRepositorio(Banco()), antes);
}

INSTANTIATE_TEST_SUITE_P(Casos, FalhaCliTeste, testing::Values(
    TCasoFalha{"SituacaoSenhaErrada", "situacao", "senha", "falha_conexao", "password"},
    TCasoFalha{"AtualizaSenhaErrada", "atualiza", "senha", "falha_conexao", "password"},
    TCasoFalha{"VerificaSenhaErrada", "verifica", "senha", "falha_conexao", "Não foi possível conectar"},
    TCasoFalha{"SituacaoSemLista", "situacao", "", "lista_ausente", "ListaArquivos.txt"},
    TCasoFalha{"AtualizaSemLista", "atualiza", "", "lista_ausente", "ListaArquivos.txt"}),
    [](const testing::TestParamInfo<TCasoFalha>& info) { return std::string(info.param.nome); });

TEST_F(ComandosCliTeste, SemJsonUmaTabelaAlinhada)
{
    std::vector<std::string> argumentos = ArgumentosCli("situacao", Banco(), FPasta);
    argumentos.pop_back();   // --json
    std::ostringstream saida, erros;

    EXPECT_EQ(ExecutaCli(argumentos, AmbienteTeste, saida, erros), 1);

    std::istringstream linhas(saida.str());
    std::vector<std::string> tabela;
    for (std::string linha; std::getline(linhas, linha);) tabela.push_back(linha);
    ASSERT_EQ(tabela.size(), 1u + 6u + 1u);
    // Every row's name starts under the heading "ARQUIVO", accented name or not.
    const std::size_t coluna = tabela[0].find("ARQUIVO");
    EXPECT_EQ(tabela[2].find("SISTEMA\\DESAT.TXT"), coluna);
    EXPECT_EQ(tabela[5].find("falta.txt"), coluna);
    const std::size_t carimbo = tabela[0].find("CARIMBO");
    const std::string acentuada = tabela[6];
    EXPECT_EQ(acentuada.find("20240305140709"), carimbo + 2);   // "ç" and "ã" take two bytes each
    EXPECT_EQ(tabela.back(), "resultado: ha_o_que_gravar (código 1)");
}

}  // namespace

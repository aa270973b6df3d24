#include "UBancoTeste.h"
#include "UDM.h"
#include "UErro.h"

#include <gtest/gtest.h>

namespace {

struct TSuiteAplicacao {
    static constexpr const char* NomeBanco = "aplicacao";
    static std::vector<std::string> Tabelas()
    {
        return {"CREATE TABLE W (K INTEGER NOT NULL PRIMARY KEY, N VARCHAR(20), TS TIMESTAMP, D DOUBLE PRECISION,"
                " B BLOB SUB_TYPE TEXT, C CHAR(5), EXTRA VARCHAR(10) DEFAULT 'padrao')",
            "CREATE TABLE SEMCHAVE (A INTEGER, V VARCHAR(10))",
            "CREATE TABLE SOBLOB (B BLOB SUB_TYPE TEXT)"};
    }
};

class AplicacaoTeste : public TTesteComDM<TSuiteAplicacao> {
protected:
    TClientDataSet& Abre(const std::string& texto) { return AbreDados(texto); }
    // Three rows whose N the test then edits; row 2 carries NULLs, a fraction of a second and a blob.
    void TresLinhas()
    {
        Banco().Executa("INSERT INTO W (K, N, TS, D, B, C) VALUES (1, 'um', '2024-03-05 14:07:09.1234', 0.1, 'blob 1', 'ab')");
        Banco().Executa("INSERT INTO W (K, N, TS, D, B, C) VALUES (2, 'dois', '2024-03-05 14:07:09.9999', NULL, 'blob 2', NULL)");
        Banco().Executa("INSERT INTO W (K, N, TS, D, B, C) VALUES (3, 'tres', NULL, 1e300, NULL, 'x')");
    }
    void EditaTodas(TClientDataSet& cds, const std::string& valor)
    {
        for (cds.First(); !cds.Eof(); cds.Next()) {
            cds.Edit();
            cds.FieldByName("N").SetAsString(valor + cds.FieldByName("K").AsString());
            cds.Post();
        }
    }
    std::vector<TLinhaLida> Nomes() { return Banco().Consulta("SELECT K, N FROM W ORDER BY K"); }
};

TEST_F(AplicacaoTeste, SemAlteracoesDevolveZeroENaoEnviaNada)
{
    TresLinhas();
    TClientDataSet& cds = Abre("SELECT * FROM W");
    cds.Edit();   // a pending row with no change is posted first, and records nothing
    const auto comandos = dm.conexao.ComandosExecutados();
    const auto transacoes = dm.conexao.TransacoesIniciadas();
    EXPECT_EQ(cds.ApplyUpdates(0), 0);
    EXPECT_EQ(dm.conexao.ComandosExecutados(), comandos);
    EXPECT_EQ(dm.conexao.TransacoesIniciadas(), transacoes);
}

TEST_F(AplicacaoTeste, AtualizaLocalizandoPorTodasAsColunasComparaveis)
{
    TresLinhas();
    TClientDataSet& cds = Abre("SELECT * FROM W ORDER BY K");
    dm.conexao.RegistraComandos(true);
    EditaTodas(cds, "novo");
    ASSERT_EQ(cds.ApplyUpdates(0), 0) << cds.UltimoErroAplicacao();
    EXPECT_EQ(Nomes(), (std::vector<TLinhaLida>{{"1", "novo1"}, {"2", "novo2"}, {"3", "novo3"}}));
    // The fraction of a second of the TIMESTAMP survived, and nothing else was written.
    EXPECT_EQ(Banco().Consulta("SELECT CAST(TS AS VARCHAR(30)), D, CAST(B AS VARCHAR(10)), C, EXTRA FROM W WHERE K = 2"),
        (std::vector<TLinhaLida>{{"2024-03-05 14:07:09.9999", std::nullopt, "blob 2", std::nullopt, "padrao"}}));

    // One batch carries the three; its one UPDATE sets only the changed column.
    const std::vector<std::string>& enviados = dm.conexao.ComandosRegistrados();
    ASSERT_EQ(enviados.size(), 2u);   // the table's primary key, then the batch
    const std::string& lote = enviados.back();
    const auto update = lote.find("UPDATE \"W\" SET \"N\" = :P0 WHERE ");
    ASSERT_NE(update, std::string::npos) << lote.substr(0, 300);
    const std::string comando = lote.substr(update, lote.find(';', update) - update);
    for (const char* coluna : {"\"K\"", "\"TS\"", "\"D\"", "\"C\"", "\"EXTRA\""})
        EXPECT_NE(comando.find(std::string(coluna) + " IS NOT DISTINCT FROM :P"), std::string::npos) << coluna;
    EXPECT_EQ(comando.find("\"B\""), std::string::npos) << "the blob must stay out of the WHERE";
    EXPECT_EQ(cds.ChangeCount(), 0);
}

TEST_F(AplicacaoTeste, ExcluiLinhasComNulosEInsereSoAsColunasAtribuidas)
{
    TresLinhas();
    TClientDataSet& cds = Abre("SELECT * FROM W ORDER BY K");
    cds.Next();
    cds.Delete();   // row 2, the one with NULLs
    cds.Append();
    cds.FieldByName("K").SetAsInteger(4);
    cds.FieldByName("N").SetAsString("quatro");
    cds.FieldByName("B").SetAsString(std::string(70000, 'b'));
    cds.Post();
    ASSERT_EQ(cds.ApplyUpdates(0), 0) << cds.UltimoErroAplicacao();
    EXPECT_EQ(Nomes(), (std::vector<TLinhaLida>{{"1", "um"}, {"3", "tres"}, {"4", "quatro"}}));
    // EXTRA was not given a value, so the table's default applies.
    EXPECT_EQ(Banco().Consulta("SELECT EXTRA, OCTET_LENGTH(B) FROM W WHERE K = 4"), (std::vector<TLinhaLida>{{"padrao", "70000"}}));

    // The merged rows are read values now: changing the inserted row updates it.
    cds.Last();
    cds.Edit();
    cds.FieldByName("N").SetAsString("alterado");
    cds.Post();
    ASSERT_EQ(cds.ApplyUpdates(0), 0) << cds.UltimoErroAplicacao();
    EXPECT_EQ(Banco().Valor("SELECT N FROM W WHERE K = 4"), "alterado");
}

// Row 2 is changed by another attachment after the set read it.
class ConcorrenciaTeste : public AplicacaoTeste {
protected:
    TClientDataSet& LeEAlteraPorFora()
    {
        TresLinhas();
        TClientDataSet& cds = Abre("SELECT * FROM W ORDER BY K");
        Banco().Executa("UPDATE W SET N = 'de fora' WHERE K = 2");
        EditaTodas(cds, "meu");
        return cds;
    }
};

TEST_F(ConcorrenciaTeste, SemTransacaoExplicitaNadaEhGravado)
{
    TClientDataSet& cds = LeEAlteraPorFora();
    EXPECT_EQ(cds.ApplyUpdates(0), 1);
    EXPECT_NE(cds.UltimoErroAplicacao().find("não foi encontrado"), std::string::npos) << cds.UltimoErroAplicacao();
    EXPECT_EQ(Nomes(), (std::vector<TLinhaLida>{{"1", "um"}, {"2", "de fora"}, {"3", "tres"}}));
    EXPECT_EQ(cds.ChangeCount(), 3);   // rolled back, so every change is still pending
    EXPECT_EQ(dm.conexao.TransacoesAtivas(), 0);
}

TEST_F(ConcorrenciaTeste, NaTransacaoDoChamadorParaNaPrimeiraFalha)
{
    TClientDataSet& cds = LeEAlteraPorFora();
    ASSERT_TRUE(dm.IniciaTransacao(50));
    EXPECT_EQ(cds.ApplyUpdates(0), 1);
    EXPECT_EQ(dm.conexao.TransacoesAtivas(), 1);   // the caller's to end
    ASSERT_TRUE(dm.ConfirmaTransacao(50));
    // Row 1 went before the failure; row 3 was never tried.
    EXPECT_EQ(Nomes(), (std::vector<TLinhaLida>{{"1", "meu1"}, {"2", "de fora"}, {"3", "tres"}}));
    EXPECT_EQ(cds.ChangeCount(), 2);
}

TEST_F(ConcorrenciaTeste, SemLimiteDeErrosSegueEGravaOResto)
{
    TClientDataSet& cds = LeEAlteraPorFora();
    EXPECT_EQ(cds.ApplyUpdates(-1), 1);
    EXPECT_EQ(Nomes(), (std::vector<TLinhaLida>{{"1", "meu1"}, {"2", "de fora"}, {"3", "meu3"}}));
    EXPECT_EQ(cds.ChangeCount(), 1);
}

TEST_F(ConcorrenciaTeste, LinhaExcluidaPorForaFazAExclusaoFalhar)
{
    TresLinhas();
    TClientDataSet& cds = Abre("SELECT * FROM W ORDER BY K");
    Banco().Executa("DELETE FROM W WHERE K = 1");
    cds.Delete();
    EXPECT_EQ(cds.ApplyUpdates(0), 1);
    EXPECT_EQ(cds.ChangeCount(), 1);
}

TEST_F(AplicacaoTeste, AlteracaoQueAlcancariaDuasLinhasFalhaSemMudarNenhuma)
{
    Banco().Executa("INSERT INTO SEMCHAVE VALUES (1, 'igual')");
    Banco().Executa("INSERT INTO SEMCHAVE VALUES (1, 'igual')");
    for (int maxErros : {0, -1}) {   // -1 commits the provider's own transaction all the same
        SCOPED_TRACE(maxErros);
        TClientDataSet& cds = Abre("SELECT * FROM SEMCHAVE");
        cds.Edit();
        cds.FieldByName("V").SetAsString("mudou");
        cds.Post();
        EXPECT_EQ(cds.ApplyUpdates(maxErros), 1);
        EXPECT_NE(cds.UltimoErroAplicacao().find("2 registros"), std::string::npos) << cds.UltimoErroAplicacao();
        EXPECT_EQ(Banco().Consulta("SELECT V FROM SEMCHAVE"), (std::vector<TLinhaLida>{{"igual"}, {"igual"}}));
        cds.Delete();
        EXPECT_EQ(cds.ApplyUpdates(maxErros), 1);
        EXPECT_EQ(Banco().Valor("SELECT COUNT(*) FROM SEMCHAVE"), "2");
    }
}

TEST_F(AplicacaoTeste, LinhaSemColunaComparavelNaoPodeSerLocalizada)
{
    Banco().Executa("INSERT INTO SOBLOB VALUES ('conteudo')");
    TClientDataSet& cds = Abre("SELECT * FROM SOBLOB");
    cds.Edit();
    cds.FieldByName("B").SetAsString("outro");
    cds.Post();
    EXPECT_EQ(cds.ApplyUpdates(0), 1);
    EXPECT_NE(cds.UltimoErroAplicacao().find("não pode ser localizado"), std::string::npos) << cds.UltimoErroAplicacao();
    EXPECT_EQ(Banco().Valor("SELECT CAST(B AS VARCHAR(20)) FROM SOBLOB"), "conteudo");
}

TEST_F(AplicacaoTeste, ColunasQueNaoSaoDaTabelaFicamDeFora)
{
    TresLinhas();
    TClientDataSet& cds = Abre("SELECT K, N, K + 1 AS PROXIMO FROM W WHERE K = 1");
    cds.Edit();
    cds.FieldByName("N").SetAsString("com expressao");
    cds.Post();
    ASSERT_EQ(cds.ApplyUpdates(0), 0) << cds.UltimoErroAplicacao();
    EXPECT_EQ(Banco().Valor("SELECT N FROM W WHERE K = 1"), "com expressao");

    TClientDataSet& maximo = Abre("SELECT MAX(K) FROM W");
    maximo.Edit();
    maximo.Fields(0).SetAsInteger(9);
    maximo.Post();
    EXPECT_EQ(maximo.ApplyUpdates(0), 1);
    EXPECT_NE(maximo.UltimoErroAplicacao().find("tabela"), std::string::npos) << maximo.UltimoErroAplicacao();
}

TEST_F(AplicacaoTeste, ChaveDuplicadaNaInclusaoEhUmaFalhaComAMensagemDoFirebird)
{
    TresLinhas();
    TClientDataSet& cds = Abre("SELECT * FROM W");
    cds.Append();
    cds.FieldByName("K").SetAsInteger(1);
    cds.Post();
    EXPECT_EQ(cds.ApplyUpdates(0), 1);
    EXPECT_NE(cds.UltimoErroAplicacao().find("violation of PRIMARY or UNIQUE KEY"), std::string::npos) << cds.UltimoErroAplicacao();
}

TEST_F(AplicacaoTeste, CadaComandoEhPreparadoUmaVezEUmComandoPorAlteracao)
{
    for (int k = 1; k <= 3; ++k) Banco().Executa("INSERT INTO W (K, N) VALUES (" + std::to_string(k) + ", 'x')");
    TClientDataSet& cds = Abre("SELECT * FROM W ORDER BY K");
    std::vector<std::uint64_t> preparados, executados;
    for (cds.First(); !cds.Eof(); cds.Next()) {
        cds.Edit();
        cds.FieldByName("N").SetAsString("y");
        cds.Post();
        const auto antes = dm.conexao.ComandosExecutados();
        ASSERT_EQ(cds.ApplyUpdates(0), 0) << cds.UltimoErroAplicacao();
        preparados.push_back(dm.conexao.ComandosPreparados());
        executados.push_back(dm.conexao.ComandosExecutados() - antes);
    }
    EXPECT_EQ(preparados[1], preparados[0]);
    EXPECT_EQ(preparados[2], preparados[0]);
    EXPECT_EQ(executados[1], 1u);
    EXPECT_EQ(executados[2], 1u);
}

} // namespace

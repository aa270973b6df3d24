#include "UBancoTeste.h"
#include "UConexao.h"
#include "UConsultaUnica.h"
#include "UDM.h"

#include <gtest/gtest.h>

namespace {

struct TCasoForma {
    const char* Nome;
    std::string Texto;
    std::string Forma;
};

class FormaDaConsultaTeste : public testing::TestWithParam<TCasoForma> {};

TEST_P(FormaDaConsultaTeste, TrocaSoOsLiteraisDepoisDoWhere)
{
    EXPECT_EQ(FormaDaConsulta(GetParam().Texto), GetParam().Forma);
}

INSTANTIATE_TEST_SUITE_P(Casos, FormaDaConsultaTeste, testing::Values(
    TCasoForma{"TextoComAspasDobradas", "SELECT * FROM REPOSITORIO WHERE ARQUIVO='SISTEMA\\D''AGUA.TXT'",
        "SELECT * FROM REPOSITORIO WHERE ARQUIVO='?'"},
    TCasoForma{"Numero", "SELECT ID,SEQUENCIA,DADOS FROM REPOSITORIO_DADOS WHERE ID=12 ORDER BY SEQUENCIA",
        "SELECT ID,SEQUENCIA,DADOS FROM REPOSITORIO_DADOS WHERE ID=0 ORDER BY SEQUENCIA"},
    TCasoForma{"SemWhere", "SELECT MAX(ID) FROM REPOSITORIO", "SELECT MAX(ID) FROM REPOSITORIO"},
    // Before the WHERE a literal shapes the result's columns, and a quoted name is a name.
    TCasoForma{"LiteralAntesDoWhere", "SELECT 'ab', \"Where 1\" FROM T WHERE K=1", "SELECT 'ab', \"Where 1\" FROM T WHERE K=0"},
    TCasoForma{"NomeComDigitos", "SELECT * FROM T2 WHERE C1=5", "SELECT * FROM T2 WHERE C1=0"},
    TCasoForma{"SubconsultaNoWhere", "SELECT * FROM T WHERE K IN (SELECT 1 FROM U)", ""},
    TCasoForma{"Uniao", "SELECT A FROM T WHERE K=1 UNION SELECT 'xyz' FROM U", ""},
    TCasoForma{"WhereDeSubconsultaNaLista", "SELECT (SELECT 1 FROM U WHERE U.K=2), 'lit' FROM T", "SELECT (SELECT 1 FROM U WHERE U.K=2), 'lit' FROM T"},
    TCasoForma{"AspaSemFim", "SELECT * FROM T WHERE N='aberta", ""},
    // A comment could hide a WHERE or a quote: such a text gets no shape.
    TCasoForma{"ComentarioDeBloco", "SELECT /* WHERE */ CAST(X AS VARCHAR(10)) FROM T", ""},
    TCasoForma{"ComentarioDeLinha", "SELECT A -- o'\nFROM T WHERE K=1", ""}),
    [](const testing::TestParamInfo<TCasoForma>& info) { return std::string(info.param.Nome); });

struct TSuiteUnica {
    static constexpr const char* NomeBanco = "unica";
    static std::vector<std::string> Tabelas()
    {
        return {"CREATE TABLE Q (K INTEGER NOT NULL PRIMARY KEY, N VARCHAR(20), B BLOB SUB_TYPE TEXT, T VARCHAR(32765) CHARACTER SET NONE)"};
    }
};

class ConsultaUnicaTeste : public TTesteComDM<TSuiteUnica> {
protected:
    TClientDataSet& Abre(const std::string& texto) { return AbreDados(texto); }
    std::vector<std::string> Ks(TClientDataSet& cds)
    {
        std::vector<std::string> ks;
        for (cds.First(); !cds.Eof(); cds.Next()) ks.push_back(cds.FieldByName("K").AsString() + "=" + cds.FieldByName("B").AsString());
        return ks;
    }
};

TEST_F(ConsultaUnicaTeste, MesmaFormaComOutroLiteralCustaUmaRequisicaoEGuardaTodasAsLinhas)
{
    Banco().Executa("INSERT INTO Q (K, N, B) VALUES (1, 'um', 'blob um')");
    Banco().Executa("INSERT INTO Q (K, N, B) VALUES (2, 'par', 'blob dois')");
    Banco().Executa("INSERT INTO Q (K, N, B) VALUES (3, 'par', 'blob tres')");
    // Preparing is one request, opening and fetching another; a known shape that gave one row
    // at most is read in one. Two rows are read again by a cursor, and the shape learns it.
    struct TCaso { std::string N; std::vector<std::string> Esperadas; std::uint64_t Preparados, Executados; };
    for (const TCaso& caso : {TCaso{"um", {"1=blob um"}, 1, 1}, TCaso{"zero", {}, 0, 1},
                              TCaso{"par", {"2=blob dois", "3=blob tres"}, 1, 2}, TCaso{"tres", {}, 1, 1},
                              TCaso{"quatro", {}, 0, 1}}) {
        SCOPED_TRACE(caso.N);
        const auto preparados = dm.conexao.ComandosPreparados();
        const auto executados = dm.conexao.ComandosExecutados();
        TClientDataSet& cds = Abre("SELECT * FROM Q WHERE N='" + caso.N + "' ORDER BY K");
        EXPECT_EQ(Ks(cds), caso.Esperadas);
        EXPECT_EQ(dm.conexao.ComandosPreparados() - preparados, caso.Preparados);
        EXPECT_EQ(dm.conexao.ComandosExecutados() - executados, caso.Executados);
    }

    // The rows read in one request are rows like any other: they can be changed.
    TClientDataSet& cds = Abre("SELECT * FROM Q WHERE K=1");
    cds.Edit();
    cds.FieldByName("N").SetAsString("alterado");
    cds.Post();
    ASSERT_EQ(cds.ApplyUpdates(0), 0) << cds.UltimoErroAplicacao();
    EXPECT_EQ(Banco().Valor("SELECT N FROM Q WHERE K = 1"), "alterado");
}

TEST_F(ConsultaUnicaTeste, LinhaMaisLargaQueAMensagemEstreitaEhLidaInteira)
{
    const std::string longa(32765, 'L');
    for (int k = 1; k <= 300; ++k)
        Banco().Executa("INSERT INTO Q (K, T) VALUES (" + std::to_string(k) + ", '" + (k == 150 ? std::string(1024, 'x') : "curta") + "')");
    // Cut to the narrow width, a value whose rest is blanks raises no error on the server:
    // in the second pass, alone among short values, it must still come back whole.
    const std::string brancos = std::string(1020, 'b') + std::string(10, ' ');
    Banco().Executa("UPDATE Q SET T = '" + brancos + "' WHERE K = 250");
    // A long value in the middle: the narrow read fails there and the set is read again whole.
    Banco().Executa("UPDATE Q SET T = '" + std::string(1025, 'y') + "' WHERE K = 200");
    for (int passo = 0; passo < 2; ++passo) {
        if (passo == 1) Banco().Executa("UPDATE Q SET T = 'curta' WHERE K = 200");
        TClientDataSet& cds = Abre("SELECT K, T FROM Q ORDER BY K");
        ASSERT_EQ(cds.RecordCount(), 300);
        for (int k = 1; k <= 300; ++k, cds.Next()) {
            const std::string esperado = k == 150 ? std::string(1024, 'x')
                : k == 200 && passo == 0 ? std::string(1025, 'y') : k == 250 ? brancos : "curta";
            ASSERT_EQ(cds.FieldByName("T").AsString(), esperado) << "passo " << passo << ", K " << k;
        }
    }
    // The column keeps its own limit for what is posted.
    TClientDataSet& cds = Abre("SELECT K, T FROM Q ORDER BY K");
    cds.Edit();
    cds.FieldByName("T").SetAsString(longa);
    cds.Post();
    ASSERT_EQ(cds.ApplyUpdates(0), 0) << cds.UltimoErroAplicacao();
    EXPECT_EQ(Banco().Valor("SELECT OCTET_LENGTH(T) FROM Q WHERE K = 1"), "32765");
}

TEST_F(ConsultaUnicaTeste, LeiturasSemTransacaoExplicitaNaoIniciamUmaCadaEVeemOQueOutrosConfirmaram)
{
    Abre("SELECT K, N FROM Q");
    const auto iniciadas = dm.conexao.TransacoesIniciadas();
    Banco().Executa("INSERT INTO Q (K, N) VALUES (1, 'de fora')");
    TClientDataSet& cds = Abre("SELECT K, N FROM Q");
    EXPECT_EQ(cds.FieldByName("N").AsString(), "de fora");   // read committed, as a new transaction would be
    Banco().Executa("UPDATE Q SET N = 'depois' WHERE K = 1");
    EXPECT_EQ(Abre("SELECT N FROM Q WHERE K=1").FieldByName("N").AsString(), "depois");
    EXPECT_EQ(dm.conexao.TransacoesIniciadas(), iniciadas);
    EXPECT_EQ(dm.conexao.TransacoesAtivas(), 0);   // the kept one is no transaction of the caller's
}

} // namespace

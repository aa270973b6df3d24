#include "UBancoTeste.h"
#include "UConexao.h"
#include "UDM.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct TSuiteLote {
    static constexpr const char* NomeBanco = "lote";
    static std::vector<std::string> Tabelas()
    {
        return {"CREATE TABLE L (K INTEGER NOT NULL PRIMARY KEY, T VARCHAR(32765) CHARACTER SET NONE,"
                " W VARCHAR(300) CHARACTER SET WIN1252, U VARCHAR(5) CHARACTER SET UTF8,"
                " B BLOB SUB_TYPE TEXT CHARACTER SET NONE, BW BLOB SUB_TYPE TEXT CHARACTER SET WIN1252)"};
    }
};

constexpr int Linhas = 40;
constexpr int Falha = 20;   // the change in the middle of the batch that the server refuses

std::string Todos()
{
    std::string bytes;
    for (int b = 1; b <= 255; ++b) bytes += static_cast<char>(b);
    return bytes;
}

class LoteTeste : public TTesteComDM<TSuiteLote> {
protected:
    TClientDataSet& Abre(const std::string& texto = "SELECT * FROM L ORDER BY K") { return AbreDados(texto); }
    // Every column of every row as the layer reads it back, NULL as std::nullopt.
    std::vector<TLinhaLida> Le()
    {
        TClientDataSet& cds = Abre();
        std::vector<TLinhaLida> linhas;
        for (cds.First(); !cds.Eof(); cds.Next()) {
            TLinhaLida linha;
            for (int i = 0; i < cds.FieldCount(); ++i)
                linha.push_back(cds.Fields(i).IsNull() ? std::nullopt : std::optional<std::string>(cds.Fields(i).AsString()));
            linhas.push_back(linha);
        }
        return linhas;
    }
    void Grava(TClientDataSet& cds, const TLinhaLida& linha)
    {
        for (int i = 0; i < cds.FieldCount(); ++i) {
            if (linha[static_cast<std::size_t>(i)]) cds.Fields(i).SetAsString(*linha[static_cast<std::size_t>(i)]);
            else cds.Fields(i).Clear();
        }
        cds.Post();
    }
    void InsereNumeradas(int quantas)
    {
        TClientDataSet& cds = Abre();
        for (int k = 1; k <= quantas; ++k) {
            cds.Append();
            Grava(cds, {std::to_string(k), "linha " + std::to_string(k), "w", "u", "b", "bw"});
        }
        ASSERT_EQ(cds.ApplyUpdates(0), 0) << cds.UltimoErroAplicacao();
    }
};

// Values that batches must carry byte for byte, and rows that a where-all must then find.
TEST_F(LoteTeste, ValoresPassamIntactosNaInclusaoNaAlteracaoENaExclusao)
{
    const std::string limite(32765, 'x');
    const std::string blobGrande(70000, 'g');   // too big for a batch: goes by itself among the others
    const std::vector<TLinhaLida> inseridas = {
        {"1", std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt},
        {"2", "", "", "", "", ""},
        {"3", Todos(), "\xC0\xE7\xE3o \x80", "ação", Todos(), "\xE9\xE8"},
        {"4", limite, std::string(300, '\xE9'), "abcde", limite, "curto"},
        {"5", "curta", "w", "u", blobGrande, "b"},
        {"6", "curta", "w", "u", "b", "b"},
    };
    TClientDataSet& cds = Abre();
    for (const TLinhaLida& linha : inseridas) {
        cds.Append();
        Grava(cds, linha);
    }
    const auto antes = dm.conexao.ComandosExecutados();
    ASSERT_EQ(cds.ApplyUpdates(0), 0) << cds.UltimoErroAplicacao();
    EXPECT_LE(dm.conexao.ComandosExecutados() - antes, 6u) << "rows 1 to 4 and row 6 go in batches";
    EXPECT_EQ(Le(), inseridas);

    // NULL and '' become values, values become NULL and '', each located by where-all over
    // the values just written, the column's limit and every byte included.
    const std::vector<TLinhaLida> alteradas = {
        {"1", "", "", "", "", ""},
        {"2", std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt},
        {"3", "", std::nullopt, "x", "", std::nullopt},
        {"4", "curto", "\xFF", std::nullopt, Todos(), limite},
        {"5", limite, Todos().substr(0, 300), "u", "b", "b"},
        {"6", "curta", "w", "u", blobGrande, "b"},
    };
    Abre();
    for (const TLinhaLida& linha : alteradas) {
        cds.Edit();
        Grava(cds, linha);
        cds.Next();
    }
    ASSERT_EQ(cds.ApplyUpdates(0), 0) << cds.UltimoErroAplicacao();
    EXPECT_EQ(Le(), alteradas);

    Abre();
    while (!cds.Eof()) cds.Delete();
    ASSERT_EQ(cds.ApplyUpdates(0), 0) << cds.UltimoErroAplicacao();
    EXPECT_EQ(Banco().Valor("SELECT COUNT(*) FROM L"), "0");
}

struct TCasoFalha {
    const char* Nome;
    std::function<void(TBancoTeste&, TClientDataSet&)> Prepara;   // Linhas changes of one shape, number Falha at fault
    const char* Erro;                                            // part of the failed change's message
    const char* Consulta;                                        // counts what the changes before it left
    const char* Esperado;
};

class FalhaNoLoteTeste : public LoteTeste, public testing::WithParamInterface<TCasoFalha> {};

TEST_P(FalhaNoLoteTeste, RelataAAlteracaoExataGravaAsAnterioresEDeixaAsSeguintes)
{
    const TCasoFalha& caso = GetParam();
    InsereNumeradas(Linhas);
    if (HasFatalFailure()) return;
    TClientDataSet& cds = Abre();
    caso.Prepara(Banco(), cds);
    ASSERT_TRUE(dm.IniciaTransacao(7));
    EXPECT_EQ(cds.ApplyUpdates(0), 1);
    EXPECT_NE(cds.UltimoErroAplicacao().find(caso.Erro), std::string::npos) << cds.UltimoErroAplicacao();
    EXPECT_EQ(cds.ChangeCount(), Linhas - Falha + 1);   // the failed one and every one after it
    // The transaction is still usable: what went before the failure commits with it.
    ASSERT_TRUE(dm.ConfirmaTransacao(7));
    EXPECT_EQ(Banco().Valor(caso.Consulta), caso.Esperado);
}

void EditaTodas(TClientDataSet& cds, const std::function<std::string(int)>& u)
{
    for (; !cds.Eof(); cds.Next()) {
        const int k = static_cast<int>(cds.FieldByName("K").AsInteger());
        cds.Edit();
        cds.FieldByName("T").SetAsString("novo " + std::to_string(k));
        cds.FieldByName("U").SetAsString(u(k));
        cds.Post();
    }
}

constexpr const char* Novas = "SELECT COUNT(*) FROM L WHERE T STARTING WITH 'novo '";

INSTANTIATE_TEST_SUITE_P(Casos, FalhaNoLoteTeste, testing::Values(
    TCasoFalha{"AlteradaPorOutraConexao",
        [](TBancoTeste& banco, TClientDataSet& cds) {
            banco.Executa("UPDATE L SET T = 'de fora' WHERE K = " + std::to_string(Falha));
            EditaTodas(cds, [](int) { return "v"; });
        },
        "não foi encontrado", Novas, "19"},
    TCasoFalha{"ValorLongoDemaisParaAColuna",
        [](TBancoTeste&, TClientDataSet& cds) {
            // Six bytes pass the cached set's check (20 bytes); six characters do not fit VARCHAR(5) in UTF8.
            EditaTodas(cds, [](int k) { return k == Falha ? "seis!!" : "v"; });
        },
        "truncation", Novas, "19"},
    TCasoFalha{"ChaveDuplicadaNaInclusao",
        [](TBancoTeste&, TClientDataSet& cds) {
            for (int n = 1; n <= Linhas; ++n) {
                cds.Append();
                cds.FieldByName("K").SetAsInteger(n == Falha ? 5 : 100 + n);
                cds.FieldByName("T").SetAsString("novo " + std::to_string(n));
                cds.Post();
            }
        },
        "PRIMARY or UNIQUE KEY", Novas, "19"},
    TCasoFalha{"ExcluidaPorOutraConexao",
        [](TBancoTeste& banco, TClientDataSet& cds) {
            banco.Executa("DELETE FROM L WHERE K = " + std::to_string(Falha));
            while (!cds.Eof()) cds.Delete();
        },
        "não foi encontrado", "SELECT COUNT(*) FROM L", "20"}),
    [](const testing::TestParamInfo<TCasoFalha>& info) { return std::string(info.param.Nome); });

TEST_F(LoteTeste, CorpoDeDuasMilLinhasCustaOitoRequisicoesPorOperacao)
{
    const auto custo = [&](const std::function<void(TClientDataSet&)>& altera) {
        TClientDataSet& cds = Abre("SELECT ID,SEQUENCIA,DADOS FROM REPOSITORIO_DADOS WHERE ID=1 ORDER BY SEQUENCIA");
        altera(cds);
        const auto antes = dm.conexao.ComandosExecutados();
        EXPECT_EQ(cds.ApplyUpdates(0), 0) << cds.UltimoErroAplicacao();
        return dm.conexao.ComandosExecutados() - antes;
    };
    const auto insere = [](TClientDataSet& cds) {
        for (int s = 1; s <= 2000; ++s) {
            cds.Append();
            cds.FieldByName("ID").SetAsInteger(1);
            cds.FieldByName("SEQUENCIA").SetAsInteger(s);
            cds.FieldByName("DADOS").SetAsString("    linha de código número " + std::to_string(s) + ";");
            cds.Post();
        }
    };
    const auto reescreve = [](TClientDataSet& cds) {
        for (; !cds.Eof(); cds.Next()) {
            cds.Edit();
            cds.FieldByName("DADOS").SetAsString("reescrita " + cds.FieldByName("SEQUENCIA").AsString());
            cds.Post();
        }
    };
    const auto exclui = [](TClientDataSet& cds) { while (!cds.Eof()) cds.Delete(); };

    // 256 changes per request.
    EXPECT_EQ(custo(insere), 8u);
    EXPECT_EQ(custo(reescreve), 9u);   // and the table's primary key, read once per connection
    EXPECT_EQ(Banco().Valor("SELECT COUNT(*) FROM REPOSITORIO_DADOS WHERE DADOS STARTING WITH 'reescrita '"), "2000");
    EXPECT_EQ(custo(exclui), 8u);
    EXPECT_EQ(Banco().Valor("SELECT COUNT(*) FROM REPOSITORIO_DADOS"), "0");

    dm.conexao.EnviaPorLinha(true);   // the way before batching, as the benchmark measures it
    EXPECT_EQ(custo(insere), 2000u);
}

TEST_F(LoteTeste, FormaDoLotePreparadaUmaVezMesmoDepoisDeMuitasConsultas)
{
    InsereNumeradas(3);
    if (HasFatalFailure()) return;
    // A long run reads many distinct lookup texts, more than the 256 the connection keeps.
    for (int i = 0; i < 300; ++i) Abre("SELECT * FROM L WHERE K = " + std::to_string(i));
    TClientDataSet& cds = Abre();
    const auto preparados = dm.conexao.ComandosPreparados();
    for (int k = 4; k <= 6; ++k) {
        cds.Append();
        Grava(cds, {std::to_string(k), "t", "w", "u", "b", "bw"});
    }
    ASSERT_EQ(cds.ApplyUpdates(0), 0) << cds.UltimoErroAplicacao();
    EXPECT_EQ(dm.conexao.ComandosPreparados(), preparados);
}

} // namespace

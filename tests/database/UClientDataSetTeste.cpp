#include "UBancoTeste.h"
#include "UDM.h"
#include "UErro.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct TSuiteConjunto {
    static constexpr const char* NomeBanco = "conjunto";
    static std::vector<std::string> Tabelas()
    {
        return {"CREATE TABLE TIPOS (K INTEGER NOT NULL PRIMARY KEY, C_SMALL SMALLINT, C_INT INTEGER, C_BIG BIGINT,"
                " C_NUM NUMERIC(15,2), C_DEC DECIMAL(9,2), C_FLOAT FLOAT, C_DOUBLE DOUBLE PRECISION, C_CHAR CHAR(10),"
                " C_VAR VARCHAR(300) CHARACTER SET NONE, C_W1252 VARCHAR(300) CHARACTER SET WIN1252,"
                " C_BTXT BLOB SUB_TYPE TEXT, C_BBIN BLOB SUB_TYPE BINARY, C_DATE DATE, C_TIME TIME, C_TS TIMESTAMP)"};
    }
};

class ConjuntoTeste : public TTesteComDM<TSuiteConjunto> {
protected:
    void Abre(const std::string& texto)
    {
        dm.cdsDados.Close();
        dm.cdsDados.SetCommandText(texto);
        dm.cdsDados.Open();
    }
    void InsereDados(int id, const std::vector<std::pair<int, std::string>>& linhas)
    {
        for (const auto& [sequencia, dados] : linhas)
            Banco().Executa("INSERT INTO REPOSITORIO_DADOS VALUES (" + std::to_string(id) + ", " + std::to_string(sequencia) + ", '" + dados + "')");
    }
    std::vector<TLinhaLida> Dados(int id)
    {
        return Banco().Consulta("SELECT SEQUENCIA, DADOS FROM REPOSITORIO_DADOS WHERE ID=" + std::to_string(id) + " ORDER BY SEQUENCIA");
    }
};

// --- The cursor ---

TEST_F(ConjuntoTeste, ConjuntoVazioTemBofEEofERecNoZero)
{
    Abre("SELECT ID,SEQUENCIA,DADOS FROM REPOSITORIO_DADOS WHERE ID=1 ORDER BY SEQUENCIA");
    TClientDataSet& cds = dm.cdsDados;
    EXPECT_TRUE(cds.Eof());
    EXPECT_TRUE(cds.Bof());
    EXPECT_EQ(cds.RecNo(), 0);
    EXPECT_EQ(cds.FieldByName("DADOS").AsString(), "");
    cds.Last();
    EXPECT_TRUE(cds.Eof());
    EXPECT_TRUE(cds.Bof());
    EXPECT_THROW(cds.Delete(), EErro);
}

TEST_F(ConjuntoTeste, NavegacaoSegueAsRegrasDeEofBofERecNo)
{
    InsereDados(1, {{1, "a"}, {2, "b"}, {3, "c"}});
    Abre("SELECT ID,SEQUENCIA,DADOS FROM REPOSITORIO_DADOS WHERE ID=1 ORDER BY SEQUENCIA");
    TClientDataSet& cds = dm.cdsDados;
    EXPECT_TRUE(cds.Bof());
    EXPECT_FALSE(cds.Eof());
    EXPECT_EQ(cds.RecNo(), 1);
    EXPECT_EQ(cds.FieldByName("dados").AsString(), "a");   // names without letter case

    cds.Next();
    EXPECT_FALSE(cds.Bof());
    EXPECT_EQ(cds.RecNo(), 2);
    cds.Next();
    cds.Next();   // past the last row: Eof, and the cursor stays on the last row
    EXPECT_TRUE(cds.Eof());
    EXPECT_EQ(cds.RecNo(), 3);
    EXPECT_EQ(cds.FieldByName("DADOS").AsString(), "c");

    cds.First();
    cds.Last();
    EXPECT_TRUE(cds.Eof());
    EXPECT_FALSE(cds.Bof());
    EXPECT_EQ(cds.RecNo(), 3);

    // An appended row takes the next position; after Post the set is off both ends.
    cds.Append();
    cds.FieldByName("ID").SetAsInteger(1);
    cds.FieldByName("SEQUENCIA").SetAsInteger(4);
    cds.Post();
    EXPECT_EQ(cds.RecNo(), 4);
    EXPECT_FALSE(cds.Eof());
    EXPECT_FALSE(cds.Bof());
    cds.Next();
    EXPECT_TRUE(cds.Eof());

    // Delete: the following row becomes current, or the new last one.
    cds.First();
    cds.Delete();
    EXPECT_EQ(cds.FieldByName("DADOS").AsString(), "b");
    EXPECT_FALSE(cds.Bof());
    EXPECT_FALSE(cds.Eof());
    cds.Last();
    cds.Delete();
    EXPECT_EQ(cds.RecNo(), 2);
    EXPECT_EQ(cds.FieldByName("DADOS").AsString(), "c");
    cds.Delete();
    cds.Delete();
    EXPECT_TRUE(cds.Bof());
    EXPECT_TRUE(cds.Eof());
    EXPECT_EQ(cds.RecNo(), 0);
}

// The body step of the repository writer, exactly as it drives the set: rewrite stored
// rows in place, append the rest, then delete the surplus from the end backwards.
void GravaCorpo(TDM& dm, int id, const std::vector<std::string>& linhas)
{
    ASSERT_TRUE(dm.IniciaTransacao(50));
    TClientDataSet& cds = dm.cdsDados;
    cds.Close();
    cds.SetCommandText("SELECT ID,SEQUENCIA,DADOS FROM REPOSITORIO_DADOS WHERE ID=" + std::to_string(id) + " ORDER BY SEQUENCIA");
    cds.Open();
    int contador = 0, ultimoRegistro = 0;
    for (const std::string& linha : linhas) {
        ++contador;
        if (cds.Eof()) {
            cds.Append();
            cds.FieldByName("ID").SetAsInteger(id);
        } else {
            cds.Edit();
        }
        cds.FieldByName("SEQUENCIA").SetAsInteger(contador);
        cds.FieldByName("DADOS").SetAsString(linha);
        cds.Post();
        ultimoRegistro = cds.RecNo();
        cds.Next();
    }
    cds.Last();
    while (!cds.Bof() && cds.RecNo() != ultimoRegistro) cds.Delete();
    ASSERT_EQ(cds.ApplyUpdates(0), 0) << cds.UltimoErroAplicacao();
    ASSERT_TRUE(dm.ConfirmaTransacao(50));
}

struct TCasoCorpo {
    const char* nome;
    std::vector<std::pair<int, std::string>> guardadas;
    std::vector<std::string> linhas;
};

void PrintTo(const TCasoCorpo& caso, std::ostream* saida) { *saida << caso.nome; }

class CorpoTeste : public ConjuntoTeste, public testing::WithParamInterface<TCasoCorpo> {};

TEST_P(CorpoTeste, FicamExatamenteAsLinhasNumeradasDeUm)
{
    InsereDados(7, GetParam().guardadas);
    InsereDados(8, {{1, "outro arquivo"}});
    GravaCorpo(dm, 7, GetParam().linhas);
    std::vector<TLinhaLida> esperado;
    for (std::size_t i = 0; i < GetParam().linhas.size(); ++i) esperado.push_back({std::to_string(i + 1), GetParam().linhas[i]});
    EXPECT_EQ(Dados(7), esperado);
    EXPECT_EQ(Dados(8), (std::vector<TLinhaLida>{{"1", "outro arquivo"}}));
}

INSTANTIATE_TEST_SUITE_P(Casos, CorpoTeste, testing::Values(
    TCasoCorpo{"MaisLinhasQueGuardadas", {{1, "a"}, {2, "b"}, {3, "c"}}, {"1", "2", "3", "4", "5"}},
    TCasoCorpo{"MenosLinhasComLacunas", {{1, "a"}, {2, "b"}, {5, "e"}, {9, "i"}}, {"x", "y"}},
    TCasoCorpo{"SemLinhasApagaTudo", {{1, "a"}, {2, "b"}, {3, "c"}}, {}},
    TCasoCorpo{"NumeracaoDeslocada", {{2, "b"}, {3, "c"}}, {"1", "2", "3"}},
    TCasoCorpo{"ArquivoNovo", {}, {"", "linha em branco acima"}}),
    [](const testing::TestParamInfo<TCasoCorpo>& info) { return std::string(info.param.nome); });

TEST_F(ConjuntoTeste, CorpoIgualNaoEnviaNenhumComando)
{
    InsereDados(7, {{1, "a"}, {2, "b"}});
    const auto antes = dm.conexao.ComandosExecutados();
    GravaCorpo(dm, 7, {"a", "b"});
    EXPECT_EQ(dm.conexao.ComandosExecutados() - antes, 1u);   // the SELECT only
}

TEST_F(ConjuntoTeste, EdicaoSemMudancaOuDesfeitaNaoRegistraAlteracao)
{
    InsereDados(1, {{1, "a"}});
    Abre("SELECT ID,SEQUENCIA,DADOS FROM REPOSITORIO_DADOS");
    TClientDataSet& cds = dm.cdsDados;
    cds.Edit();
    cds.FieldByName("DADOS").SetAsString("a");
    cds.Post();
    EXPECT_EQ(cds.ChangeCount(), 0);
    cds.Edit();
    cds.FieldByName("DADOS").SetAsString("b");
    cds.Post();
    EXPECT_EQ(cds.ChangeCount(), 1);
    cds.Edit();
    cds.FieldByName("DADOS").SetAsString("a");
    cds.Post();
    EXPECT_EQ(cds.ChangeCount(), 0);

    // An inserted row deleted before it was applied leaves nothing to send either.
    cds.Append();
    cds.FieldByName("ID").SetAsInteger(1);
    cds.Post();
    cds.Delete();
    EXPECT_EQ(cds.ChangeCount(), 0);
}

TEST_F(ConjuntoTeste, UsoErradoLancaEErro)
{
    InsereDados(1, {{1, "a"}});
    Abre("SELECT ID,SEQUENCIA,DADOS FROM REPOSITORIO_DADOS");
    TClientDataSet& cds = dm.cdsDados;
    EXPECT_THROW(cds.FieldByName("NAO_EXISTE"), EErro);
    EXPECT_THROW(cds.Fields(3), EErro);
    EXPECT_THROW(cds.FieldByName("DADOS").SetAsString("x"), EErro);   // not editing
    EXPECT_THROW(cds.FieldByName("DADOS").AsDateTime(), EErro);
    cds.Close();
    EXPECT_THROW(cds.FieldByName("DADOS"), EErro);
    EXPECT_THROW(cds.Append(), EErro);
    cds.Close();   // closing a closed set is fine
}

// --- Values of every column type ---

struct TCasoTipo {
    const char* coluna;
    std::string literal;          // stored by the other attachment
    std::string lido;             // AsString through the layer
    std::string escrito;          // SetAsString through the layer
    std::string guardado;         // what the server then holds, cast to text by the server
};

void PrintTo(const TCasoTipo& caso, std::ostream* saida) { *saida << caso.coluna; }

class TipoTeste : public ConjuntoTeste, public testing::WithParamInterface<TCasoTipo> {};

TEST_P(TipoTeste, LeEGravaPeloTexto)
{
    const TCasoTipo& caso = GetParam();
    Banco().Executa(std::string("INSERT INTO TIPOS (K, ") + caso.coluna + ") VALUES (1, " + caso.literal + ")");
    Abre("SELECT * FROM TIPOS");
    TClientDataSet& cds = dm.cdsDados;
    EXPECT_EQ(cds.FieldByName(caso.coluna).AsString(), caso.lido);
    cds.Edit();
    cds.FieldByName(caso.coluna).SetAsString(caso.escrito);
    cds.Post();
    ASSERT_EQ(cds.ApplyUpdates(0), 0) << cds.UltimoErroAplicacao();
    // A binary blob cast to a NONE text shows its control bytes as dots; OCTETS keeps them.
    const std::string conjunto = std::string(caso.coluna) == "C_BBIN" ? " CHARACTER SET OCTETS" : "";
    EXPECT_EQ(Banco().Valor(std::string("SELECT CAST(") + caso.coluna + " AS VARCHAR(300)" + conjunto + ") FROM TIPOS WHERE K = 1"), caso.guardado);
}

INSTANTIATE_TEST_SUITE_P(Casos, TipoTeste, testing::Values(
    TCasoTipo{"C_SMALL", "-32768", "-32768", "123", "123"},
    TCasoTipo{"C_INT", "2147483647", "2147483647", "-5", "-5"},
    TCasoTipo{"C_BIG", "-9223372036854775808", "-9223372036854775808", "9223372036854775807", "9223372036854775807"},
    TCasoTipo{"C_NUM", "12345.67", "12345.67", "-0.05", "-0.05"},
    TCasoTipo{"C_DEC", "-1.05", "-1.05", "9999999.99", "9999999.99"},
    TCasoTipo{"C_FLOAT", "0.5", "0.5", "2.25", "2.2500000"},
    TCasoTipo{"C_DOUBLE", "0.1", "0.1", "-1e-300", "-1.000000000000000e-300"},
    TCasoTipo{"C_CHAR", "'ab'", "ab        ", "xyz", "xyz       "},
    TCasoTipo{"C_VAR", "'abc'", "abc", "", ""},
    TCasoTipo{"C_W1252", "'a'", "a", "\xe7\xe3o \x80", "\xe7\xe3o \x80"},
    TCasoTipo{"C_BTXT", "'texto'", "texto", "novo texto", "novo texto"},
    TCasoTipo{"C_BBIN", "x'00FF'", std::string("\0\xff", 2), std::string("\x01\0\x02", 3), std::string("\x01\0\x02", 3)},
    TCasoTipo{"C_DATE", "'2024-03-05'", "2024-03-05", "1899-12-30", "1899-12-30"},
    TCasoTipo{"C_TIME", "'14:07:09.1234'", "14:07:09.1234", "23:59:59", "23:59:59.0000"},
    TCasoTipo{"C_TS", "'2024-03-05 14:07:09.1234'", "2024-03-05 14:07:09.1234", "1858-11-17 00:00:01", "1858-11-17 00:00:01.0000"}),
    [](const testing::TestParamInfo<TCasoTipo>& info) { return std::string(info.param.coluna); });

TEST_F(ConjuntoTeste, NuloLidoComoZeroTextoVazioEDataZero)
{
    Banco().Executa("INSERT INTO TIPOS (K) VALUES (1)");
    Abre("SELECT * FROM TIPOS");
    TClientDataSet& cds = dm.cdsDados;
    for (int i = 1; i < cds.FieldCount(); ++i) {
        SCOPED_TRACE(cds.Fields(i).FieldName());
        EXPECT_TRUE(cds.Fields(i).IsNull());
        EXPECT_EQ(cds.Fields(i).AsInteger(), 0);
        EXPECT_EQ(cds.Fields(i).AsString(), "");
        EXPECT_EQ(cds.Fields(i).AsDateTime(), 0.0);
    }
}

TEST_F(ConjuntoTeste, InteiroEDataHoraLidosEGravadosNosSeusTipos)
{
    Banco().Executa("INSERT INTO TIPOS (K, C_INT, C_NUM, C_TS, C_DATE) VALUES (1, 42, 2.5, '2024-03-01 00:00:00', '2024-03-01')");
    Abre("SELECT * FROM TIPOS");
    TClientDataSet& cds = dm.cdsDados;
    EXPECT_EQ(cds.FieldByName("C_INT").AsInteger(), 42);
    EXPECT_EQ(cds.FieldByName("C_NUM").AsInteger(), 3);
    const TDateTime primeiroDeMarco = CodificaDataHora(TPartesDataHora{2024, 3, 1, 0, 0, 0, 0});
    EXPECT_EQ(cds.FieldByName("C_TS").AsDateTime(), primeiroDeMarco);
    EXPECT_EQ(cds.FieldByName("C_DATE").AsDateTime(), primeiroDeMarco);

    cds.Edit();
    const TDateTime versao = CodificaDataHora(TPartesDataHora{2024, 3, 5, 14, 7, 9, 0});
    cds.FieldByName("C_TS").SetAsDateTime(versao);
    cds.FieldByName("C_DATE").SetAsDateTime(versao);
    cds.FieldByName("C_NUM").SetAsInteger(7);
    cds.FieldByName("C_VAR").SetAsInteger(-12);
    cds.Post();
    ASSERT_EQ(cds.ApplyUpdates(0), 0) << cds.UltimoErroAplicacao();
    EXPECT_EQ(Banco().Consulta("SELECT CAST(C_TS AS VARCHAR(30)), C_DATE, C_NUM, C_VAR FROM TIPOS"),
        (std::vector<TLinhaLida>{{"2024-03-05 14:07:09.0000", "2024-03-05", "7.00", "-12"}}));
}

// --- Texts: never cut, every byte kept ---

struct TCasoTamanho {
    const char* nome;
    const char* comando;
    const char* coluna;
    std::size_t bytes;
    bool cabe;
};

void PrintTo(const TCasoTamanho& caso, std::ostream* saida) { *saida << caso.nome; }

class TamanhoTeste : public ConjuntoTeste, public testing::WithParamInterface<TCasoTamanho> {};

TEST_P(TamanhoTeste, TextoMaiorQueAColunaFalhaNoPostEONadaEhCortado)
{
    const TCasoTamanho& caso = GetParam();
    Banco().Executa("INSERT INTO TIPOS (K) VALUES (1)");
    Banco().Executa("INSERT INTO REPOSITORIO_DADOS (ID, SEQUENCIA) VALUES (1, 1)");
    Abre(caso.comando);
    TClientDataSet& cds = dm.cdsDados;
    cds.Edit();
    cds.FieldByName(caso.coluna).SetAsString(std::string(caso.bytes, 'x'));
    if (!caso.cabe) {
        try {
            cds.Post();
            FAIL() << "Post aceitou " << caso.bytes << " bytes";
        } catch (const EErro& e) {
            EXPECT_NE(std::string(e.what()).find(caso.coluna), std::string::npos) << e.what();
        }
        EXPECT_EQ(cds.State(), TClientDataSet::TEstado::Edit);   // the row stays pending
        cds.Cancel();
        EXPECT_EQ(cds.ApplyUpdates(0), 0);
    } else {
        cds.Post();
        ASSERT_EQ(cds.ApplyUpdates(0), 0) << cds.UltimoErroAplicacao();
    }
    const std::string tabela = std::string(caso.comando).find("TIPOS") != std::string::npos ? "TIPOS" : "REPOSITORIO_DADOS";
    const auto guardado = Banco().Valor("SELECT OCTET_LENGTH(" + std::string(caso.coluna) + ") FROM " + tabela);
    if (caso.cabe) EXPECT_EQ(guardado, std::to_string(caso.bytes));
    else EXPECT_EQ(guardado, std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Casos, TamanhoTeste, testing::Values(
    TCasoTamanho{"VarcharNoLimite", "SELECT * FROM TIPOS", "C_VAR", 300, true},
    TCasoTamanho{"VarcharUmAMais", "SELECT * FROM TIPOS", "C_VAR", 301, false},
    TCasoTamanho{"CharUmAMais", "SELECT * FROM TIPOS", "C_CHAR", 11, false},
    TCasoTamanho{"DadosNoLimite", "SELECT * FROM REPOSITORIO_DADOS", "DADOS", 32765, true},
    TCasoTamanho{"DadosUmAMais", "SELECT * FROM REPOSITORIO_DADOS", "DADOS", 32766, false}),
    [](const testing::TestParamInfo<TCasoTamanho>& info) { return std::string(info.param.nome); });

TEST_F(ConjuntoTeste, BytesDe1A255VoltamIguaisPorVarcharEObjetoGrande)
{
    std::string todos;
    for (int b = 1; b <= 255; ++b) todos += static_cast<char>(b);
    Abre("SELECT * FROM TIPOS");
    TClientDataSet& cds = dm.cdsDados;
    cds.Append();
    cds.FieldByName("K").SetAsInteger(1);
    for (const char* coluna : {"C_VAR", "C_W1252", "C_BTXT", "C_BBIN"}) cds.FieldByName(coluna).SetAsString(todos);
    cds.Post();
    ASSERT_EQ(cds.ApplyUpdates(0), 0) << cds.UltimoErroAplicacao();

    // Read back by the other attachment, and by the layer after a fresh Open.
    EXPECT_EQ(Banco().Consulta("SELECT C_VAR, C_W1252, CAST(C_BTXT AS VARCHAR(300)), CAST(C_BBIN AS VARCHAR(300) CHARACTER SET OCTETS) FROM TIPOS"),
        (std::vector<TLinhaLida>{{todos, todos, todos, todos}}));
    Abre("SELECT * FROM TIPOS");
    for (const char* coluna : {"C_VAR", "C_W1252", "C_BTXT", "C_BBIN"}) EXPECT_EQ(cds.FieldByName(coluna).AsString(), todos) << coluna;
}

TEST_F(ConjuntoTeste, ObjetoGrandeMaiorQueUmSegmentoVoltaInteiro)
{
    std::string texto, binario;
    for (int i = 0; i < 100000; ++i) texto += static_cast<char>('a' + i % 26);
    for (int i = 0; i < 70000; ++i) binario += static_cast<char>(i % 256);
    Abre("SELECT * FROM TIPOS");
    TClientDataSet& cds = dm.cdsDados;
    cds.Append();
    cds.FieldByName("K").SetAsInteger(1);
    cds.FieldByName("C_BTXT").SetAsString(texto);
    cds.FieldByName("C_BBIN").SetAsString(binario);
    cds.Post();
    ASSERT_EQ(cds.ApplyUpdates(0), 0) << cds.UltimoErroAplicacao();
    EXPECT_EQ(Banco().Consulta("SELECT OCTET_LENGTH(C_BTXT), OCTET_LENGTH(C_BBIN), SUBSTRING(C_BTXT FROM 99991) FROM TIPOS"),
        (std::vector<TLinhaLida>{{"100000", "70000", texto.substr(99990)}}));
    Abre("SELECT * FROM TIPOS");
    EXPECT_EQ(cds.FieldByName("C_BTXT").AsString(), texto);
    EXPECT_EQ(cds.FieldByName("C_BBIN").AsString(), binario);
}

} // namespace

#include "UBancoTeste.h"
#include "UDM.h"
#include "UErro.h"

#include <gtest/gtest.h>

namespace {

struct TSuiteDM {
    static constexpr const char* NomeBanco = "dm";
    static std::vector<std::string> Tabelas() { return {}; }
};
class DMTeste : public TTesteComBanco<TSuiteDM> {
protected:
    void Conecta(TDM& dm) { Banco().Configura(dm.conexao); dm.conexao.SetConnected(true); }

    // The writer's first step for a new file: a row appended to cdsDados and applied.
    static void GravaArquivo(TDM& dm, int id)
    {
        dm.cdsDados.Close();
        dm.cdsDados.SetCommandText("SELECT * FROM REPOSITORIO WHERE ARQUIVO='X'");
        dm.cdsDados.Open();
        dm.cdsDados.Append();
        dm.cdsDados.FieldByName("ID").SetAsInteger(id);
        dm.cdsDados.FieldByName("ARQUIVO").SetAsString("X");
        dm.cdsDados.Post();
        ASSERT_EQ(dm.cdsDados.ApplyUpdates(0), 0) << dm.cdsDados.UltimoErroAplicacao();
    }
};

TEST_F(DMTeste, IniciarDuasVezesComecaUmaSoEConfirmarGrava)
{
    TDM dm;
    Conecta(dm);
    const auto iniciadas = dm.conexao.TransacoesIniciadas();
    ASSERT_TRUE(dm.IniciaTransacao(50));
    ASSERT_TRUE(dm.IniciaTransacao(50));
    EXPECT_EQ(dm.conexao.TransacoesAtivas(), 1);
    EXPECT_EQ(dm.conexao.TransacoesIniciadas() - iniciadas, 1u);

    GravaArquivo(dm, 1);
    EXPECT_EQ(Banco().Valor("SELECT COUNT(*) FROM REPOSITORIO"), "0");   // not committed yet
    ASSERT_TRUE(dm.ConfirmaTransacao(50));
    EXPECT_EQ(dm.conexao.TransacoesAtivas(), 0);
    EXPECT_EQ(Banco().Valor("SELECT COUNT(*) FROM REPOSITORIO"), "1");

    // Nothing active now: both return success and begin nothing.
    const auto depois = dm.conexao.TransacoesIniciadas();
    EXPECT_TRUE(dm.ConfirmaTransacao(50));
    EXPECT_TRUE(dm.CancelaTransacao(50));
    EXPECT_EQ(dm.conexao.TransacoesIniciadas(), depois);
}

TEST_F(DMTeste, CancelarDesfazOQueFoiAplicadoNaTransacao)
{
    TDM dm;
    Conecta(dm);
    ASSERT_TRUE(dm.IniciaTransacao(50));
    GravaArquivo(dm, 1);
    ASSERT_TRUE(dm.CancelaTransacao(50));
    EXPECT_EQ(dm.conexao.TransacoesAtivas(), 0);
    EXPECT_EQ(Banco().Valor("SELECT COUNT(*) FROM REPOSITORIO"), "0");
}

TEST_F(DMTeste, CdsLeOMaiorIdentificadorENuloComoZero)
{
    TDM dm;
    Conecta(dm);
    dm.cds.SetCommandText("SELECT MAX(ID) FROM REPOSITORIO");
    dm.cds.Open();
    EXPECT_TRUE(dm.cds.Fields(0).IsNull());
    EXPECT_EQ(dm.cds.Fields(0).AsInteger(), 0);
    dm.cds.Close();
    Banco().Executa("INSERT INTO REPOSITORIO (ID, ARQUIVO) VALUES (41, 'A')");
    dm.cds.Open();
    EXPECT_EQ(dm.cds.Fields(0).AsInteger(), 41);
}

} // namespace

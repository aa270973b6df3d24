// The module before it connects: its parameters and how a failed transaction call reports.
#include "UDM.h"
#include "UErro.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(DM, ComecaComOsQuatorzeParametrosNaOrdemEDesconectado)
{
    TDM dm;
    EXPECT_EQ(dm.conexao.Params(), (std::vector<std::string>{"DriverName=Interbase", "Database=database.gdb", "RoleName=RoleName",
        "User_Name=sysdba", "Password=tornagild", "ServerCharSet=", "SQLDialect=3", "ErrorResourceFile=", "LocaleCode=0000",
        "BlobSize=-1", "CommitRetain=False", "WaitOnLocks=True", "Interbase TransIsolation=ReadCommited", "Trim Char=False"}));
    EXPECT_FALSE(dm.conexao.Connected());
    EXPECT_FALSE(dm.conexao.LoginPrompt);
    EXPECT_EQ(dm.cds.ProviderName(), "dspQuery");
    EXPECT_EQ(dm.cdsDados.ProviderName(), "dspDados");
    EXPECT_TRUE(dm.Usuario.empty());
    EXPECT_TRUE(dm.Senha.empty());
}

TEST(DM, DefinirDataBaseSubstituiASegundaEntradaEMantemQuatorze)
{
    TDM dm;
    dm.conexao.DefineParametro("DataBase", "srv:/dados/base.fdb");
    ASSERT_EQ(dm.conexao.Params().size(), 14u);
    EXPECT_EQ(dm.conexao.Params()[1], "DataBase=srv:/dados/base.fdb");
    EXPECT_EQ(dm.conexao.Params()[2], "RoleName=RoleName");
}

TEST(DM, FalhaDeTransacaoViraStatusEOChamadorLancaOTextoGenerico)
{
    TDM dm;   // not connected: beginning fails inside and is reported as a status
    EXPECT_FALSE(dm.IniciaTransacao(50));
    EXPECT_EQ(dm.conexao.TransacoesAtivas(), 0);
    try {
        ExigeTransacao(dm.IniciaTransacao(50));
        FAIL() << "não lançou";
    } catch (const EErro& e) {
        EXPECT_STREQ(e.what(), "Falha ao executar a transação no Banco de Dados.");
    }
    EXPECT_NO_THROW(ExigeTransacao(true));
    // With none active, confirming and cancelling do nothing and succeed, even disconnected.
    EXPECT_TRUE(dm.ConfirmaTransacao(50));
    EXPECT_TRUE(dm.CancelaTransacao(50));
}

} // namespace

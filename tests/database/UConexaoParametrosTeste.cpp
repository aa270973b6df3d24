// The connection's parameter list, which needs neither a server nor the client library.
#include "UConexao.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct TCasoParametro {
    std::string nome, valor;
    std::vector<std::string> esperado;
};

void PrintTo(const TCasoParametro& caso, std::ostream* saida) { *saida << caso.nome << "=" << caso.valor; }

class DefineParametroTeste : public testing::TestWithParam<TCasoParametro> {};

TEST_P(DefineParametroTeste, SubstituiNoLugarAcrescentaOuRemove)
{
    TConexao conexao;
    conexao.DefineParametros({"DriverName=Interbase", "Database=database.gdb", "User_Name=sysdba"});
    conexao.DefineParametro(GetParam().nome, GetParam().valor);
    EXPECT_EQ(conexao.Params(), GetParam().esperado);
}

INSTANTIATE_TEST_SUITE_P(Casos, DefineParametroTeste, testing::Values(
    // The name matches without letter case and is then spelled as given.
    TCasoParametro{"DataBase", "srv:/x.fdb", {"DriverName=Interbase", "DataBase=srv:/x.fdb", "User_Name=sysdba"}},
    TCasoParametro{"USER_NAME", "ana", {"DriverName=Interbase", "Database=database.gdb", "USER_NAME=ana"}},
    TCasoParametro{"Password", "x=y", {"DriverName=Interbase", "Database=database.gdb", "User_Name=sysdba", "Password=x=y"}},
    TCasoParametro{"database", "", {"DriverName=Interbase", "User_Name=sysdba"}},
    TCasoParametro{"Ausente", "", {"DriverName=Interbase", "Database=database.gdb", "User_Name=sysdba"}},
    // A name that is only a prefix of an entry's name is another parameter.
    TCasoParametro{"Data", "1", {"DriverName=Interbase", "Database=database.gdb", "User_Name=sysdba", "Data=1"}}));

TEST(Parametro, LeOValorSemDistinguirCaixaEVazioQuandoAusente)
{
    TConexao conexao;
    conexao.DefineParametros({"Database=a:b=c", "ServerCharSet="});
    EXPECT_EQ(conexao.Parametro("DATABASE"), "a:b=c");
    EXPECT_EQ(conexao.Parametro("servercharset"), "");
    EXPECT_EQ(conexao.Parametro("Password"), "");
}

} // namespace

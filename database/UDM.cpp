#include "UDM.h"
#include "UErro.h"

TDM* DM = nullptr;

namespace {

TTransactionDesc Descricao(std::uint32_t id, const std::vector<std::string>& tabelasProtegidas = {})
{
    TTransactionDesc descricao;
    descricao.TransactionID = id;
    descricao.IsolationLevel = TNivelIsolamento::ReadCommitted;
    descricao.TabelasProtegidas = tabelasProtegidas;
    return descricao;
}

} // namespace

TDM::TDM() : cds(dspQuery, "dspQuery"), cdsDados(dspDados, "dspDados")
{
    conexao.DefineParametros({"DriverName=Interbase", "Database=database.gdb", "RoleName=RoleName", "User_Name=sysdba",
        "Password=tornagild", "ServerCharSet=", "SQLDialect=3", "ErrorResourceFile=", "LocaleCode=0000", "BlobSize=-1",
        "CommitRetain=False", "WaitOnLocks=True", "Interbase TransIsolation=ReadCommited", "Trim Char=False"});
    query.SQLConnection = &conexao;
    query.MaxBlobSize = -1;
    dspQuery.DataSet = &query;
    dspQuery.Options = {TOpcaoProvider::AllowCommandText};
    dspQuery.UpdateMode = TModoAtualizacao::WhereAll;
    qDados.SQLConnection = &conexao;
    qDados.MaxBlobSize = -1;
    dspDados.DataSet = &qDados;
    dspDados.Options = {TOpcaoProvider::AllowCommandText};
    dspDados.UpdateMode = TModoAtualizacao::WhereAll;
}

// Members go in reverse order: the result sets first, then conexao, which rolls back and detaches.
TDM::~TDM() = default;

namespace {

// The safe-call convention: every error becomes a failure status.
template <class TAcao> bool ChamadaSegura(TAcao acao) noexcept
{
    try {
        acao();
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace

bool TDM::IniciaTransacao(std::uint32_t id)
{
    return ChamadaSegura([&] { if (!conexao.InTransaction()) conexao.StartTransaction(Descricao(id)); });
}

bool TDM::IniciaTransacao(std::uint32_t id, const std::vector<std::string>& tabelasProtegidas)
{
    return ChamadaSegura([&] { if (!conexao.InTransaction()) conexao.StartTransaction(Descricao(id, tabelasProtegidas)); });
}

bool TDM::ConfirmaTransacao(std::uint32_t id)
{
    return ChamadaSegura([&] { if (conexao.InTransaction()) conexao.Commit(Descricao(id)); });
}

bool TDM::CancelaTransacao(std::uint32_t id)
{
    return ChamadaSegura([&] { if (conexao.InTransaction()) conexao.Rollback(Descricao(id)); });
}

void ExigeTransacao(bool sucesso)
{
    if (!sucesso) throw EErro(MsgFalhaTransacao);
}

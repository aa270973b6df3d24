#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Isolation levels in the driver's order; read committed is the first.
enum class TNivelIsolamento { ReadCommitted, RepeatableRead, DirtyRead, Custom };

// What begin, commit and roll back are given: the transaction's identifier and isolation.
struct TTransactionDesc {
    std::uint32_t TransactionID = 0;
    std::uint32_t GlobalID = 0;            // not used
    TNivelIsolamento IsolationLevel = TNivelIsolamento::ReadCommitted;
    std::uint32_t CustomIsolation = 0;     // not used
    // Beyond the driver's descriptor: a transaction that may not write, and tables reserved
    // for protected write when it begins (others may read them, but a second reservation
    // waits, or fails without WaitOnLocks, until this transaction ends).
    bool SomenteLeitura = false;
    std::vector<std::string> TabelasProtegidas;
};

class TConexaoImpl;

// A connection to one Firebird database, with its parameter list, its explicit
// transactions and the statements it has prepared. Statements sent while no explicit
// transaction is active run in a short transaction of their own.
class TConexao {
public:
    TConexao();
    ~TConexao();   // rolls back what is still active, then detaches; never throws
    TConexao(const TConexao&) = delete;
    TConexao& operator=(const TConexao&) = delete;

    // Component settings, kept as declared; only the parameters below drive the attach.
    std::string ConnectionName = "IBConnection";
    std::string DriverName = "Interbase";
    std::string GetDriverFunc = "getSQLDriverINTERBASE";
    std::string LibraryName = "dbexpint.dll";
    std::string VendorLib = "fbclient.dll";
    bool LoginPrompt = false;

    // "name=value" lines. Attaching uses DataBase, User_Name, Password, SQLDialect and
    // ServerCharSet (empty: connection character set NONE, so bytes pass unchanged).
    const std::vector<std::string>& Params() const;
    // The entry whose name matches without regard to case is replaced in place, spelled as
    // given; none matching appends; an empty value removes the entry instead.
    void DefineParametro(const std::string& nome, const std::string& valor);
    // The value of the entry named so (case-insensitive), or empty.
    std::string Parametro(const std::string& nome) const;
    // Replaces the whole list, lines kept as given (entries with an empty value included).
    void DefineParametros(std::vector<std::string> linhas);

    // A locator with no server before its first ":" (nothing or only blanks) opens the
    // local file without a server, through the embedded engine.
    // Connecting throws EErro with Firebird's message and leaves the connection closed;
    // disconnecting rolls back any active transaction first.
    void SetConnected(bool conectado);
    bool Connected() const;

    // Transactions begun and not yet ended, counted; statements run in the newest one.
    void StartTransaction(const TTransactionDesc& descricao);
    void Commit(const TTransactionDesc& descricao);
    void Rollback(const TTransactionDesc& descricao);
    bool InTransaction() const;
    int TransacoesAtivas() const;

    // What reached the server, for tests and benchmarks: statements executed (opened
    // cursors included) and transactions begun, since the connection object was made.
    std::uint64_t ComandosExecutados() const;
    std::uint64_t TransacoesIniciadas() const;
    // Statement texts prepared; each distinct text once per connection while it is cached.
    std::uint64_t ComandosPreparados() const;
    // When on, the text of every executed statement is kept, in order.
    void RegistraComandos(bool ligado);
    const std::vector<std::string>& ComandosRegistrados() const;
    // For benchmarks only: when on, every change is sent by a statement of its own and sets
    // are read as they were before batching, so both ways can be measured side by side.
    void EnviaPorLinha(bool ligado);

    TConexaoImpl& Impl();   // for the query and the provider of this layer
private:
    std::vector<std::string> FParams;
    std::unique_ptr<TConexaoImpl> FImpl;
};

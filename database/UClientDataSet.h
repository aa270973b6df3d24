#pragma once
#include "UDataHora.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TConexao;
class TClientDataSet;

// A query component: the connection it runs on and how much of a large value it fetches.
class TSQLQuery {
public:
    TConexao* SQLConnection = nullptr;
    int MaxBlobSize = -1;   // -1: whole large values are fetched
};

enum class TOpcaoProvider { AllowCommandText };
enum class TModoAtualizacao { WhereAll, WhereChanged, WhereKeyOnly };

// Runs a cached set's statement on its query's connection and turns the set's
// changes into INSERT, UPDATE and DELETE statements on the table the SELECT reads.
class TDataSetProvider {
public:
    TSQLQuery* DataSet = nullptr;
    std::vector<TOpcaoProvider> Options{TOpcaoProvider::AllowCommandText};
    TModoAtualizacao UpdateMode = TModoAtualizacao::WhereAll;
};

// One column of a cached set's current row. Reading a NULL as integer or date-time gives 0
// and as text gives "". Writing needs the set in Append or Edit state (EErro otherwise).
class TCampo {
public:
    const std::string& FieldName() const;
    bool IsNull() const;

    std::int64_t AsInteger() const;
    std::string AsString() const;
    TDateTime AsDateTime() const;

    void SetAsInteger(std::int64_t valor);
    void SetAsString(const std::string& valor);
    void SetAsDateTime(TDateTime valor);
    void Clear();   // sets NULL

private:
    friend class TClientDataSet;
    TCampo(TClientDataSet& conjunto, int indice);
    TClientDataSet* FConjunto;
    int FIndice;
};

class TClientDataSetImpl;

// An in-memory result set with a change log. Open fetches the whole result; Append,
// Edit, Post and Delete change only the cache; ApplyUpdates sends the changes.
class TClientDataSet {
public:
    enum class TEstado { Inactive, Browse, Edit, Insert };

    TClientDataSet(TDataSetProvider& provider, std::string providerName);
    ~TClientDataSet();
    TClientDataSet(const TClientDataSet&) = delete;
    TClientDataSet& operator=(const TClientDataSet&) = delete;

    const std::string& ProviderName() const;
    void SetCommandText(const std::string& texto);
    const std::string& CommandText() const;

    // Runs CommandText and fetches every row; throws EErro with Firebird's message. On a set
    // that is already open it does nothing: Close first.
    void Open();
    // Discards the rows and every pending change; never fails on a closed set.
    void Close();
    bool Active() const;
    TEstado State() const;

    bool Eof() const;
    bool Bof() const;
    int RecNo() const;        // from 1; 0 when the set is empty
    int RecordCount() const;

    TCampo& FieldByName(const std::string& nome);   // EErro for an unknown column
    TCampo& Fields(int indice);
    int FieldCount() const;

    // Each posts a pending row first, as Post does; when that Post fails they throw and the
    // row stays pending (Cancel drops it).
    void First();
    void Last();
    void Next();

    void Append();
    void Edit();   // on an empty set, begins an appended row instead
    // Stores the pending row as a change. Throws EErro (the row stays pending) when a text
    // is longer than its column allows. After Edit with no value changed, records nothing.
    void Post();
    void Cancel();
    void Delete();   // with an appended row pending, drops that row instead

    // Posts a pending row, then sends every change in the order it was made. Returns the
    // number that failed; maxErrors 0 stops at the first failure, -1 never stops. Inside the
    // connection's transaction, succeeded changes become read values and failed ones stay;
    // with none active, a transaction of its own is committed, or rolled back (every change
    // then stays) when the failures exceed maxErrors.
    int ApplyUpdates(int maxErrors);
    int ChangeCount() const;
    // The text of the last failed change, for tests and diagnostics ("" when none).
    const std::string& UltimoErroAplicacao() const;

    TClientDataSetImpl& Impl();
private:
    friend class TCampo;
    std::unique_ptr<TClientDataSetImpl> FImpl;
};

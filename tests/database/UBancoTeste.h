#pragma once
// A fresh database for one test process: the repository tables from sql/schema.sql plus
// the tables a suite adds, and an attachment of its own, independent of the layer under
// test, that prepares rows and reads back what was really stored.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "UClientDataSet.h"
#include "UDM.h"

class TConexao;

// A cached set of its own on a connection, wired as the module wires its two.
struct TConjuntoAvulso {
    explicit TConjuntoAvulso(TConexao& conexao) : cds(provider, "dsp")
    {
        query.SQLConnection = &conexao;
        provider.DataSet = &query;
    }
    TSQLQuery query;
    TDataSetProvider provider;
    TClientDataSet cds;
};

// The test server from scripts/with-test-server; empty when it is not running.
std::string ServidorTeste();
// A sentence for a failed assertion when the server is missing.
std::string SemServidorTeste();

using TLinhaLida = std::vector<std::optional<std::string>>;

class TBancoTeste {
public:
    enum class TAcesso { Servidor, Embutido };
    // Creates the database; a name unique to the suite keeps parallel test processes apart.
    TBancoTeste(const std::string& nome, const std::vector<std::string>& tabelasExtras, TAcesso acesso = TAcesso::Servidor);
    ~TBancoTeste();   // drops the database
    TBancoTeste(const TBancoTeste&) = delete;
    TBancoTeste& operator=(const TBancoTeste&) = delete;

    // What the layer connects with: "host/port:/path" or, embedded, ":/path".
    const std::string& Localizador() const { return FLocalizador; }
    // The locator's two halves, as the server and path fields of the window hold them.
    std::string Servidor() const { return FLocalizador.substr(0, FLocalizador.find(':')); }
    std::string Caminho() const { return FLocalizador.substr(FLocalizador.find(':') + 1); }
    void Configura(TConexao& conexao) const;   // DataBase, User_Name and Password

    void Executa(const std::string& sql);   // in a transaction of its own, committed
    // Every value converted by the server to text; NULL as std::nullopt.
    std::vector<TLinhaLida> Consulta(const std::string& sql);
    std::optional<std::string> Valor(const std::string& sql);   // first column of the first row
    void EsvaziaTabelas();

private:
    struct TEstado;
    std::unique_ptr<TEstado> FEstado;
    std::string FLocalizador;
    std::string FPastaPropria;   // embedded: the folder made for the file, removed with it
    std::vector<std::string> FTabelas;
};

#include <gtest/gtest.h>

// Fixture base: one database per suite and test process, emptied before each test. A
// suite names its database and the tables it adds beside the repository tables.
template <class TSuite>
class TTesteComBanco : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        FFalha.clear();
        if (ServidorTeste().empty()) {
            FFalha = SemServidorTeste();
            return;
        }
        try {
            FBanco = std::make_unique<TBancoTeste>(TSuite::NomeBanco, TSuite::Tabelas());
        } catch (const std::exception& e) {
            FFalha = e.what();
        }
    }
    static void TearDownTestSuite() { FBanco.reset(); }
    void SetUp() override
    {
        ASSERT_TRUE(FBanco) << FFalha;
        FBanco->EsvaziaTabelas();
    }
    static TBancoTeste& Banco() { return *FBanco; }

private:
    inline static std::unique_ptr<TBancoTeste> FBanco;
    inline static std::string FFalha;
};

// Fixture base with a data module of its own, connected to the suite's database.
template <class TSuite>
class TTesteComDM : public TTesteComBanco<TSuite> {
protected:
    void SetUp() override
    {
        TTesteComBanco<TSuite>::SetUp();
        if (this->HasFatalFailure()) return;
        this->Banco().Configura(dm.conexao);
        dm.conexao.SetConnected(true);
    }
    // The module's cdsDados, closed and opened again on this text.
    TClientDataSet& AbreDados(const std::string& texto)
    {
        dm.cdsDados.Close();
        dm.cdsDados.SetCommandText(texto);
        dm.cdsDados.Open();
        return dm.cdsDados;
    }
    TDM dm;
};

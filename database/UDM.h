#pragma once
#include "UClientDataSet.h"
#include "UConexao.h"

#include <cstdint>
#include <string>
#include <vector>

// The error text when a transaction operation reports failure.
constexpr auto MsgFalhaTransacao = "Falha ao executar a transação no Banco de Dados.";

// The database module: the connection, two cached result sets with their queries and
// providers, the credentials from the command line and the three transaction operations.
class TDM {
public:
    TDM();
    ~TDM();
    TDM(const TDM&) = delete;
    TDM& operator=(const TDM&) = delete;

    TConexao conexao;
    TSQLQuery query;
    TDataSetProvider dspQuery;
    TClientDataSet cds;
    TSQLQuery qDados;
    TDataSetProvider dspDados;
    TClientDataSet cdsDados;

    std::string Usuario;
    std::string Senha;

    // Each catches every error and returns false instead; the caller raises at once.
    [[nodiscard]] bool IniciaTransacao(std::uint32_t id);
    // The same, reserving these tables for protected write: the begin waits while another
    // transaction holds them so, and meanwhile only this one may write them.
    [[nodiscard]] bool IniciaTransacao(std::uint32_t id, const std::vector<std::string>& tabelasProtegidas);
    [[nodiscard]] bool ConfirmaTransacao(std::uint32_t id);
    [[nodiscard]] bool CancelaTransacao(std::uint32_t id);
};

// Throws EErro(MsgFalhaTransacao) when a transaction operation returned false.
void ExigeTransacao(bool sucesso);

// The one instance, created by main() before the main window.
extern TDM* DM;

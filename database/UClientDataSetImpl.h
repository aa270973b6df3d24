#pragma once
// Internal to this layer: the rows, the cursor and the change log under TClientDataSet.
#include "UClientDataSet.h"
#include "UColuna.h"
#include "URegistro.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TConexao;

enum class TSituacao : unsigned char { Inserida, Modificada };

// What a changed row remembers until it is applied. A row read and left unchanged has
// none, which keeps a large cached set small.
struct TAlteracaoLinha {
    TSituacao Situacao;
    std::uint64_t Ordem;            // changes are sent in the order they were first made
    TRegistro Original;             // Modificada: the values as read, to locate the row
    std::vector<bool> Atribuidas;   // Inserida: the columns given a value
};

struct TLinha {
    TRegistro Atual;
    std::unique_ptr<TAlteracaoLinha> Alteracao;
};

struct TExclusao {
    std::uint64_t Ordem;
    TRegistro Original;
};

class TClientDataSetImpl {
public:
    TClientDataSetImpl(TDataSetProvider& provider, std::string providerName);

    void Abre();
    void Fecha() noexcept;
    void VerificaAtivo() const;

    // The values a field reads: the pending row while editing, else the current row;
    // nullptr when there is no current row.
    const TRegistro* RegistroCorrente() const;
    int IndiceDaColuna(const std::string& nome) const;   // -1 when unknown
    void VerificaEdicao(int indice) const;   // EErro unless a row is being edited or inserted
    void DefineValor(int indice, std::optional<std::string> bytes);

    void Primeiro();
    void Ultimo();
    void Proximo();
    void Anexa();
    void Edita();
    void Posta();
    void Cancela();
    void Exclui();
    void PostaPendente();   // what moving and applying do first with a pending row
    int Aplica(int maxErros);
    int Alteracoes() const;

    TConexao& Conexao();

    TDataSetProvider& FProvider;
    std::string FProviderName;
    std::string FCommandText;
    TClientDataSet::TEstado FEstado = TClientDataSet::TEstado::Inactive;
    std::vector<TColuna> FColunas;
    std::vector<std::unique_ptr<TCampo>> FCampos;
    std::deque<TLinha> FLinhas;
    std::vector<TExclusao> FExclusoes;
    std::uint64_t FProximaOrdem = 1;
    int FAtual = -1;
    bool FEof = true;
    bool FBof = true;
    TRegistro FPendente;
    std::vector<bool> FAtribuidas;
    int FAnterior = -1;
    std::string FUltimoErro;
};

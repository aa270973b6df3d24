#pragma once
// Internal to this layer: what the connection holds under TConexao, for the cached
// result sets and their apply step.
#include "UComando.h"
#include "UConexao.h"
#include "UConsultaUnica.h"
#include "UFirebird.h"

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class TConexaoImpl {
public:
    ~TConexaoImpl();   // disconnects without throwing

    bool Conectada() const { return static_cast<bool>(FAnexo); }
    // Throws EErro when the connection is not open.
    Firebird::IAttachment* Anexo();

    void Conecta(const TConexao& conexao);
    // Frees the statements, rolls back what is active, detaches. Ends disconnected even
    // when a step fails; then throws the first failure.
    void Desconecta();

    void IniciaTransacao(const TTransactionDesc& descricao);
    void ConfirmaTransacao(const TTransactionDesc& descricao);
    void CancelaTransacao(const TTransactionDesc& descricao);
    int TransacoesAtivas() const { return static_cast<int>(FTransacoes.size()); }
    // The newest explicit transaction, or nullptr.
    Firebird::ITransaction* TransacaoCorrente();
    // A short transaction of its own for work done while no explicit one is active.
    TRefFb<Firebird::ITransaction> IniciaTransacaoCurta();
    // For reads made while no explicit transaction is active: one read-only, read-committed
    // transaction kept until disconnecting. Firebird commits such a transaction as it starts,
    // so keeping it holds nothing back, and each read saves a start and a commit.
    Firebird::ITransaction* TransacaoLeitura();

    // The statement prepared for this text, prepared now when it is new.
    std::shared_ptr<TComando> Prepara(const std::string& texto, Firebird::ITransaction* transacao);
    // The same for a batch's statement, kept apart from the texts above so that the many
    // one-off lookups of a long run never push it out: a batch is slow to prepare.
    std::shared_ptr<TComando> PreparaLote(const std::string& texto, Firebird::ITransaction* transacao);
    unsigned Dialeto() const { return FDialeto; }
    TConsultasUnicas& Unicas() { return FUnicas; }

    // Counts a statement that reached the server (and keeps its text when asked to).
    void ContaExecucao(const std::string& texto);

    // The primary-key columns of a table, read once per connection.
    const std::vector<std::string>& ChavePrimaria(const std::string& tabela, Firebird::ITransaction* transacao);

    std::uint64_t FComandosExecutados = 0;
    std::uint64_t FTransacoesIniciadas = 0;
    std::uint64_t FComandosPreparados = 0;
    bool FRegistra = false;
    bool FPorLinha = false;   // see TConexao::EnviaPorLinha
    std::vector<std::string> FRegistrados;

private:
    struct TTransacaoAtiva {
        std::uint32_t Id;
        TRefFb<Firebird::ITransaction> Handle;
    };
    TRefFb<Firebird::ITransaction> NovaTransacao(const TTransactionDesc& descricao);
    void EsvaziaCache() noexcept;
    std::shared_ptr<TComando> NovoComando(const std::string& texto, Firebird::ITransaction* transacao);

    TRefFb<Firebird::IProvider> FProvedor;
    TRefFb<Firebird::IAttachment> FAnexo;
    unsigned FDialeto = 3;
    bool FEsperaBloqueios = true;
    std::vector<TTransacaoAtiva> FTransacoes;
    TRefFb<Firebird::ITransaction> FLeitura;

    // Least recently used first; a long run names many distinct lookup texts.
    static constexpr std::size_t LimiteComandos = 256;
    std::list<std::shared_ptr<TComando>> FRecentes;
    std::unordered_map<std::string, std::list<std::shared_ptr<TComando>>::iterator> FComandos;
    std::map<std::string, std::vector<std::string>> FChaves;
    std::map<std::string, std::shared_ptr<TComando>> FLotes;   // few shapes per table, never evicted
    TConsultasUnicas FUnicas;
};

// The transaction a statement runs in: the connection's newest explicit one, or else a
// short one of its own that Confirma commits and the destructor rolls back.
class TTransacaoDoComando {
public:
    enum class TUso { Escrita, Leitura };
    // A read goes in the connection's kept read transaction instead of a short one (not
    // while the connection sends as before batching, for the benchmarks).
    explicit TTransacaoDoComando(TConexaoImpl& conexao, TUso uso = TUso::Escrita);
    ~TTransacaoDoComando();
    TTransacaoDoComando(const TTransacaoDoComando&) = delete;
    TTransacaoDoComando& operator=(const TTransacaoDoComando&) = delete;

    Firebird::ITransaction* Handle() { return FHandle; }
    bool Propria() const { return static_cast<bool>(FPropria); }
    void Confirma();
    void Cancela();

private:
    Firebird::ITransaction* FHandle = nullptr;
    TRefFb<Firebird::ITransaction> FPropria;
};

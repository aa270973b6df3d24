#pragma once
// Internal to this layer: many changes of one table in a single request. An EXECUTE BLOCK
// declares the single-row statement once, as a sub-procedure, and calls it once per queued
// change with that change's values as parameters. The sub-procedure keeps the block clear of
// the server's limit of 256 table contexts per statement, and fails the whole block when an
// UPDATE or DELETE does not reach exactly one row; the server then undoes all of the block.
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Firebird { class ITransaction; }
class TAplicaAlteracoes;
class TComando;
class TConexaoImpl;
class TRegistro;
struct TColuna;

// One change as the apply step hands it over; the rows stay the cached set's own.
struct TMudanca {
    enum class TTipo { Insere, Atualiza, Exclui };
    TTipo Tipo;
    const TRegistro* Original = nullptr;             // Atualiza, Exclui: the values as read
    const TRegistro* Atual = nullptr;                // Insere, Atualiza: the values to store
    const std::vector<bool>* Atribuidas = nullptr;   // Insere: the columns given a value
};

class TLoteAlteracoes {
public:
    // umaAUma sends one change by its own statement, records its outcome and tells whether
    // to go on; it is how the changes of a refused batch are told apart. confirmada is told
    // of every change a batch carried when the server accepted the batch.
    TLoteAlteracoes(TConexaoImpl& conexao, const std::vector<TColuna>& colunas, TAplicaAlteracoes& aplicador,
                    Firebird::ITransaction* transacao, std::function<bool(std::size_t)> umaAUma,
                    std::function<void(std::size_t)> confirmada);

    // False when the change must go by a statement of its own: batching is switched off, no
    // primary key locates the row, an insert leaves a column to the table's default, or a
    // value is too big or of a kind a batch does not carry.
    bool Cabe(const TMudanca& mudanca);
    // Queues a change Cabe accepted, sending the queue first when the change has another
    // shape or would not fit. False when a replay asked to stop.
    bool Acrescenta(std::size_t indice, const TMudanca& mudanca);
    // Sends what is queued; when the server refuses the batch, replays its changes one by
    // one in order. False when a replay asked to stop (the rest of the batch is not sent).
    bool Envia();

private:
    struct TForma {
        TMudanca::TTipo Tipo = TMudanca::TTipo::Insere;
        std::vector<int> Valores;    // columns set or inserted, in parameter order
        std::vector<int> Condicao;   // columns compared to locate the row
        bool operator==(const TForma&) const = default;
    };
    struct TEnfileirada {
        std::size_t Indice;
        std::vector<std::optional<std::string_view>> Valores;   // Valores, then Condicao
    };
    TForma FormaDe(const TMudanca& mudanca) const;
    std::vector<int> Parametros(const TForma& forma) const;
    bool Alarga(int coluna) const;   // declared by width bucket rather than as the column
    std::string Declaracao(int coluna, unsigned balde) const;
    unsigned Balde(const TEnfileirada& mudanca, const std::vector<int>& parametros) const;
    std::size_t Vagas(const std::vector<int>& parametros, unsigned balde) const;
    std::string Texto(std::size_t vagas) const;
    // The block prepared once per connection and shape, and its parameters as declared.
    std::shared_ptr<TComando> Prepara(const std::string& texto, std::size_t vagas, std::vector<TColuna>& declaradas);

    TConexaoImpl& FConexao;
    const std::vector<TColuna>& FColunas;
    TAplicaAlteracoes& FAplicador;
    Firebird::ITransaction* FTransacao;
    std::function<bool(std::size_t)> FUmaAUma;
    std::function<void(std::size_t)> FConfirmada;
    std::optional<bool> FPorChave;

    TForma FForma;
    std::vector<int> FParametros;
    unsigned FBalde = 0;
    std::vector<TEnfileirada> FFila;
};

#pragma once
// Internal to this layer: turns a cached set's changes into INSERT, UPDATE and DELETE
// statements on the table its SELECT reads, each prepared once and run with parameters.
#include "UColuna.h"
#include "URegistro.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Firebird { class ITransaction; }
class TComando;
class TConexaoImpl;

class TAplicaAlteracoes {
public:
    TAplicaAlteracoes(TConexaoImpl& conexao, const std::vector<TColuna>& colunas, Firebird::ITransaction* transacao);

    // Each throws EErro when the change fails; an UPDATE or DELETE must reach exactly one row.
    // Insere gives the row as stored: the columns not given a value as the table filled them
    // (defaults, triggers), so that a later where-all finds the row.
    TRegistro Insere(const TRegistro& valores, const std::vector<bool>& atribuidas);
    void Atualiza(const TRegistro& original, const TRegistro& atual);
    void Exclui(const TRegistro& original);

private:
    struct TParametro {
        int Coluna;
        std::optional<std::string_view> Valor;
    };
    std::shared_ptr<TComando> Executa(const std::string& texto, const std::vector<TParametro>& parametros, bool exigeUmRegistro);
    void VerificaTabela() const;
    void VerificaLocalizacao();
    std::string Condicao() const;
    std::string Devolucao() const;
    void AcrescentaCondicao(const TRegistro& original, std::vector<TParametro>& parametros) const;

    TConexaoImpl& FConexao;
    const std::vector<TColuna>& FColunas;
    Firebird::ITransaction* FTransacao;
    std::string FTabela;
    std::vector<int> FGravaveis;       // columns of the table, each once
    std::vector<int> FLocalizadoras;   // of those, the ones a WHERE can compare
    int FProtegeLinha = -1;            // -1 not yet known; 1: no key guarantees one row
    std::map<std::string, std::string> FTextos;
};

#pragma once
// Internal to this layer: turns a cached set's changes into INSERT, UPDATE and DELETE
// statements on the table its SELECT reads, each prepared once and run with parameters.
#include "UColuna.h"
#include "UFirebird.h"
#include "URegistro.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class TComando;
class TConexaoImpl;

// A table or column name as Firebird stores it, quoted so that any spelling is taken exactly.
std::string IdentificadorSql(const std::string& nome);
// An input message of the given columns' own types, in order.
TRefFb<Firebird::IMessageMetadata> DescreveParametros(const std::vector<const TColuna*>& parametros, const std::string& texto);

class TAplicaAlteracoes {
public:
    TAplicaAlteracoes(TConexaoImpl& conexao, const std::vector<TColuna>& colunas, Firebird::ITransaction* transacao);

    // Each throws EErro when the change fails; an UPDATE or DELETE must reach exactly one row.
    // Insere gives the row as stored: the columns not given a value as the table filled them
    // (defaults, triggers), so that a later where-all finds the row.
    TRegistro Insere(const TRegistro& valores, const std::vector<bool>& atribuidas);
    void Atualiza(const TRegistro& original, const TRegistro& atual);
    void Exclui(const TRegistro& original);

    // What a batch of the same statements needs to know.
    const std::string& Tabela() const { return FTabela; }
    const std::vector<int>& Gravaveis() const { return FGravaveis; }
    const std::vector<int>& Localizadoras() const { return FLocalizadoras; }
    // Whether a compared primary key makes every located row unique, so that a change
    // needs no savepoint of its own. False also when the row cannot be located at all.
    bool LocalizaPorChave();

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

#pragma once
#include "UComparacaoCorpo.h"

#include <optional>
#include <string>
#include <vector>

class TArquivoFonte;
class TDM;
struct TAmbienteAtualizacao;

// Where a listed file stands against its stored copy, seen without writing anything.
enum class TEstadoArquivo { Novo, Desatualizado, Atualizado, ArmazenadoMaisNovo, Ausente };

// Which bodies are read and compared: those a run would write (to count the rows it would
// send), or also those whose stamps are equal (to find a body changed behind the tool's back).
enum class TComparacao { SoOQueSeriaGravado, TambemAtualizados };

struct TSituacaoArquivo {
    std::string Entrada;                     // as listed
    TEstadoArquivo Estado = TEstadoArquivo::Ausente;
    std::string NomeRepositorio;             // the rest is empty for an absent entry
    std::string Carimbo;
    std::optional<std::string> Armazenado;   // the stored stamp; none for a new file
    int Linhas = 0;                          // the file's body lines
    std::optional<TComparacaoCorpo> Corpo;   // when the stored body was compared
};

// A stored stamp against the file's, compared as the writer compares them; none is Novo.
TEstadoArquivo EstadoPorCarimbo(const std::optional<std::string>& armazenado, const std::string& carimbo);

// The identifier of the read-only transaction the looks run in.
constexpr unsigned IdTransacaoLeitura = 51;

// One source file, `fonte` standing after its header line, read to its end. The lookup and
// the stamp comparison are the writer's. Throws EErro starting "Banco de Dados Inválido!"
// with Firebird's reason when the lookup fails.
TSituacaoArquivo SituacaoArquivo(TDM& dm, const std::string& linhaCabecalho, TArquivoFonte& fonte,
                                 const std::string& pastaRepositorio, TComparacao comparacao);

// Every list entry, in list order, in one read-only snapshot of the repository on the
// module's connected connection; the list file must exist. Nothing is written.
std::vector<TSituacaoArquivo> ExaminaLista(TDM& dm, const TAmbienteAtualizacao& ambiente, TComparacao comparacao);

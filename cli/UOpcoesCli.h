#pragma once
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

enum class TComandoCli { Situacao, Atualiza, Verifica };

// What the terminal front end was asked to do, with the defaults already applied.
struct TOpcoesCli {
    TComandoCli Comando = TComandoCli::Situacao;
    std::string NomeComando;
    std::string Banco;
    std::string Servidor;            // empty: embedded access to a local file
    std::string PastaRepositorio;    // trimmed, "\" appended, as the window takes argument 4
    std::string Diretorio;           // where the list and the files are; ends in a separator or is ""
    std::string Usuario, Senha;
    bool Json = false;
};

// The exit status of a command line that cannot be used.
constexpr int CodigoUso = 64;

// Reads the environment as getenv does; tests pass their own.
using TLeAmbiente = std::function<std::optional<std::string>(const char* nome)>;

// Parses the arguments after the program's name. On --help it writes the help to saida and
// gives 0; on a usage error a short hint to erros and CodigoUso; either way no options.
struct TLeituraOpcoes {
    std::optional<TOpcoesCli> Opcoes;
    int Codigo = 0;
};
TLeituraOpcoes LeOpcoes(const std::vector<std::string>& argumentos, const TLeAmbiente& ambiente,
                        std::ostream& saida, std::ostream& erros);

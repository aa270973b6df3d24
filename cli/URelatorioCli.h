#pragma once
#include <optional>
#include <ostream>
#include <string>
#include <vector>

struct TDesfechoEntrada;
struct TSituacaoArquivo;

// One list entry as the terminal reports it. Texts are bytes as read; they become UTF-8
// only when written out. A count not known to the command is none.
struct TLinhaRelatorio {
    std::string Entrada;
    std::string Nome;
    std::string Carimbo;
    std::optional<std::string> Armazenado;
    std::string Estado;
    std::optional<int> Linhas, Atualizadas, Inseridas, Apagadas;
    std::optional<int> LinhaDivergente;
    std::optional<std::string> Mensagem;
};

// situacao: what a run would do; verifica also compares the bodies of equal stamps.
TLinhaRelatorio LinhaDeSituacao(const TSituacaoArquivo& situacao);
TLinhaRelatorio LinhaDeVerificacao(const TSituacaoArquivo& situacao);
// atualiza: what the run did with the entry.
TLinhaRelatorio LinhaDeDesfecho(const TDesfechoEntrada& desfecho);

struct TRelatorio {
    std::string Comando;
    std::vector<TLinhaRelatorio> Arquivos;
    std::string Resultado;
    int Codigo = 0;
    std::optional<std::string> Mensagem;   // what ended the command early
};

// A message as one line of a terminal: UTF-8, each line break a blank.
std::string EmUmaLinha(const std::string& texto);

// One JSON object, UTF-8, on one line per key.
void EscreveJson(std::ostream& saida, const TRelatorio& relatorio);
// An aligned table a person reads, then the result. What ended a command early is not
// repeated here: the caller writes it to the error stream.
void EscreveTabela(std::ostream& saida, const TRelatorio& relatorio);

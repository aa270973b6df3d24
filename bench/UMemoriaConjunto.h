#pragma once
// The memory a large cached set takes against the bytes of its values: after Open, at the
// peak during Open, and for as many rows appended with their change log.
#include <cstddef>
#include <functional>
#include <string>

class TBancoTeste;

struct TAmostraMemoria {
    std::string Tabela;   // empty, shaped like REPOSITORIO_DADOS
    int Linhas = 0;
    std::size_t TamanhoDados = 0;             // bytes of every DADOS value
    std::function<std::string(int)> Dados;    // the value of each line
    std::string Usuario, Senha;               // for the plain loop that fills the table
};

// Fills the table, measures, prints the figures to standard output.
void MedeMemoria(TBancoTeste& banco, const TAmostraMemoria& amostra);

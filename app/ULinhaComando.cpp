#include "ULinhaComando.h"

#include <cstddef>

namespace {

// Compared as unsigned bytes: letters above 127 (accented Latin-1, UTF-8 sequences)
// are never separators.
bool Separa(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Reads one argument starting at posicao; returns false when the line has no more.
bool LeArgumento(std::string_view linha, std::size_t& posicao, std::string& argumento)
{
    const auto fim = linha.size();
    for (;;) {
        while (posicao < fim && Separa(linha[posicao])) ++posicao;
        if (posicao + 1 < fim && linha[posicao] == '"' && linha[posicao + 1] == '"')
            posicao += 2;
        else
            break;
    }
    if (posicao >= fim) return false;

    argumento.clear();
    while (posicao < fim && !Separa(linha[posicao])) {
        if (linha[posicao] == '"') {
            ++posicao;
            while (posicao < fim && linha[posicao] != '"') argumento += linha[posicao++];
            if (posicao < fim) ++posicao;   // the closing quote; an unclosed one runs to the end
        } else {
            argumento += linha[posicao++];
        }
    }
    return true;
}

}  // namespace

std::vector<std::string> DivideLinhaComando(std::string_view linha)
{
    linha = linha.substr(0, linha.find('\0'));

    std::vector<std::string> argumentos;
    std::size_t posicao = 0;
    std::string argumento;
    if (!LeArgumento(linha, posicao, argumento)) return argumentos;   // the program's name
    // Only a lone quote at the very end reads as an empty argument; it is not one.
    while (LeArgumento(linha, posicao, argumento) && !argumento.empty())
        argumentos.push_back(argumento);
    return argumentos;
}

std::string TLinhaComando::Argumento(int i) const
{
    if (i == 0) return Programa;
    if (i < 0 || static_cast<std::size_t>(i) > Argumentos.size()) return {};
    return Argumentos[static_cast<std::size_t>(i) - 1];
}

#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A stored body row as read, in SEQUENCIA order. DADOS may be NULL.
struct TLinhaArmazenada {
    std::int64_t Sequencia = 0;
    std::optional<std::string> Dados;
};

// How a file's lines stand against its stored body.
struct TComparacaoCorpo {
    // The body rows writing the file would send, as the writer sends them: stored rows are
    // rewritten in place from the first, the rest appended or the surplus deleted, and a
    // row already holding its number and its line costs nothing.
    int Atualizadas = 0;
    int Inseridas = 0;
    int Apagadas = 0;
    // The first line number (from 1) where the stored body is not the file's lines
    // numbered 1 to n; none when they are equal.
    std::optional<int> PrimeiraDivergente;
};

TComparacaoCorpo ComparaCorpo(const std::vector<TLinhaArmazenada>& armazenadas, const std::vector<std::string>& linhas);

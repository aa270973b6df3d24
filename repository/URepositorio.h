#pragma once
#include <cstdint>
#include <string>

// How a source file is named and found in the repository tables. The writer and the
// read-only looks of the terminal use the same rules, so they always agree on a file.

// A source file's header line "name;stamp": the name untrimmed, the stamp trimmed.
struct TCabecalho {
    std::string Nome;
    std::string Carimbo;
};
TCabecalho ExtraiCabecalho(const std::string& linhaCabecalho);

// The repository folder as a front end receives it: trimmed, then "\" appended, which
// an empty folder leaves as "\" alone. Repository names use "\" on every platform.
std::string PastaRepositorioDe(const std::string& argumento);

// The stored name: the folder and the header's name, a-z turned into A-Z.
std::string NomeRepositorio(const std::string& pastaRepositorio, const std::string& nome);

// The file's row by its stored name, and its body rows in line order.
std::string ComandoBusca(const std::string& nomeRepositorio);
std::string ComandoCorpo(std::int64_t id);

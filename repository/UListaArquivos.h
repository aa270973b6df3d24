#pragma once
#include <string>
#include <string_view>
#include <vector>

// The list file beside the program, naming the source files to send, one per line.
constexpr auto NomeLista = "ListaArquivos.txt";

// Splits at every CR, LF or CR LF. A final line break gives no extra entry, blank lines
// are entries, a NUL byte ends the list. Entries are neither trimmed nor deduplicated.
std::vector<std::string> DivideLista(std::string_view conteudo);

// Reads the whole file as bytes and splits it as DivideLista does.
// Throws EErro naming the file when it cannot be opened or read.
std::vector<std::string> LeListaArquivos(const std::string& caminho);

#pragma once
#include <string>
#include <string_view>

// Paths as text. Nothing here tests the operating system's conventions: the caller
// passes the platform's separators.

// The directory part of a path, up to and including its last separator (any
// character of separadores), "" when there is none.
std::string DiretorioDe(const std::string& caminho, std::string_view separadores);

// The path of a list entry: directory + entry, no separator added, no normalisation.
// List entries use '\' between folders; when separadorLocal is another character,
// each '\' of the entry becomes separadorLocal.
std::string CaminhoEntrada(const std::string& diretorio, const std::string& entrada, char separadorLocal);

// False for a directory, a missing path and "".
bool ArquivoRegularExiste(const std::string& caminho);

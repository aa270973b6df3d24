#pragma once
#include <string>
#include <string_view>
#include <vector>

// Splits a whole command line, as the operating system hands it over, into the
// arguments that follow its first word (the program's name, which is dropped).
// Separators are runs of codes 1 to 32; double quotes open and close stretches in
// which those codes do not separate, and are dropped; there is no escape. A pair of
// double quotes where an argument would begin is skipped like a blank, so no argument
// is ever empty. A byte 0 ends the line, as it would end the operating system's string.
std::vector<std::string> DivideLinhaComando(std::string_view linha);

// The program's path and its arguments, read by position.
struct TLinhaComando {
    std::string Programa;                 // argument 0: the running program's real path
    std::vector<std::string> Argumentos;  // arguments 1, 2, ...

    // Argument i, with 0 being Programa; a missing argument reads as "".
    std::string Argumento(int i) const;
};

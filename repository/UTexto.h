#pragma once
#include <string>
#include <string_view>

// Text helpers on single-byte text. Bytes above 127 are never interpreted: the
// program's texts are in the machine's ANSI code page and pass through unchanged.

// Removes leading and trailing bytes with codes 0 to 32.
std::string Apara(std::string_view texto);

// Turns a-z into A-Z; every other byte, accented letters included, stays as it is.
std::string MaiusculasAZ(std::string_view texto);

// Replaces every occurrence of de, left to right, without overlaps, in a single pass
// (replaced text is not searched again), letter case respected. An empty de changes nothing.
std::string SubstituiTodos(std::string_view texto, std::string_view de, std::string_view para);

// The text as an SQL string literal: in single quotes, each single quote inside doubled.
std::string AspasSql(std::string_view texto);

#pragma once
#include <string>

// Field number indice (from 0) of a line whose fields are separated by separador.
// No quoting or escaping; two adjacent separators delimit an empty field; an index
// beyond the last field gives "". Only a one-character separator can match, so with
// a longer (or empty) one the whole line is field 0. The result is never trimmed.
std::string ExtraiCampo(const std::string& linha, const std::string& separador, int indice);

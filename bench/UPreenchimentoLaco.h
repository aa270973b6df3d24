#pragma once
// How the plain loop fills, row by row, the parameters of a statement the apply step sent on
// a table shaped like REPOSITORIO_DADOS: each '?' is told from the column it stands beside.
#include "ULacoSimples.h"

#include <functional>
#include <string>
#include <vector>

// gravados: the values to store, lidos: the values as read (the WHERE); a text that needs
// one of them not given, or names another column, throws EErro.
std::function<void(int, TParametrosLinha&)> Preenchimento(const std::string& texto, const std::vector<std::string>* gravados,
                                                          const std::vector<std::string>* lidos);

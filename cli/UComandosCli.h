#pragma once
#include "UOpcoesCli.h"

#include <ostream>
#include <string>
#include <vector>

// The terminal front end from its arguments to its exit status: the report goes to saida
// (a table, or JSON with --json), messages and progress to erros.
int ExecutaCli(const std::vector<std::string>& argumentos, const TLeAmbiente& ambiente,
               std::ostream& saida, std::ostream& erros);

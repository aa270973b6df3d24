#pragma once
// What the terminal front end's tests share: the fixture's arguments and environment.
#include "UQuadroEstados.h"

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

// The arguments that point a command at the test server and the fixture's folder.
inline std::vector<std::string> ArgumentosCli(const std::string& comando, const TBancoTeste& banco,
                                              const TPastaTemporaria& pasta)
{
    return {comando, "--banco", banco.Caminho(), "--servidor", banco.Servidor(),
            "--diretorio", pasta.Diretorio(), "--pasta", "SISTEMA", "--json"};
}

// The test login, as Firebird's own variables give it.
inline std::optional<std::string> AmbienteTeste(const char* nome)
{
    const char* valor = nullptr;
    if (std::string(nome) == "ISC_USER") valor = std::getenv("ATUALIZADOR_TEST_USER");
    if (std::string(nome) == "ISC_PASSWORD") valor = std::getenv("ATUALIZADOR_TEST_PASSWORD");
    return valor ? std::optional<std::string>(valor) : std::nullopt;
}

#include "UComandosCli.h"
#include "UPlataformaCli.h"

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv)
{
    PreparaConsole();
    const auto ambiente = [](const char* nome) -> std::optional<std::string> {
        const char* valor = std::getenv(nome);
        return valor ? std::optional<std::string>(valor) : std::nullopt;
    };
    return ExecutaCli(std::vector<std::string>(argv + 1, argv + argc), ambiente, std::cout, std::cerr);
}

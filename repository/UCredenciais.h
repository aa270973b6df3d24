#pragma once
#include "UTexto.h"

#include <string>

// The database login a front end uses when it is given none.
constexpr auto UsuarioPadrao = "SYSDBA";
constexpr auto SenhaPadrao = "tornagild";

// The value trimmed, or padrao when nothing is left.
inline std::string AparaOuPadrao(const std::string& texto, const char* padrao)
{
    std::string aparado = Apara(texto);
    return aparado.empty() ? padrao : aparado;
}

#include "UCaminhos.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

std::string DiretorioDe(const std::string& caminho, std::string_view separadores)
{
    const std::size_t ultimo = caminho.find_last_of(separadores);
    return ultimo == std::string::npos ? std::string() : caminho.substr(0, ultimo + 1);
}

std::string CaminhoEntrada(const std::string& diretorio, const std::string& entrada, char separadorLocal)
{
    std::string relativo = entrada;
    if (separadorLocal != '\\')
        std::replace(relativo.begin(), relativo.end(), '\\', separadorLocal);
    return diretorio + relativo;
}

bool ArquivoRegularExiste(const std::string& caminho)
{
    if (caminho.empty())
        return false;
    std::error_code erro;
    return std::filesystem::is_regular_file(std::filesystem::path(caminho), erro);
}

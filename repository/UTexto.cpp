#include "UTexto.h"

namespace {

bool EhBranco(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

} // namespace

std::string Apara(std::string_view texto)
{
    std::size_t inicio = 0;
    std::size_t fim = texto.size();
    while (inicio < fim && EhBranco(texto[inicio]))
        ++inicio;
    while (fim > inicio && EhBranco(texto[fim - 1]))
        --fim;
    return std::string(texto.substr(inicio, fim - inicio));
}

std::string MaiusculasAZ(std::string_view texto)
{
    std::string resultado(texto);
    // Not std::toupper: under some locales it would also change bytes above 127.
    for (char& c : resultado)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return resultado;
}

std::string SubstituiTodos(std::string_view texto, std::string_view de, std::string_view para)
{
    if (de.empty())
        return std::string(texto);
    std::string resultado;
    resultado.reserve(texto.size());
    std::size_t posicao = 0;
    for (;;) {
        const std::size_t achado = texto.find(de, posicao);
        if (achado == std::string_view::npos)
            break;
        resultado.append(texto.substr(posicao, achado - posicao));
        resultado.append(para);
        posicao = achado + de.size();
    }
    resultado.append(texto.substr(posicao));
    return resultado;
}

std::string AspasSql(std::string_view texto)
{
    return "'" + SubstituiTodos(texto, "'", "''") + "'";
}

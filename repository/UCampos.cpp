#include "UCampos.h"

std::string ExtraiCampo(const std::string& linha, const std::string& separador, int indice)
{
    const bool podeCasar = separador.size() == 1;
    std::string resultado;
    int separadores = 0;
    for (const char c : linha) {
        if (podeCasar && c == separador[0]) {
            ++separadores;
        } else if (separadores == indice) {
            resultado += c;
        } else if (separadores > indice) {
            break;
        }
    }
    return resultado;
}

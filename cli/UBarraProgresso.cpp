#include "UBarraProgresso.h"

#include <algorithm>

namespace {

constexpr int LarguraBarra = 30;
constexpr std::size_t LarguraNome = 36;   // keeps the whole line within 80 columns

// Cuts at a character boundary, never inside a UTF-8 sequence.
std::string Encurta(const std::string& utf8, std::size_t caracteres)
{
    std::size_t contados = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) continue;
        if (contados++ == caracteres) return utf8.substr(0, i);
    }
    return utf8;
}

}  // namespace

void TBarraProgresso::DefineMaximo(int maximo)
{
    FMaximo = maximo;
    FPosicao = std::min(FPosicao, maximo);
}

void TBarraProgresso::Avanca(const std::string& nomeUtf8)
{
    FPosicao = std::min(FPosicao + 1, FMaximo);
    FNome = nomeUtf8;
    Desenha();
}

void TBarraProgresso::Apaga()
{
    if (!FDesenhada) return;
    FSaida << "\r\x1b[2K" << std::flush;
    FDesenhada = false;
}

void TBarraProgresso::Desenha()
{
    if (!FAtiva || FMaximo <= 0) return;
    const int cheias = FPosicao * LarguraBarra / FMaximo;
    FSaida << "\r\x1b[2K[" << std::string(static_cast<std::size_t>(cheias), '#')
           << std::string(static_cast<std::size_t>(LarguraBarra - cheias), '.') << "] " << FPosicao << '/' << FMaximo
           << ' ' << Encurta(FNome, LarguraNome) << std::flush;
    FDesenhada = true;
}

#include "UTextoUtf8.h"

#include <cstddef>

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F. The five codes it leaves
// undefined map to the C1 controls of the same value, as Windows itself maps them.
constexpr char16_t Cp1252De80a9F[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Every code point of Windows-1252 lies in the Basic Multilingual Plane.
void AcrescentaUtf8(std::string& saida, char16_t ponto)
{
    if (ponto < 0x80) {
        saida += static_cast<char>(ponto);
    } else if (ponto < 0x800) {
        saida += static_cast<char>(0xC0 | (ponto >> 6));
        saida += static_cast<char>(0x80 | (ponto & 0x3F));
    } else {
        saida += static_cast<char>(0xE0 | (ponto >> 12));
        saida += static_cast<char>(0x80 | ((ponto >> 6) & 0x3F));
        saida += static_cast<char>(0x80 | (ponto & 0x3F));
    }
}

}  // namespace

namespace {

// The length of the strict UTF-8 sequence that starts at bytes[i], or 0 when none does.
// Latin-1 accented letters are lead bytes whose next byte is almost never a continuation,
// so a Windows-1252 name practically never reads as UTF-8.
std::size_t TamanhoSequenciaUtf8(std::string_view bytes, std::size_t i)
{
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) return 1;

    std::size_t seguintes;
    unsigned char minimo = 0x80, maximo = 0xBF;   // range of the second byte
    if (c >= 0xC2 && c <= 0xDF) seguintes = 1;
    else if (c == 0xE0) { seguintes = 2; minimo = 0xA0; }
    else if (c == 0xED) { seguintes = 2; maximo = 0x9F; }
    else if (c >= 0xE1 && c <= 0xEF) seguintes = 2;
    else if (c == 0xF0) { seguintes = 3; minimo = 0x90; }
    else if (c >= 0xF1 && c <= 0xF3) seguintes = 3;
    else if (c == 0xF4) { seguintes = 3; maximo = 0x8F; }
    else return 0;

    if (bytes.size() - i <= seguintes) return 0;
    for (std::size_t k = 1; k <= seguintes; ++k) {
        const auto b = static_cast<unsigned char>(bytes[i + k]);
        const unsigned char de = k == 1 ? minimo : 0x80;
        const unsigned char ate = k == 1 ? maximo : 0xBF;
        if (b < de || b > ate) return 0;
    }
    return seguintes + 1;
}

}  // namespace

bool EUtf8Valido(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t tamanho = TamanhoSequenciaUtf8(bytes, i);
        if (tamanho == 0) return false;
        i += tamanho;
    }
    return true;
}

std::string ParaUtf8(std::string_view bytes)
{
    // Decided sequence by sequence, not for the whole text: a message joins the program's
    // own UTF-8 texts with names and paths from outside, which may be Windows-1252.
    std::string saida;
    saida.reserve(bytes.size() + bytes.size() / 2);
    for (std::size_t i = 0; i < bytes.size();) {
        if (const std::size_t tamanho = TamanhoSequenciaUtf8(bytes, i)) {
            saida.append(bytes.substr(i, tamanho));
            i += tamanho;
            continue;
        }
        const auto c = static_cast<unsigned char>(bytes[i++]);   // 0x80 and above: ASCII is UTF-8
        AcrescentaUtf8(saida, c <= 0x9F ? Cp1252De80a9F[c - 0x80] : char16_t{c});
    }
    return saida;
}

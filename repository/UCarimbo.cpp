#include "UCarimbo.h"
#include "UErro.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string_view>

namespace {

// A decimal integer with an optional sign and at least one digit; nothing else, not
// even blanks or a hexadecimal prefix. Pieces are at most four characters long, so
// the value cannot overflow.
std::optional<int> InteiroDecimal(std::string_view texto)
{
    std::size_t i = 0;
    bool negativo = false;
    if (i < texto.size() && (texto[i] == '+' || texto[i] == '-')) {
        negativo = texto[i] == '-';
        ++i;
    }
    if (i == texto.size())
        return std::nullopt;
    int valor = 0;
    for (; i < texto.size(); ++i) {
        if (texto[i] < '0' || texto[i] > '9')
            return std::nullopt;
        valor = valor * 10 + (texto[i] - '0');
    }
    return negativo ? -valor : valor;
}

std::string TextoCarimboInvalido(const std::string& carimbo)
{
    return "Carimbo de versão inválido: \"" + carimbo + "\"";
}

// Far enough beyond years 1 to 9999 to keep the decoding's integer conversions defined.
constexpr TDateTime LimiteDecodificavel = 1e7;

} // namespace

TDateTime CarimboParaDataHora(const std::string& carimbo)
{
    const std::string_view texto(carimbo);
    // A piece cut short by the end of the text is refused even when what is left is
    // a number: "2024030514070" is a malformed stamp, not 14:07:00.
    const auto peca = [&](std::size_t inicio, std::size_t tamanho) -> std::optional<int> {
        if (inicio + tamanho > texto.size())
            return std::nullopt;
        return InteiroDecimal(texto.substr(inicio, tamanho));
    };
    const std::optional<int> ano = peca(0, 4);
    const std::optional<int> mes = peca(4, 2);
    const std::optional<int> dia = peca(6, 2);
    const std::optional<int> hora = peca(8, 2);
    const std::optional<int> minuto = peca(10, 2);
    const std::optional<int> segundo = peca(12, 2);
    if (!ano || !mes || !dia || !hora || !minuto || !segundo)
        throw EErro(TextoCarimboInvalido(carimbo));

    TPartesDataHora partes;
    partes.Ano = *ano;
    partes.Mes = *mes;
    partes.Dia = *dia;
    partes.Hora = *hora;
    partes.Minuto = *minuto;
    partes.Segundo = *segundo;
    partes.Milissegundo = 0;
    try {
        return CodificaDataHora(partes);
    } catch (const EErro& e) {
        throw EErro(TextoCarimboInvalido(carimbo) + " (" + e.what() + ")");
    }
}

std::string DataHoraParaCarimbo(TDateTime valor)
{
    const auto foraDoIntervalo = [&] {
        return EErro("Data e hora fora do intervalo de um carimbo de versão: " + std::to_string(valor));
    };
    if (!std::isfinite(valor) || std::fabs(valor) >= LimiteDecodificavel)
        throw foraDoIntervalo();
    const TPartesDataHora p = DecodificaDataHora(valor);
    // Four digits for the year, or the stamp would not be 14 characters.
    if (p.Ano < 1 || p.Ano > 9999)
        throw foraDoIntervalo();
    char texto[32];
    std::snprintf(texto, sizeof texto, "%04d%02d%02d%02d%02d%02d", p.Ano, p.Mes, p.Dia, p.Hora, p.Minuto, p.Segundo);
    return texto;
}

bool CarimboMenor(const std::string& a, const std::string& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
}

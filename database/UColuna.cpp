#include "UColuna.h"
#include "UErro.h"

#include <firebird/Interface.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

// ISC_DATE counts days from 17 November 1858; our day 0 is 30 December 1899.
constexpr std::int64_t DiaZeroIsc = 15018;
constexpr std::int64_t FracoesPorDia = 864'000'000;   // ISC_TIME counts 1/10000 s
constexpr std::int64_t MsPorDia = 86'400'000;

template <class T> T Copia(std::string_view bytes)
{
    T valor{};
    std::memcpy(&valor, bytes.data(), std::min(sizeof valor, bytes.size()));
    return valor;
}

template <class T> std::string Bytes(T valor)
{
    return std::string(reinterpret_cast<const char*>(&valor), sizeof valor);
}

[[noreturn]] void ErroConversao(const TColuna& coluna, const std::string& oQue)
{
    throw EErro("A coluna " + coluna.Nome + " não pode ser " + oQue + ".");
}

std::int64_t PotenciaDez(int expoente)
{
    std::int64_t p = 1;
    for (int i = 0; i < expoente; ++i) p *= 10;
    return p;
}

bool EhInteiro(unsigned tipo) { return tipo == SQL_SHORT || tipo == SQL_LONG || tipo == SQL_INT64; }

std::int64_t LeInteiroBruto(const TColuna& coluna, std::string_view bytes)
{
    switch (coluna.Tipo) {
    case SQL_SHORT: return Copia<std::int16_t>(bytes);
    case SQL_LONG: return Copia<std::int32_t>(bytes);
    default: return Copia<std::int64_t>(bytes);
    }
}

std::string CodificaInteiroBruto(const TColuna& coluna, std::int64_t valor, const std::string& comoTexto)
{
    const auto foraDoLimite = [&] { throw EErro("O valor " + comoTexto + " não cabe na coluna " + coluna.Nome + "."); };
    switch (coluna.Tipo) {
    case SQL_SHORT:
        if (valor < std::numeric_limits<std::int16_t>::min() || valor > std::numeric_limits<std::int16_t>::max()) foraDoLimite();
        return Bytes(static_cast<std::int16_t>(valor));
    case SQL_LONG:
        if (valor < std::numeric_limits<std::int32_t>::min() || valor > std::numeric_limits<std::int32_t>::max()) foraDoLimite();
        return Bytes(static_cast<std::int32_t>(valor));
    default:
        return Bytes(valor);
    }
}

std::string_view SemBrancos(std::string_view texto)
{
    const auto inicio = texto.find_first_not_of(' ');
    if (inicio == std::string_view::npos) return {};
    return texto.substr(inicio, texto.find_last_not_of(' ') - inicio + 1);
}

bool AplicaSinal(std::uint64_t magnitude, bool negativo, std::int64_t& resultado)
{
    constexpr auto maximo = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (magnitude > maximo + (negativo ? 1 : 0)) return false;
    resultado = negativo ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
    return true;
}

// A decimal such as "-12.5" as an integer scaled by 10^casas; false when it is not one
// or does not fit. Digits beyond the scale are rounded half away from zero.
bool DecimalEscalado(std::string_view texto, int casas, std::int64_t& resultado)
{
    texto = SemBrancos(texto);
    bool negativo = false;
    if (!texto.empty() && (texto[0] == '-' || texto[0] == '+')) {
        negativo = texto[0] == '-';
        texto.remove_prefix(1);
    }
    const auto ponto = texto.find('.');
    std::string_view inteira = texto.substr(0, ponto);
    std::string_view fracao = ponto == std::string_view::npos ? std::string_view{} : texto.substr(ponto + 1);
    if (inteira.empty() && fracao.empty()) return false;
    const auto soDigitos = [](std::string_view s) { return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }); };
    if (!soDigitos(inteira) || !soDigitos(fracao)) return false;

    // The magnitude is gathered unsigned, so the smallest int64 can still be written.
    std::uint64_t magnitude = 0;
    const auto acrescenta = [&magnitude](int digito) {
        return !__builtin_mul_overflow(magnitude, 10u, &magnitude) && !__builtin_add_overflow(magnitude, static_cast<unsigned>(digito), &magnitude);
    };
    for (char c : inteira)
        if (!acrescenta(c - '0')) return false;
    for (int i = 0; i < casas; ++i)
        if (!acrescenta(i < static_cast<int>(fracao.size()) ? fracao[i] - '0' : 0)) return false;
    if (static_cast<int>(fracao.size()) > casas && fracao[casas] >= '5' && __builtin_add_overflow(magnitude, 1u, &magnitude))
        return false;
    return AplicaSinal(magnitude, negativo, resultado);
}

std::string TextoEscalado(std::int64_t valor, int casas)
{
    if (casas == 0) return std::to_string(valor);
    const bool negativo = valor < 0;
    // Through unsigned, so the smallest int64 has a magnitude too.
    const std::uint64_t magnitude = negativo ? 0 - static_cast<std::uint64_t>(valor) : static_cast<std::uint64_t>(valor);
    std::string digitos = std::to_string(magnitude);
    if (static_cast<int>(digitos.size()) <= casas) digitos.insert(0, casas + 1 - digitos.size(), '0');
    digitos.insert(digitos.size() - casas, ".");
    return negativo ? "-" + digitos : digitos;
}

std::string TextoReal(double valor)
{
    char texto[64];
    const auto r = std::to_chars(texto, texto + sizeof texto, valor);
    return std::string(texto, r.ptr);
}

double LeReal(const TColuna& coluna, std::string_view bytes)
{
    return coluna.Tipo == SQL_FLOAT ? Copia<float>(bytes) : Copia<double>(bytes);
}

struct TDiaHora {
    std::int64_t Dia;       // ISC_DATE
    std::int64_t Fracoes;   // ISC_TIME
};

TDiaHora DiaHoraIsc(TDateTime valor)
{
    // Rounded to the millisecond as TDateTime conversions are, so whole seconds stay exact.
    double dias = std::trunc(valor);
    std::int64_t ms = std::llround(std::fabs(valor - dias) * MsPorDia);
    if (ms >= MsPorDia) {
        ms -= MsPorDia;
        dias += valor >= 0 ? 1 : -1;
    }
    return {static_cast<std::int64_t>(dias) + DiaZeroIsc, ms * 10};
}

TDateTime DataHoraDe(std::int64_t diaIsc, std::int64_t fracoes)
{
    const double dias = static_cast<double>(diaIsc - DiaZeroIsc);
    const double fracao = static_cast<double>(fracoes) / FracoesPorDia;
    // Before day 0 the fraction counts away from zero, as in the day-count convention.
    return dias >= 0 ? dias + fracao : dias - fracao;
}

std::string TextoData(std::int64_t diaIsc)
{
    using namespace std::chrono;
    const year_month_day data{sys_days{year{1858} / November / day{17}} + days{diaIsc}};
    char texto[32];
    std::snprintf(texto, sizeof texto, "%04d-%02u-%02u", static_cast<int>(data.year()), static_cast<unsigned>(data.month()),
        static_cast<unsigned>(data.day()));
    return texto;
}

std::string TextoHora(std::int64_t fracoes)
{
    char texto[32];
    const auto segundos = fracoes / 10000;
    std::snprintf(texto, sizeof texto, "%02lld:%02lld:%02lld", static_cast<long long>(segundos / 3600),
        static_cast<long long>(segundos / 60 % 60), static_cast<long long>(segundos % 60));
    std::string resultado = texto;
    if (fracoes % 10000 != 0) {
        std::snprintf(texto, sizeof texto, ".%04lld", static_cast<long long>(fracoes % 10000));
        resultado += texto;
    }
    return resultado;
}

// "yyyy-mm-dd", "hh:nn:ss[.ffff]" or both separated by a blank: the forms LeTexto writes.
bool InterpretaDataHora(std::string_view texto, std::int64_t& diaIsc, std::int64_t& fracoes, bool& temData, bool& temHora)
{
    texto = SemBrancos(texto);
    diaIsc = DiaZeroIsc;
    fracoes = 0;
    temData = temHora = false;
    int a = 0, m = 0, d = 0, h = 0, mi = 0, s = 0, f = 0;
    int lidos = 0;
    const std::string copia(texto);
    if (std::sscanf(copia.c_str(), "%4d-%2d-%2d%n", &a, &m, &d, &lidos) == 3) {
        using namespace std::chrono;
        const year_month_day data{year{a}, month{static_cast<unsigned>(m)}, day{static_cast<unsigned>(d)}};
        if (!data.ok()) return false;
        diaIsc = (sys_days{data} - sys_days{year{1858} / November / day{17}}).count();
        temData = true;
        texto.remove_prefix(lidos);
        texto = SemBrancos(texto);
    }
    if (!texto.empty()) {
        const std::string resto(texto);
        int fim = 0;
        if (std::sscanf(resto.c_str(), "%2d:%2d:%2d%n", &h, &mi, &s, &fim) != 3) return false;
        if (fim < static_cast<int>(resto.size())) {
            if (resto[fim] != '.') return false;
            std::string digitos = resto.substr(fim + 1);
            if (digitos.empty() || digitos.size() > 4 || digitos.find_first_not_of("0123456789") != std::string::npos) return false;
            digitos.append(4 - digitos.size(), '0');
            f = std::stoi(digitos);
        }
        if (h > 23 || mi > 59 || s > 59 || h < 0 || mi < 0 || s < 0) return false;
        fracoes = ((h * 60LL + mi) * 60 + s) * 10000 + f;
        temHora = true;
    }
    return temData || temHora;
}

} // namespace

bool TColuna::EhTexto() const { return Tipo == SQL_TEXT || Tipo == SQL_VARYING; }

bool TColuna::EhObjetoGrande() const { return Tipo == SQL_BLOB || Tipo == SQL_ARRAY || Tipo == SQL_QUAD; }

bool TColuna::Comparavel() const { return !EhObjetoGrande() && Tipo != SQL_NULL; }

std::int64_t LeInteiro(const TColuna& coluna, std::string_view bytes)
{
    if (EhInteiro(coluna.Tipo)) {
        const std::int64_t bruto = LeInteiroBruto(coluna, bytes);
        if (coluna.Escala >= 0) return bruto;
        // A scaled value read as integer rounds half away from zero.
        const std::int64_t divisor = PotenciaDez(-coluna.Escala);
        const std::int64_t quociente = bruto / divisor, resto = bruto % divisor;
        if (2 * (resto < 0 ? -resto : resto) >= divisor) return quociente + (bruto < 0 ? -1 : 1);
        return quociente;
    }
    switch (coluna.Tipo) {
    case SQL_FLOAT:
    case SQL_DOUBLE: {
        const double real = LeReal(coluna, bytes);
        if (!std::isfinite(real) || std::fabs(real) >= 9.2e18) ErroConversao(coluna, "lida como inteiro: o valor " + TextoReal(real) + " não cabe");
        return std::llround(real);
    }
    case SQL_BOOLEAN:
        return bytes.empty() || bytes[0] == 0 ? 0 : 1;
    case SQL_TEXT:
    case SQL_VARYING:
    case SQL_BLOB: {
        std::int64_t valor = 0;
        if (!DecimalEscalado(bytes, 0, valor) || SemBrancos(bytes).find('.') != std::string_view::npos)
            throw EErro("'" + std::string(bytes) + "' não é um valor inteiro válido (coluna " + coluna.Nome + ").");
        return valor;
    }
    default:
        ErroConversao(coluna, "lida como inteiro");
    }
}

std::string LeTexto(const TColuna& coluna, std::string_view bytes)
{
    if (EhInteiro(coluna.Tipo)) return TextoEscalado(LeInteiroBruto(coluna, bytes), coluna.Escala < 0 ? -coluna.Escala : 0);
    switch (coluna.Tipo) {
    case SQL_TEXT:
    case SQL_VARYING:
    case SQL_BLOB:
        return std::string(bytes);
    case SQL_FLOAT:
    case SQL_DOUBLE:
        return TextoReal(LeReal(coluna, bytes));
    case SQL_BOOLEAN:
        return bytes.empty() || bytes[0] == 0 ? "False" : "True";
    case SQL_TYPE_DATE:
        return TextoData(Copia<ISC_DATE>(bytes));
    case SQL_TYPE_TIME:
        return TextoHora(Copia<ISC_TIME>(bytes));
    case SQL_TIMESTAMP: {
        const auto valor = Copia<ISC_TIMESTAMP>(bytes);
        return TextoData(valor.timestamp_date) + " " + TextoHora(valor.timestamp_time);
    }
    default:
        ErroConversao(coluna, "lida como texto");
    }
}

TDateTime LeDataHora(const TColuna& coluna, std::string_view bytes)
{
    switch (coluna.Tipo) {
    case SQL_TYPE_DATE:
        return DataHoraDe(Copia<ISC_DATE>(bytes), 0);
    case SQL_TYPE_TIME:
        return DataHoraDe(DiaZeroIsc, Copia<ISC_TIME>(bytes));
    case SQL_TIMESTAMP: {
        const auto valor = Copia<ISC_TIMESTAMP>(bytes);
        return DataHoraDe(valor.timestamp_date, valor.timestamp_time);
    }
    case SQL_TEXT:
    case SQL_VARYING: {
        std::int64_t dia = 0, fracoes = 0;
        bool temData = false, temHora = false;
        if (!InterpretaDataHora(bytes, dia, fracoes, temData, temHora))
            throw EErro("'" + std::string(bytes) + "' não é uma data e hora válida (coluna " + coluna.Nome + ").");
        return DataHoraDe(dia, fracoes);
    }
    default:
        ErroConversao(coluna, "lida como data e hora");
    }
}

std::string CodificaInteiro(const TColuna& coluna, std::int64_t valor)
{
    if (EhInteiro(coluna.Tipo)) {
        const int casas = coluna.Escala < 0 ? -coluna.Escala : 0;
        std::int64_t escalado = 0;
        if (__builtin_mul_overflow(valor, PotenciaDez(casas), &escalado))
            throw EErro("O valor " + std::to_string(valor) + " não cabe na coluna " + coluna.Nome + ".");
        return CodificaInteiroBruto(coluna, escalado, std::to_string(valor));
    }
    switch (coluna.Tipo) {
    case SQL_FLOAT: return Bytes(static_cast<float>(valor));
    case SQL_DOUBLE: return Bytes(static_cast<double>(valor));
    case SQL_BOOLEAN: return std::string(1, valor != 0 ? '\1' : '\0');
    case SQL_TEXT:
    case SQL_VARYING:
    case SQL_BLOB: return std::to_string(valor);
    default: ErroConversao(coluna, "gravada com um inteiro");
    }
}

std::string CodificaTexto(const TColuna& coluna, const std::string& valor)
{
    if (EhInteiro(coluna.Tipo)) {
        std::int64_t escalado = 0;
        if (!DecimalEscalado(valor, coluna.Escala < 0 ? -coluna.Escala : 0, escalado))
            throw EErro("'" + valor + "' não é um número válido para a coluna " + coluna.Nome + ".");
        return CodificaInteiroBruto(coluna, escalado, valor);
    }
    switch (coluna.Tipo) {
    case SQL_TEXT:
    case SQL_VARYING:
    case SQL_BLOB:
        return valor;
    case SQL_FLOAT:
    case SQL_DOUBLE: {
        const std::string_view limpo = SemBrancos(valor);
        double real = 0;
        const auto r = std::from_chars(limpo.data(), limpo.data() + limpo.size(), real);
        if (limpo.empty() || r.ec != std::errc{} || r.ptr != limpo.data() + limpo.size())
            throw EErro("'" + valor + "' não é um número válido para a coluna " + coluna.Nome + ".");
        return coluna.Tipo == SQL_FLOAT ? Bytes(static_cast<float>(real)) : Bytes(real);
    }
    case SQL_BOOLEAN: {
        const std::string_view limpo = SemBrancos(valor);
        if (limpo == "True" || limpo == "true" || limpo == "1") return std::string(1, '\1');
        if (limpo == "False" || limpo == "false" || limpo == "0") return std::string(1, '\0');
        throw EErro("'" + valor + "' não é um valor lógico válido para a coluna " + coluna.Nome + ".");
    }
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME:
    case SQL_TIMESTAMP: {
        std::int64_t dia = 0, fracoes = 0;
        bool temData = false, temHora = false;
        if (!InterpretaDataHora(valor, dia, fracoes, temData, temHora))
            throw EErro("'" + valor + "' não é uma data e hora válida para a coluna " + coluna.Nome + ".");
        if (coluna.Tipo == SQL_TYPE_DATE) return Bytes(static_cast<ISC_DATE>(dia));
        if (coluna.Tipo == SQL_TYPE_TIME) return Bytes(static_cast<ISC_TIME>(fracoes));
        return Bytes(ISC_TIMESTAMP{static_cast<ISC_DATE>(dia), static_cast<ISC_TIME>(fracoes)});
    }
    default:
        ErroConversao(coluna, "gravada com um texto");
    }
}

std::string CodificaDataHora(const TColuna& coluna, TDateTime valor)
{
    if (!std::isfinite(valor) || std::fabs(valor) > 3.0e6)
        throw EErro("O valor de data e hora não é válido para a coluna " + coluna.Nome + ".");
    const TDiaHora dh = DiaHoraIsc(valor);
    switch (coluna.Tipo) {
    case SQL_TYPE_DATE: return Bytes(static_cast<ISC_DATE>(dh.Dia));
    case SQL_TYPE_TIME: return Bytes(static_cast<ISC_TIME>(dh.Fracoes));
    case SQL_TIMESTAMP: return Bytes(ISC_TIMESTAMP{static_cast<ISC_DATE>(dh.Dia), static_cast<ISC_TIME>(dh.Fracoes)});
    case SQL_TEXT:
    case SQL_VARYING: return TextoData(dh.Dia) + " " + TextoHora(dh.Fracoes);
    case SQL_FLOAT: return Bytes(static_cast<float>(valor));
    case SQL_DOUBLE: return Bytes(valor);
    default: ErroConversao(coluna, "gravada com uma data e hora");
    }
}

void VerificaTamanho(const TColuna& coluna, std::string_view bytes)
{
    if (coluna.EhTexto() && bytes.size() > coluna.Tamanho)
        throw EErro("O texto de " + std::to_string(bytes.size()) + " bytes não cabe na coluna " + coluna.Nome + ", que aceita até "
            + std::to_string(coluna.Tamanho) + " bytes.");
}

std::string_view LeDaMensagem(const TColuna& coluna, const unsigned char* mensagem)
{
    const char* inicio = reinterpret_cast<const char*>(mensagem + coluna.Deslocamento);
    if (coluna.Tipo == SQL_VARYING) {
        std::uint16_t tamanho = 0;
        std::memcpy(&tamanho, inicio, sizeof tamanho);
        return {inicio + sizeof tamanho, tamanho};
    }
    return {inicio, coluna.Tamanho};
}

void GravaNaMensagem(const TColuna& coluna, std::string_view bytes, unsigned char* destino)
{
    if (coluna.Tipo == SQL_VARYING) {
        // The length was checked at Post; a longer prefix would make fbclient cut the value.
        const auto tamanho = static_cast<std::uint16_t>(std::min<std::size_t>(bytes.size(), coluna.Tamanho));
        std::memcpy(destino, &tamanho, sizeof tamanho);
        std::memcpy(destino + sizeof tamanho, bytes.data(), tamanho);
    } else if (coluna.Tipo == SQL_TEXT) {
        const std::size_t tamanho = std::min<std::size_t>(bytes.size(), coluna.Tamanho);
        std::memcpy(destino, bytes.data(), tamanho);
        std::memset(destino + tamanho, ' ', coluna.Tamanho - tamanho);
    } else {
        std::memcpy(destino, bytes.data(), std::min<std::size_t>(bytes.size(), coluna.Tamanho));
    }
}

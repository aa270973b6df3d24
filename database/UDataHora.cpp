#include "UDataHora.h"
#include "UErro.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <string>

namespace {

constexpr std::int64_t MsPorDia = 86'400'000;

// Days from 1899-12-30 to the given civil date, proleptic Gregorian calendar.
std::int64_t DiasDesdeZero(int ano, int mes, int dia)
{
    using namespace std::chrono;
    const sys_days data{year{ano} / month{static_cast<unsigned>(mes)} / day{static_cast<unsigned>(dia)}};
    const sys_days zero{year{1899} / December / day{30}};
    return (data - zero).count();
}

} // namespace

TDateTime CodificaDataHora(const TPartesDataHora& p)
{
    using namespace std::chrono;
    const year_month_day data{year{p.Ano}, month{static_cast<unsigned>(p.Mes)}, day{static_cast<unsigned>(p.Dia)}};
    const bool dataValida = p.Ano >= 1 && p.Ano <= 9999 && p.Mes >= 1 && p.Mes <= 12 && p.Dia >= 1 && data.ok();
    if (!dataValida)
        throw EErro("Data inválida: " + std::to_string(p.Ano) + "-" + std::to_string(p.Mes) + "-" + std::to_string(p.Dia));
    const bool horaValida = p.Hora >= 0 && p.Hora < 24 && p.Minuto >= 0 && p.Minuto < 60 && p.Segundo >= 0
        && p.Segundo < 60 && p.Milissegundo >= 0 && p.Milissegundo < 1000;
    if (!horaValida)
        throw EErro("Hora inválida: " + std::to_string(p.Hora) + ":" + std::to_string(p.Minuto) + ":" + std::to_string(p.Segundo));

    const double dias = static_cast<double>(DiasDesdeZero(p.Ano, p.Mes, p.Dia));
    const double fracao = static_cast<double>(((p.Hora * 60 + p.Minuto) * 60 + p.Segundo) * 1000 + p.Milissegundo) / MsPorDia;
    // Before day 0 the fraction counts away from zero, as in the day-count convention.
    return dias >= 0 ? dias + fracao : dias - fracao;
}

TPartesDataHora DecodificaDataHora(TDateTime valor)
{
    using namespace std::chrono;
    double dias = std::trunc(valor);
    std::int64_t ms = std::llround(std::fabs(valor - dias) * MsPorDia);
    if (ms >= MsPorDia) {
        ms -= MsPorDia;
        dias += valor >= 0 ? 1 : -1;
    }
    const sys_days zero{year{1899} / December / day{30}};
    const year_month_day data{zero + days{static_cast<std::int64_t>(dias)}};

    TPartesDataHora p;
    p.Ano = static_cast<int>(data.year());
    p.Mes = static_cast<int>(static_cast<unsigned>(data.month()));
    p.Dia = static_cast<int>(static_cast<unsigned>(data.day()));
    p.Milissegundo = static_cast<int>(ms % 1000);
    ms /= 1000;
    p.Segundo = static_cast<int>(ms % 60);
    ms /= 60;
    p.Minuto = static_cast<int>(ms % 60);
    p.Hora = static_cast<int>(ms / 60);
    return p;
}

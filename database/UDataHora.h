#pragma once

// A date and time as a day count with the time of day as fraction; day 0 is
// 30 December 1899, so the value 0 is midnight of that day.
using TDateTime = double;

struct TPartesDataHora {
    int Ano = 1899, Mes = 12, Dia = 30;
    int Hora = 0, Minuto = 0, Segundo = 0;
    int Milissegundo = 0;
};

// Throws EErro when a part is out of range (month 13, hour 24, 31 February...).
TDateTime CodificaDataHora(const TPartesDataHora& partes);

// Rounds to the nearest millisecond, so a value computed from whole seconds
// comes back with exactly those seconds.
TPartesDataHora DecodificaDataHora(TDateTime valor);

#pragma once
#include "UDataHora.h"

#include <string>

// The version stamp "yyyymmddhhnnss" of a source file: 14 zero-padded digits,
// year, month, day, 24-hour hour, minute, second. 5 March 2024 14:07:09 is
// "20240305140709".

// Takes characters 1-4 as the year, 5-6 month, 7-8 day, 9-10 hour, 11-12 minute,
// 13-14 second; anything after the 14th character is ignored. Throws EErro naming
// the stamp when a piece is not a decimal integer filling its width (so any stamp
// shorter than 14 characters is refused) or the date or time is out of range.
TDateTime CarimboParaDataHora(const std::string& carimbo);

// Whole seconds; milliseconds are rounded first, as the date-time decoding does.
// 0 gives "18991230000000". Throws EErro for a value outside years 1 to 9999.
std::string DataHoraParaCarimbo(TDateTime valor);

// Stamps are compared as text, byte by byte (bytes unsigned), a prefix being smaller;
// for well-formed stamps this is the chronological order.
bool CarimboMenor(const std::string& a, const std::string& b);

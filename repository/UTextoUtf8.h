#pragma once
#include <string>
#include <string_view>

// Names and texts are bytes in the machine's code page or in UTF-8; front ends that show
// them or write them out as UTF-8 read them by one rule.

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool EUtf8Valido(std::string_view bytes);

// The text as UTF-8: every stretch of valid UTF-8 is kept as it is; every other byte is read
// as Windows-1252, the code page the parent application and the data files use.
std::string ParaUtf8(std::string_view bytes);

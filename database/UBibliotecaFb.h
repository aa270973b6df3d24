#pragma once
// Firebird's client library is loaded by name when it is first needed, not linked: the
// program starts without it, and a missing or wrong library becomes a sentence the user
// can act on instead of a system dialog at start-up.
#include <string>

namespace Firebird { class IMaster; }

// The client library's name on this system. Windows finds it in the program's folder
// first, then in the system folders and PATH.
#ifdef _WIN32
constexpr auto NomeBibliotecaFb = "fbclient.dll";
#else
constexpr auto NomeBibliotecaFb = "libfbclient.so.2";
#endif

// Loads the library named so and returns its master interface. Throws EErro, naming the
// library and saying what to do, when it cannot be loaded or is older than Firebird 3.
// The library stays loaded for the rest of the process: fbclient keeps threads and exit
// handlers of its own.
Firebird::IMaster* CarregaMestreFb(const std::string& nomeBiblioteca);

// Throws that same EErro when this system's client library cannot be loaded; it is loaded
// once and kept.
void VerificaBibliotecaFb();

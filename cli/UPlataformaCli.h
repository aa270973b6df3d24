#pragma once
#include <cstdio>
#include <string_view>

// The one place of the terminal front end that knows which operating system it runs on.

#ifdef _WIN32
constexpr std::string_view SeparadoresDiretorioCli = "\\/:";
constexpr char SeparadorPastaCli = '\\';
#else
constexpr std::string_view SeparadoresDiretorioCli = "/";
constexpr char SeparadorPastaCli = '/';
#endif

// Ctrl-C (and, where there is one, a polite termination request) from now on only asks the
// run to stop between two files; a second one ends the program at once, and the server then
// rolls back the file being written. Call it again once connected: Firebird's embedded engine
// sets handlers of its own when it starts, and its SIGINT handler shuts the attachment down
// in the middle of a file. Once a stop was asked it changes nothing.
void InstalaPedidoParada();
bool ParadaPedida();

// True when the stream is an interactive terminal, where a progress bar may be drawn.
bool EhTerminal(std::FILE* fluxo);

// Lets the console show the UTF-8 the program writes.
void PreparaConsole();

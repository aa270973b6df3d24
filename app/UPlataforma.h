#pragma once
#include <string>
#include <string_view>
#include <vector>

// The one place that knows which operating system the program runs on.

#ifdef _WIN32
constexpr std::string_view SeparadoresDiretorio = "\\:";
constexpr char SeparadorPasta = '\\';
#else
constexpr std::string_view SeparadoresDiretorio = "/";
constexpr char SeparadorPasta = '/';
#endif

// The full path of the running program file as the system reports it, not as it was
// typed; "" when the system cannot tell.
std::string CaminhoPrograma();

// Arguments 1, 2, ... On Windows the whole command line is split by our own rules; on
// other systems the shell has already split it, and empty arguments are dropped, since
// the Windows rules never produce one and the arguments after it move up.
std::vector<std::string> ArgumentosPrograma(int argc, char** argv);

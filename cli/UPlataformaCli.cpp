#include "UPlataformaCli.h"

#include <atomic>
#include <csignal>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

std::atomic<bool> GParada{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

}  // namespace

#ifdef _WIN32

namespace {

BOOL WINAPI AoControle(DWORD evento)
{
    if (evento != CTRL_C_EVENT && evento != CTRL_BREAK_EVENT) return FALSE;
    if (GParada.exchange(true)) return FALSE;   // the second one: the default handler ends us
    return TRUE;
}

}  // namespace

void InstalaPedidoParada()
{
    if (GParada.load()) return;
    SetConsoleCtrlHandler(AoControle, FALSE);   // once in the list, and first in it
    SetConsoleCtrlHandler(AoControle, TRUE);
}
bool EhTerminal(std::FILE* fluxo) { return _isatty(_fileno(fluxo)) != 0; }
void PreparaConsole() { SetConsoleOutputCP(CP_UTF8); }

#else

namespace {

void AoSinal(int sinal)
{
    GParada.store(true);
    std::signal(sinal, SIG_DFL);   // the second one ends the program at once
}

}  // namespace

void InstalaPedidoParada()
{
    if (GParada.load()) return;
    std::signal(SIGINT, AoSinal);
    std::signal(SIGTERM, AoSinal);
}
bool EhTerminal(std::FILE* fluxo) { return isatty(fileno(fluxo)) != 0; }
void PreparaConsole() {}

#endif

bool ParadaPedida() { return GParada.load(); }

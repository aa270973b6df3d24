#pragma once
// What the test fixtures ask of the operating system, the same way on Linux and Windows.

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

// A loopback port with nothing listening on it.
int PortaSemServidor();

// This process's identifier, to keep files of parallel test processes apart. Inline, so
// the fixtures that share UBancoTeste.cpp need no further source.
inline unsigned long IdProcesso()
{
#ifdef _WIN32
    return static_cast<unsigned long>(_getpid());
#else
    return static_cast<unsigned long>(getpid());
#endif
}

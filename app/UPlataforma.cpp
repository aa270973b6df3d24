#include "UPlataforma.h"

#ifdef _WIN32
#include "ULinhaComando.h"
#include <windows.h>
#else
#include <cstddef>
#include <unistd.h>
#endif

#ifdef _WIN32

std::string CaminhoPrograma()
{
    std::string caminho(MAX_PATH, '\0');
    for (;;) {
        const DWORD tamanho = GetModuleFileNameA(nullptr, caminho.data(), static_cast<DWORD>(caminho.size()));
        if (tamanho == 0) return {};
        if (tamanho < caminho.size()) { caminho.resize(tamanho); return caminho; }
        caminho.resize(caminho.size() * 2);
    }
}

std::vector<std::string> ArgumentosPrograma(int, char**)
{
    return DivideLinhaComando(GetCommandLineA());
}

#else

std::string CaminhoPrograma()
{
    std::string caminho(256, '\0');
    for (;;) {
        const auto tamanho = readlink("/proc/self/exe", caminho.data(), caminho.size());
        if (tamanho < 0) return {};
        // readlink does not say when it cut the path short, only that it filled the buffer.
        if (static_cast<std::size_t>(tamanho) < caminho.size()) {
            caminho.resize(static_cast<std::size_t>(tamanho));
            return caminho;
        }
        caminho.resize(caminho.size() * 2);
    }
}

std::vector<std::string> ArgumentosPrograma(int argc, char** argv)
{
    std::vector<std::string> argumentos;
    for (int i = 1; i < argc; ++i)
        if (argv[i] != nullptr && argv[i][0] != '\0') argumentos.emplace_back(argv[i]);
    return argumentos;
}

#endif

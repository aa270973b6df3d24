#include "UMedicao.h"

#include <malloc.h>
#include <time.h>

#include <algorithm>
#include <fstream>
#include <string>

namespace {

double Segundos(clockid_t relogio)
{
    timespec agora{};
    clock_gettime(relogio, &agora);
    return static_cast<double>(agora.tv_sec) + static_cast<double>(agora.tv_nsec) * 1e-9;
}

TMedida Agora() { return {Segundos(CLOCK_MONOTONIC), Segundos(CLOCK_PROCESS_CPUTIME_ID)}; }

std::size_t LinhaDoStatus(const std::string& nome)
{
    std::ifstream status("/proc/self/status");
    std::string linha;
    while (std::getline(status, linha))
        if (linha.compare(0, nome.size(), nome) == 0 && linha.size() > nome.size() && linha[nome.size()] == ':')
            return std::stoul(linha.substr(nome.size() + 1)) * 1024;   // the kernel writes kB
    return 0;
}

} // namespace

TMedida operator+(const TMedida& a, const TMedida& b) { return {a.Parede + b.Parede, a.Cpu + b.Cpu}; }

TCronometro::TCronometro() : FInicio(Agora()) {}

TMedida TCronometro::Medida() const
{
    const TMedida agora = Agora();
    return {agora.Parede - FInicio.Parede, agora.Cpu - FInicio.Cpu};
}

double Mediana(std::vector<double> valores)
{
    if (valores.empty()) return 0;
    std::sort(valores.begin(), valores.end());
    const std::size_t meio = valores.size() / 2;
    return valores.size() % 2 ? valores[meio] : (valores[meio - 1] + valores[meio]) / 2;
}

std::size_t BytesEmUsoNoHeap()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

std::size_t BytesResidentes() { return LinhaDoStatus("VmRSS"); }
std::size_t PicoResidente() { return LinhaDoStatus("VmHWM"); }

bool ReiniciaPicoResidente()
{
    std::ofstream arquivo("/proc/self/clear_refs");
    arquivo << "5";   // 5: reset the peak resident set to the current one
    arquivo.flush();
    return static_cast<bool>(arquivo);
}

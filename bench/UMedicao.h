#pragma once
// Clocks and memory readings for the benchmarks. Wall-clock time on a shared machine swings
// between identical runs, so each reading carries the process's own CPU time beside it.
#include <cstddef>
#include <vector>

struct TMedida {
    double Parede = 0;   // seconds of wall-clock time
    double Cpu = 0;      // seconds of CPU time of this process, every thread counted
};

TMedida operator+(const TMedida& a, const TMedida& b);

// Running from the moment it is made.
class TCronometro {
public:
    TCronometro();
    TMedida Medida() const;

private:
    TMedida FInicio;
};

double Mediana(std::vector<double> valores);   // 0 for none

// Bytes the allocator has handed out and not taken back, its mmapped blocks included.
std::size_t BytesEmUsoNoHeap();
// The resident set now and its peak, in bytes, from /proc/self/status (0 when unreadable).
std::size_t BytesResidentes();
std::size_t PicoResidente();
// Makes the peak start again from the resident set of now; false when the kernel refuses.
bool ReiniciaPicoResidente();

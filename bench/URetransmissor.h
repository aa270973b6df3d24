#pragma once
// A relay on loopback that stands for a distant server: every chunk read from either side is
// written to the other side the given number of milliseconds later, and every turn of the
// conversation (a client chunk that follows a server chunk) is counted as one round trip.
// The kernel's own delay (netem) is not available on every machine; this needs nothing.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TRetransmissor {
public:
    // Listens on 127.0.0.1 at a port of the system's choosing and relays to destino:porta.
    TRetransmissor(const std::string& destino, int porta, int atrasoMs);
    ~TRetransmissor();   // closes every connection and joins its threads
    TRetransmissor(const TRetransmissor&) = delete;
    TRetransmissor& operator=(const TRetransmissor&) = delete;

    int Porta() const { return FPorta; }
    std::uint64_t Voltas() const { return FVoltas; }   // round trips since the relay was made

private:
    struct TLigacao;
    void Aceita();
    void Bombeia(TLigacao& ligacao, int de, int para, bool doCliente);

    std::string FDestino;
    int FPortaDestino;
    int FAtraso;
    int FEscuta = -1;
    int FPorta = 0;
    std::atomic<bool> FParando{false};
    std::atomic<std::uint64_t> FVoltas{0};
    std::thread FAceitador;
    std::mutex FMutex;
    std::vector<std::unique_ptr<TLigacao>> FLigacoes;
};

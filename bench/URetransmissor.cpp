#include "URetransmissor.h"
#include "UErro.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <deque>

using TRelogio = std::chrono::steady_clock;

// One client connection: the socket to the client, the one to the server, and for each
// direction a reader that timestamps chunks and a writer that sends them when they are due.
struct TRetransmissor::TLigacao {
    struct TSentido {
        std::mutex Mutex;
        std::condition_variable Aviso;
        std::deque<std::pair<TRelogio::time_point, std::string>> Fila;
        bool Fim = false;
    };
    int Cliente = -1;
    int Servidor = -1;
    std::atomic<int> Ultimo{0};   // 1: the client spoke last, 2: the server did
    TSentido Ida, Volta;
    std::vector<std::thread> Linhas;
};

namespace {

int Conecta(const std::string& destino, int porta)
{
    addrinfo dica{};
    dica.ai_family = AF_INET;
    dica.ai_socktype = SOCK_STREAM;
    addrinfo* enderecos = nullptr;
    if (getaddrinfo(destino.c_str(), std::to_string(porta).c_str(), &dica, &enderecos) != 0 || !enderecos)
        throw EErro("O retransmissor não achou " + destino + ".");
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    const int r = connect(s, enderecos->ai_addr, enderecos->ai_addrlen);
    freeaddrinfo(enderecos);
    if (r != 0) {
        close(s);
        throw EErro("O retransmissor não conectou a " + destino + ":" + std::to_string(porta) + ".");
    }
    return s;
}

void SemNagle(int s)
{
    const int sim = 1;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &sim, sizeof sim);
}

} // namespace

TRetransmissor::TRetransmissor(const std::string& destino, int porta, int atrasoMs)
    : FDestino(destino), FPortaDestino(porta), FAtraso(atrasoMs)
{
    FEscuta = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in endereco{};
    endereco.sin_family = AF_INET;
    endereco.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t tamanho = sizeof endereco;
    if (bind(FEscuta, reinterpret_cast<sockaddr*>(&endereco), sizeof endereco) != 0 || listen(FEscuta, 16) != 0
        || getsockname(FEscuta, reinterpret_cast<sockaddr*>(&endereco), &tamanho) != 0) {
        close(FEscuta);
        throw EErro("O retransmissor não pôde escutar em 127.0.0.1.");
    }
    FPorta = ntohs(endereco.sin_port);
    FAceitador = std::thread([this] { Aceita(); });
}

TRetransmissor::~TRetransmissor()
{
    FParando = true;
    shutdown(FEscuta, SHUT_RDWR);
    close(FEscuta);
    FAceitador.join();
    for (auto& ligacao : FLigacoes) {
        shutdown(ligacao->Cliente, SHUT_RDWR);
        shutdown(ligacao->Servidor, SHUT_RDWR);
        for (auto* sentido : {&ligacao->Ida, &ligacao->Volta}) {
            const std::lock_guard trava(sentido->Mutex);
            sentido->Fim = true;
            sentido->Aviso.notify_all();
        }
        for (std::thread& linha : ligacao->Linhas) linha.join();
        close(ligacao->Cliente);
        close(ligacao->Servidor);
    }
}

void TRetransmissor::Aceita()
{
    while (!FParando) {
        const int cliente = accept(FEscuta, nullptr, nullptr);
        if (cliente < 0) continue;
        auto ligacao = std::make_unique<TLigacao>();
        ligacao->Cliente = cliente;
        try {
            ligacao->Servidor = Conecta(FDestino, FPortaDestino);
        } catch (const EErro&) {
            close(cliente);
            continue;
        }
        SemNagle(ligacao->Cliente);
        SemNagle(ligacao->Servidor);
        TLigacao& l = *ligacao;
        l.Linhas.emplace_back([this, &l] { Bombeia(l, l.Cliente, l.Servidor, true); });
        l.Linhas.emplace_back([this, &l] { Bombeia(l, l.Servidor, l.Cliente, false); });
        const std::lock_guard trava(FMutex);
        FLigacoes.push_back(std::move(ligacao));
    }
}

void TRetransmissor::Bombeia(TLigacao& ligacao, int de, int para, bool doCliente)
{
    TLigacao::TSentido& sentido = doCliente ? ligacao.Ida : ligacao.Volta;
    // The writer: each chunk leaves when its delay is over, in the order it came.
    std::thread escritor([&sentido, para] {
        for (;;) {
            std::unique_lock trava(sentido.Mutex);
            sentido.Aviso.wait(trava, [&] { return sentido.Fim || !sentido.Fila.empty(); });
            if (sentido.Fila.empty()) break;
            auto [quando, pedaco] = std::move(sentido.Fila.front());
            sentido.Fila.pop_front();
            trava.unlock();
            std::this_thread::sleep_until(quando);
            for (std::size_t enviado = 0; enviado < pedaco.size();) {
                const ssize_t n = send(para, pedaco.data() + enviado, pedaco.size() - enviado, MSG_NOSIGNAL);
                if (n <= 0) return;
                enviado += static_cast<std::size_t>(n);
            }
        }
        shutdown(para, SHUT_WR);
    });
    std::string buffer(1 << 16, '\0');
    for (;;) {
        const ssize_t n = recv(de, buffer.data(), buffer.size(), 0);
        if (n <= 0) break;
        if (doCliente) {
            if (ligacao.Ultimo.exchange(1) != 1) ++FVoltas;
        } else {
            ligacao.Ultimo = 2;
        }
        const std::lock_guard trava(sentido.Mutex);
        sentido.Fila.emplace_back(TRelogio::now() + std::chrono::milliseconds(FAtraso), buffer.substr(0, static_cast<std::size_t>(n)));
        sentido.Aviso.notify_all();
    }
    {
        const std::lock_guard trava(sentido.Mutex);
        sentido.Fim = true;
        sentido.Aviso.notify_all();
    }
    escritor.join();
}

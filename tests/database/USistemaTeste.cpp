#include "USistemaTeste.h"

#ifdef _WIN32
#include <winsock2.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
using TSoquete = SOCKET;
using TTamanhoEndereco = int;
void FechaSoquete(TSoquete s) { closesocket(s); }

// Winsock must be started once per process before any socket call.
struct TWinsock {
    TWinsock() { WSADATA dados; WSAStartup(MAKEWORD(2, 2), &dados); }
    ~TWinsock() { WSACleanup(); }
};
#else
using TSoquete = int;
using TTamanhoEndereco = socklen_t;
void FechaSoquete(TSoquete s) { close(s); }
struct TWinsock {};
#endif

} // namespace

int PortaSemServidor()
{
    static TWinsock winsock;
    (void)winsock;
    const TSoquete s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in endereco{};
    endereco.sin_family = AF_INET;
    endereco.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // Port 0: the system picks a free one, which is released again when the socket closes.
    bind(s, reinterpret_cast<sockaddr*>(&endereco), sizeof endereco);
    TTamanhoEndereco tamanho = sizeof endereco;
    getsockname(s, reinterpret_cast<sockaddr*>(&endereco), &tamanho);
    FechaSoquete(s);
    return ntohs(endereco.sin_port);
}

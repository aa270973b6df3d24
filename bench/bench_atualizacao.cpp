// The whole update run (list file, writer and apply step, as "Atualizar" starts it) on
// loopback and through a relay that delays every chunk in each direction, batched and the
// way it was before batching, side by side in one run:
//   (a) 10 files of 2,000 lines and (b) 200 files of 10 lines, each new and then rewritten
//   with every line changed.
//   bench_atualizacao [DELAY_MS]   against the test server: scripts/with-test-server, or scripts/bench
#include "UAtualizacao.h"
#include "UBancoTeste.h"
#include "UDM.h"
#include "UErro.h"
#include "UMedicao.h"
#include "URetransmissor.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr int AtrasoPadrao = 1;

// A window reduced to what the run needs; a message means the run went wrong.
class TJanelaMuda : public IJanelaAtualizacao {
public:
    std::string Maquina, BancoDados;
    std::vector<std::string> Mensagens;
    bool PodeFechar = true;
    std::string TextoMaquina() const override { return Maquina; }
    std::string TextoBancoDados() const override { return BancoDados; }
    void HabilitaAtualizar(bool) override {}
    void MostraPagina(TPagina) override {}
    void LimpaDisplay() override {}
    void AdicionaLinhaDisplay(const std::string&) override {}
    void DefineMaximoProgresso(int) override {}
    void AvancaProgresso() override {}
    void ProcessaMensagens() override {}
    bool LePodeFechar() const override { return PodeFechar; }
    void DefinePodeFechar(bool podeFechar) override { PodeFechar = podeFechar; }
    void FechaJanelaPrincipal() override {}
    void Mensagem(const std::string& texto) override { Mensagens.push_back(texto); }
};

struct TCenario {
    const char* Nome;
    int Arquivos;
    int Linhas;
};
constexpr TCenario Cenarios[] = {{"(a) 10 x 2,000", 10, 2000}, {"(b) 200 x 10", 200, 10}};
enum TFase { Novo, Reescrito };
constexpr const char* NomesFases[] = {"new", "rewritten"};
enum TModo { EmLotes, PorLinha };
constexpr const char* NomesModos[] = {"batched", "per-row"};

struct TRodada {
    double Segundos = 0;
    double Voltas = 0;   // through the relay only
};

std::string Ambiente(const char* nome)
{
    const char* valor = std::getenv(nome);
    return valor ? valor : "";
}

// Files stamped by version, every line different from the other version's.
void EscreveArquivos(const std::filesystem::path& pasta, const TCenario& cenario, char versao)
{
    std::ofstream lista(pasta / "ListaArquivos.txt");
    for (int a = 0; a < cenario.Arquivos; ++a) {
        const std::string nome = "arquivo" + std::to_string(a) + ".pas";
        lista << nome << "\n";
        std::ofstream arquivo(pasta / nome, std::ios::binary);
        arquivo << nome << ";2024030" << (versao == 'A' ? '1' : '2') << "140709\n";
        for (int l = 0; l < cenario.Linhas; ++l)
            arquivo << versao << " linha " << l << " de " << nome << ": procedure Faz" << l << "(const Valor: Integer);\n";
    }
}

TRodada Roda(TBancoTeste& banco, const std::filesystem::path& pasta, const std::string& maquina, TModo modo, TRetransmissor* relay)
{
    TDM dm;
    dm.Usuario = Ambiente("ATUALIZADOR_TEST_USER");
    dm.Senha = Ambiente("ATUALIZADOR_TEST_PASSWORD");
    dm.conexao.EnviaPorLinha(modo == PorLinha);
    TJanelaMuda janela;
    janela.Maquina = maquina;
    janela.BancoDados = banco.Caminho();
    const std::uint64_t voltas = relay ? relay->Voltas() : 0;
    const TCronometro cronometro;
    ExecutaAtualizacao(dm, janela, {pasta.string() + "/", '/', "SISTEMA\\"});
    TRodada rodada{cronometro.Medida().Parede, relay ? static_cast<double>(relay->Voltas() - voltas) : 0};
    if (!janela.Mensagens.empty()) throw EErro("A execução avisou: " + janela.Mensagens.front());
    return rodada;
}

void Confere(TBancoTeste& banco, const TCenario& cenario, char versao)
{
    const auto linhas = banco.Valor("SELECT COUNT(*) FROM REPOSITORIO_DADOS WHERE DADOS STARTING WITH '" + std::string(1, versao) + " '");
    if (linhas != std::to_string(cenario.Arquivos * cenario.Linhas))
        throw EErro(std::string("O corpo tem ") + linhas.value_or("?") + " linhas da versão " + versao + " em " + cenario.Nome + ".");
}

const char* Passa(bool passa) { return passa ? "PASS " : "FAIL "; }

} // namespace

int main(int argc, char** argv)
{
    const int atraso = argc >= 2 ? std::atoi(argv[1]) : AtrasoPadrao;
    if (argc > 2 || atraso < 0) {
        std::fprintf(stderr, "usage: %s [DELAY_MS]   (default %d ms each way)\n", argv[0], AtrasoPadrao);
        return 2;
    }
    const std::string servidor = ServidorTeste();
    if (servidor.empty()) {
        std::fprintf(stderr, "bench_atualizacao: %s\n", SemServidorTeste().c_str());
        return 2;
    }
    const auto pasta = std::filesystem::temp_directory_path() / ("atualizador-bench-" + std::to_string(getpid()));
    try {
        TBancoTeste banco("bench_atualizacao", {});
        const auto barra = servidor.find('/');
        TRetransmissor relay(servidor.substr(0, barra), std::atoi(servidor.substr(barra + 1).c_str()), atraso);
        const std::string viaRelay = "127.0.0.1/" + std::to_string(relay.Porta());
        std::filesystem::create_directories(pasta);
        std::printf("bench_atualizacao: the whole update run, server %s on loopback and through a relay at +%d ms each way\n",
                    servidor.c_str(), atraso);

        // Round trips of a run with an empty list: attach, detach and what surrounds them.
        std::ofstream(pasta / "ListaArquivos.txt").close();
        std::map<TModo, double> vazia;
        for (TModo modo : {EmLotes, PorLinha}) vazia[modo] = Roda(banco, pasta, viaRelay, modo, &relay).Voltas;

        // [cenario][fase][modo][0 loopback, 1 relay]
        TRodada r[2][2][2][2];
        for (int c = 0; c < 2; ++c)
            for (TModo modo : {EmLotes, PorLinha})
                for (int via = 0; via < 2; ++via) {
                    banco.EsvaziaTabelas();
                    for (TFase fase : {Novo, Reescrito}) {
                        const char versao = fase == Novo ? 'A' : 'B';
                        EscreveArquivos(pasta, Cenarios[c], versao);
                        r[c][fase][modo][via] = Roda(banco, pasta, via ? viaRelay : servidor, modo, via ? &relay : nullptr);
                        Confere(banco, Cenarios[c], versao);
                    }
                    std::fprintf(stderr, "%s %s %s done\n", Cenarios[c].Nome, NomesModos[modo], via ? "relay" : "loopback");
                }

        std::printf("\nseconds of the run; round trips counted by the relay, the empty run's %.0f taken off; ratios are per-row / batched\n\n",
                    vazia[EmLotes]);
        std::printf("%-15s %-9s %-8s %9s %9s %7s %9s %9s\n", "scenario", "files", "way", "loopback", "+relay", "relay/", "trips per", "trips per");
        std::printf("%-15s %-9s %-8s %9s %9s %7s %9s %9s\n", "", "", "", "s", "s", "loop", "file", "1000 rows");
        for (int c = 0; c < 2; ++c)
            for (TFase fase : {Novo, Reescrito})
                for (TModo modo : {EmLotes, PorLinha}) {
                    const TCenario& k = Cenarios[c];
                    const TRodada& loop = r[c][fase][modo][0];
                    const TRodada& rel = r[c][fase][modo][1];
                    const double voltas = rel.Voltas - vazia[modo];
                    std::printf("%-15s %-9s %-8s %9.2f %9.2f %7.1f %9.1f %9.1f\n", k.Nome, NomesFases[fase], NomesModos[modo], loop.Segundos,
                                rel.Segundos, rel.Segundos / loop.Segundos, voltas / k.Arquivos, voltas * 1000.0 / (k.Arquivos * k.Linhas));
                }
        std::printf("\n%-15s %-9s %14s %14s\n", "scenario", "files", "speed-up loop", "speed-up relay");
        for (int c = 0; c < 2; ++c)
            for (TFase fase : {Novo, Reescrito})
                std::printf("%-15s %-9s %14.2f %14.2f\n", Cenarios[c].Nome, NomesFases[fase],
                            r[c][fase][PorLinha][0].Segundos / r[c][fase][EmLotes][0].Segundos,
                            r[c][fase][PorLinha][1].Segundos / r[c][fase][EmLotes][1].Segundos);

        std::printf("\n");
        const double novoDez = (r[1][Novo][EmLotes][1].Voltas - vazia[EmLotes]) / Cenarios[1].Arquivos;
        const double novoDezAntes = (r[1][Novo][PorLinha][1].Voltas - vazia[PorLinha]) / Cenarios[1].Arquivos;
        std::printf("%sround trips of a new 10-line file, whole sequence: %.1f (target <= 9; per-row way %.1f)\n", Passa(novoDez <= 9),
                    novoDez, novoDezAntes);
        for (TFase fase : {Novo, Reescrito}) {
            const double razao = r[0][fase][EmLotes][1].Segundos / r[0][fase][EmLotes][0].Segundos;
            std::printf("%s(a) %s through the relay: %.2f x its loopback time (target <= 2; per-row way %.1f x)\n", Passa(razao <= 2),
                        NomesFases[fase], razao, r[0][fase][PorLinha][1].Segundos / r[0][fase][PorLinha][0].Segundos);
        }
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "bench_atualizacao: %s\n", e.what());
        std::filesystem::remove_all(pasta);
        return 1;
    }
    std::filesystem::remove_all(pasta);
    return 0;
}

#include "URelatorioAplicacao.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <thread>

namespace {

constexpr double RazaoMinima = 0.8;
// Batched over per-row rows/s on loopback, and round trips per 1,000 rows written.
constexpr double GanhoMinimo[] = {2.5, 2.0, 2.5};
constexpr double VoltasMaximas = 5;

} // namespace

std::string Maquina()
{
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string linha, modelo = "?";
    while (std::getline(cpuinfo, linha))
        if (linha.rfind("model name", 0) == 0) {
            modelo = linha.substr(linha.find(':') + 2);
            break;
        }
    return std::to_string(std::thread::hardware_concurrency()) + " cores, " + modelo;
}

namespace {

double Minimo(const std::vector<double>& valores) { return *std::min_element(valores.begin(), valores.end()); }

template <class TRodada, class TLeitura> std::vector<double> Colhe(const std::vector<TRodada>& rodadas, TLeitura leitura)
{
    std::vector<double> valores;
    for (const TRodada& r : rodadas) valores.push_back(leitura(r));
    return valores;
}

} // namespace

void Relata(int linhasFase, const std::vector<TRodadaNossa>& nossas, const std::vector<TRodadaSimples>& simples,
            const std::vector<TRodadaSimples>& contando, const std::vector<TRodadaNossa>& emLotes,
            const std::array<TRodadaNossa, 2>& viaRelay)
{
    const double linhas = linhasFase;
    const std::size_t rodadas = nossas.size();
    std::printf("\nbatched apply step against the per-row way (rows/s best of %zu rounds); round trips per 1,000 rows\n"
                "counted by a relay on loopback:\n\n", nossas.size());
    std::printf("%-7s %13s %13s %7s %7s %11s %11s\n", "phase", "batched", "per-row", "best", "median", "batched", "per-row");
    std::printf("%-7s %13s %13s %7s %7s %11s %11s\n", "", "rows/s", "rows/s", "ratio", "ratio", "trips/1000", "trips/1000");
    std::array<double, TotalFases> ganhos{}, voltas{};
    for (int f = 0; f < TotalFases; ++f) {
        const auto lote = Colhe(emLotes, [f](const TRodadaNossa& r) { return r.Fases[f].Aplicacao.Parede; });
        const auto linha = Colhe(nossas, [f](const TRodadaNossa& r) { return r.Fases[f].Aplicacao.Parede; });
        std::vector<double> porRodada;
        for (std::size_t r = 0; r < lote.size(); ++r) porRodada.push_back(linha[r] / lote[r]);
        ganhos[f] = Minimo(linha) / Minimo(lote);
        voltas[f] = static_cast<double>(viaRelay[0].Fases[f].Voltas) * 1000.0 / linhasFase;
        std::printf("%-7s %13.0f %13.0f %7.2f %7.2f %11.1f %11.1f\n", NomesFases[f], linhasFase / Minimo(lote), linhasFase / Minimo(linha),
                    ganhos[f], Mediana(porRodada), voltas[f], static_cast<double>(viaRelay[1].Fases[f].Voltas) * 1000.0 / linhasFase);
    }

    std::printf("\nthe per-row way against a plain fbclient loop of the same statements.\n");
    std::printf("rows/s are best of %zu rounds; a ratio is ours / plain loop (best over best, and the median of the rounds' own);\n"
                "client CPU is this process's CPU time per row, median of the rounds.\n\n", rodadas);
    std::printf("%-7s %13s %12s %7s %7s %11s %11s\n", "phase", "ours apply", "plain loop", "best", "median", "CPU ours", "CPU plain");
    std::printf("%-7s %13s %12s %7s %7s %11s %11s\n", "", "rows/s", "rows/s", "ratio", "ratio", "us/row", "us/row");
    std::array<double, TotalFases> razoes{}, medianas{};
    for (int f = 0; f < TotalFases; ++f) {
        const auto nossa = Colhe(nossas, [f](const TRodadaNossa& r) { return r.Fases[f].Aplicacao.Parede; });
        const auto laco = Colhe(simples, [f](const TRodadaSimples& r) { return r.Fases[f].Parede; });
        std::vector<double> porRodada;
        for (std::size_t r = 0; r < rodadas; ++r) porRodada.push_back(laco[r] / nossa[r]);
        razoes[f] = Minimo(laco) / Minimo(nossa);
        medianas[f] = Mediana(porRodada);
        const double cpuNossa = Mediana(Colhe(nossas, [f](const TRodadaNossa& r) { return r.Fases[f].Aplicacao.Cpu; })) / linhas * 1e6;
        const double cpuLaco = Mediana(Colhe(simples, [f](const TRodadaSimples& r) { return r.Fases[f].Cpu; })) / linhas * 1e6;
        std::printf("%-7s %13.0f %12.0f %7.2f %7.2f %11.1f %11.1f\n", NomesFases[f], linhas / Minimo(nossa), linhas / Minimo(laco),
                    razoes[f], medianas[f], cpuNossa, cpuLaco);
    }

    std::printf("\nours with the cache work before ApplyUpdates (Append/Edit/Delete, field writes, Post):\n");
    std::printf("%-7s %13s %12s %11s\n", "phase", "rows/s", "ratio", "Post us/row");
    for (int f = 0; f < TotalFases; ++f) {
        const auto total = Colhe(nossas, [f](const TRodadaNossa& r) { return (r.Fases[f].Postagem + r.Fases[f].Aplicacao).Parede; });
        const auto laco = Colhe(simples, [f](const TRodadaSimples& r) { return r.Fases[f].Parede; });
        const double cpuPost = Mediana(Colhe(nossas, [f](const TRodadaNossa& r) { return r.Fases[f].Postagem.Cpu; })) / linhas * 1e6;
        std::printf("%-7s %13.0f %12.2f %11.1f\n", NomesFases[f], linhas / Minimo(total), Minimo(laco) / Minimo(total), cpuPost);
    }
    const auto leitura = Colhe(nossas, [](const TRodadaNossa& r) { return r.Leitura.Parede; });
    std::printf("Open of the %d rows before the updates: best %.3f s\n", linhasFase, Minimo(leitura));

    std::printf("\nplain loop that also asks the server, after each UPDATE and DELETE, how many rows it reached\n"
                "(getAffectedRecords; the apply step learns it from RETURNING 1 instead, in the same round trip):\n");
    std::printf("%-7s %13s %12s %11s\n", "phase", "rows/s", "ours/this", "CPU us/row");
    for (int f = Atualizacao; f < TotalFases; ++f) {
        const auto nossa = Colhe(nossas, [f](const TRodadaNossa& r) { return r.Fases[f].Aplicacao.Parede; });
        const auto laco = Colhe(contando, [f](const TRodadaSimples& r) { return r.Fases[f].Parede; });
        const double cpu = Mediana(Colhe(contando, [f](const TRodadaSimples& r) { return r.Fases[f].Cpu; })) / linhas * 1e6;
        std::printf("%-7s %13.0f %12.2f %11.1f\n", NomesFases[f], linhas / Minimo(laco), Minimo(laco) / Minimo(nossa), cpu);
    }

    std::printf("\n");
    for (int f = 0; f < TotalFases; ++f) {
        std::printf("%s %s: batched / per-row %.2f (target >= %.1f)\n", ganhos[f] >= GanhoMinimo[f] ? "PASS " : "FAIL ", NomesFases[f],
                    ganhos[f], GanhoMinimo[f]);
        std::printf("%s %s: round trips per 1,000 rows %.1f (target <= %.0f)\n", voltas[f] <= VoltasMaximas ? "PASS " : "FAIL ",
                    NomesFases[f], voltas[f], VoltasMaximas);
    }
    for (int f = 0; f < TotalFases; ++f)
        std::printf("%s %s: per-row ours / plain loop %.2f %s %.2f (median of the rounds %.2f)\n", razoes[f] >= RazaoMinima ? "PASS " : "BELOW",
                    NomesFases[f], razoes[f], razoes[f] >= RazaoMinima ? ">=" : "<", RazaoMinima, medianas[f]);
}

// Rows per second of the apply step, run as the repository writer runs it (ApplyUpdates(0)
// inside an explicit transaction), for inserts, then updates, then deletes: batched, and the
// way before batching (a statement per row) side by side with a plain fbclient loop of the
// very statements it sent; the round trips of each way, counted by a relay; then the memory
// a large cached set takes against the bytes of its values.
//   bench_aplicacao [ROUNDS [ROWS]]   against the test server: scripts/with-test-server, or scripts/bench
// Fewer rows are for profiling (valgrind runs the client some fifty times slower).
#include "UBancoTeste.h"
#include "UDM.h"
#include "UErro.h"
#include "ULacoSimples.h"
#include "UMedicao.h"
#include "UFasesAplicacao.h"
#include "UMemoriaConjunto.h"
#include "UPreenchimentoLaco.h"
#include "URelatorioAplicacao.h"
#include "URetransmissor.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int LinhasPadrao = 20'000;
int Linhas = LinhasPadrao;   // per phase; set once from the command line
int LinhasMemoria = 5 * LinhasPadrao;
constexpr std::size_t TamanhoDados = 80;
constexpr int LarguraDados = 32765;   // as REPOSITORIO_DADOS.DADOS
constexpr std::uint32_t IdTransacao = 50;   // the writer's
constexpr int RodadasPadrao = 5;

constexpr std::array<const char*, TotalFases> Verbos{"INSERT", "UPDATE", "DELETE"};

std::string Ambiente(const char* nome)
{
    const char* valor = std::getenv(nome);
    return valor ? valor : "";
}

// 80 bytes that differ in every row and every version, so a where-all condition that sent
// anything but the exact value read would find no row.
std::string Dados(char versao, int linha)
{
    std::string texto(TamanhoDados, ' ');
    std::snprintf(texto.data(), 9, "%c%07d", versao, linha);
    for (std::size_t i = 8; i < TamanhoDados; ++i) texto[i] = static_cast<char>('a' + (i + static_cast<std::size_t>(linha)) % 26);
    return texto;
}

struct TValores {
    std::vector<std::string> Originais;   // as inserted
    std::vector<std::string> Novos;       // as updated
};

TValores GeraValores()
{
    TValores valores;
    for (int i = 0; i < Linhas; ++i) {
        valores.Originais.push_back(Dados('A', i));
        valores.Novos.push_back(Dados('B', i));
    }
    return valores;
}

std::string CriaTabela(TBancoTeste& banco, const std::string& nome)
{
    banco.Executa("CREATE TABLE " + nome + " (ID INTEGER NOT NULL, SEQUENCIA INTEGER NOT NULL, DADOS VARCHAR("
                  + std::to_string(LarguraDados) + ") CHARACTER SET NONE, CONSTRAINT PK_" + nome + " PRIMARY KEY (ID, SEQUENCIA))");
    return nome;
}

// Through the fixture's own attachment: each side must really have done its work. The full
// read also collects the old record versions, so neither side inherits the other's garbage.
void ConfereTabela(TBancoTeste& banco, const std::string& tabela, int esperadas, char versao)
{
    const auto total = banco.Valor("SELECT COUNT(*) FROM " + tabela);
    const auto daVersao = banco.Valor("SELECT COUNT(*) FROM " + tabela + " WHERE DADOS STARTING WITH '" + std::string(1, versao) + "'");
    if (total != std::to_string(esperadas) || daVersao != std::to_string(esperadas))
        throw EErro("A tabela " + tabela + " tem " + total.value_or("?") + " linhas, " + daVersao.value_or("?") + " da versão "
                    + versao + "; esperadas " + std::to_string(esperadas) + ".");
}

// The statement texts the apply step sent, one per phase, for the table they were sent to.
struct TTextosAplicacao {
    std::string Tabela;
    std::array<std::string, TotalFases> Textos;

    std::string Para(TFase fase, const std::string& tabela) const
    {
        std::string texto = Textos[fase];
        const std::string de = "\"" + Tabela + "\"", para = "\"" + tabela + "\"";
        for (std::size_t i = texto.find(de); i != std::string::npos; i = texto.find(de, i + para.size())) texto.replace(i, de.size(), para);
        return texto;
    }
};

// --- our layer ---

enum class TModo { EmLotes, PorLinha };

struct TSemAlteracao {
    int Alteracoes = -1;
    std::uint64_t Executados = 0;
    std::uint64_t Transacoes = 0;
};

TMedida AplicaNaTransacao(TDM& dm)
{
    const TCronometro cronometro;
    ExigeTransacao(dm.IniciaTransacao(IdTransacao));
    if (dm.cdsDados.ApplyUpdates(0) != 0) {
        (void)dm.CancelaTransacao(IdTransacao);
        throw EErro("ApplyUpdates falhou: " + dm.cdsDados.UltimoErroAplicacao());
    }
    ExigeTransacao(dm.ConfirmaTransacao(IdTransacao));
    return cronometro.Medida();
}

// The one text the phase executed for every row; anything else breaks the comparison.
std::string TextoUnico(const std::vector<std::string>& registrados, std::size_t desde, TFase fase)
{
    std::string texto;
    int vezes = 0;
    for (std::size_t i = desde; i < registrados.size(); ++i) {
        if (registrados[i].rfind(Verbos[fase], 0) != 0) continue;
        if (!texto.empty() && registrados[i] != texto)
            throw EErro(std::string("A fase ") + NomesFases[fase] + " enviou mais de um texto:\n  " + texto + "\n  " + registrados[i]);
        texto = registrados[i];
        ++vezes;
    }
    if (vezes != Linhas)
        throw EErro(std::string("A fase ") + NomesFases[fase] + " executou " + std::to_string(vezes) + " comandos para "
                    + std::to_string(Linhas) + " linhas.");
    return texto;
}

// An Edit that writes back the values already there must leave nothing for ApplyUpdates.
TSemAlteracao EditaSemAlterar(TDM& dm)
{
    TClientDataSet& dados = dm.cdsDados;
    for (dados.First(); !dados.Eof(); dados.Next()) {
        dados.Edit();
        dados.FieldByName("DADOS").SetAsString(dados.FieldByName("DADOS").AsString());
        dados.FieldByName("SEQUENCIA").SetAsInteger(dados.FieldByName("SEQUENCIA").AsInteger());
        dados.Post();
    }
    TSemAlteracao resultado;
    resultado.Alteracoes = dados.ChangeCount();
    const auto executados = dm.conexao.ComandosExecutados();
    const auto transacoes = dm.conexao.TransacoesIniciadas();
    if (dados.ApplyUpdates(0) != 0) throw EErro("ApplyUpdates sem alterações falhou: " + dados.UltimoErroAplicacao());
    resultado.Executados = dm.conexao.ComandosExecutados() - executados;
    resultado.Transacoes = dm.conexao.TransacoesIniciadas() - transacoes;
    return resultado;
}

// The three phases through the layer, as the writer drives it. With textos given (the
// warm-up), the texts sent are recorded there and the unchanged-edit check runs too.
TRodadaNossa MedeNossa(TBancoTeste& banco, const std::string& tabela, const TValores& valores, TTextosAplicacao* textos,
                       TSemAlteracao* semAlteracao, TModo modo, TRetransmissor* relay = nullptr)
{
    TDM dm;
    banco.Configura(dm.conexao);
    dm.conexao.EnviaPorLinha(modo == TModo::PorLinha);
    if (relay) dm.conexao.DefineParametro("DataBase", "127.0.0.1/" + std::to_string(relay->Porta()) + ":" + banco.Caminho());
    dm.conexao.SetConnected(true);
    dm.conexao.RegistraComandos(textos != nullptr);
    TClientDataSet& dados = dm.cdsDados;
    TRodadaNossa rodada;

    const auto aplica = [&](TFase fase) {
        const auto executados = dm.conexao.ComandosExecutados();
        const auto preparados = dm.conexao.ComandosPreparados();
        const std::size_t registrados = dm.conexao.ComandosRegistrados().size();
        const std::uint64_t voltas = relay ? relay->Voltas() : 0;
        rodada.Fases[fase].Aplicacao = AplicaNaTransacao(dm);
        rodada.Fases[fase].Voltas = relay ? relay->Voltas() - voltas : 0;
        rodada.Fases[fase].Executados = dm.conexao.ComandosExecutados() - executados;
        rodada.Fases[fase].Preparados = dm.conexao.ComandosPreparados() - preparados;
        if (textos) textos->Textos[fase] = TextoUnico(dm.conexao.ComandosRegistrados(), registrados, fase);
    };

    dados.SetCommandText("SELECT ID,SEQUENCIA,DADOS FROM " + tabela + " WHERE ID=1 ORDER BY SEQUENCIA");
    dados.Open();
    {
        const TCronometro cronometro;
        for (int i = 0; i < Linhas; ++i) {
            dados.Append();
            dados.FieldByName("ID").SetAsInteger(1);
            dados.FieldByName("SEQUENCIA").SetAsInteger(i + 1);
            dados.FieldByName("DADOS").SetAsString(valores.Originais[static_cast<std::size_t>(i)]);
            dados.Post();
        }
        rodada.Fases[Insercao].Postagem = cronometro.Medida();
    }
    aplica(Insercao);
    ConfereTabela(banco, tabela, Linhas, 'A');

    dados.Close();
    {
        const TCronometro cronometro;
        dados.Open();
        rodada.Leitura = cronometro.Medida();
    }
    if (dados.RecordCount() != Linhas) throw EErro("Open leu " + std::to_string(dados.RecordCount()) + " linhas de " + tabela + ".");
    {
        const TCronometro cronometro;
        for (std::size_t i = 0; !dados.Eof(); ++i) {
            dados.Edit();
            dados.FieldByName("DADOS").SetAsString(valores.Novos[i]);
            dados.Post();
            dados.Next();
        }
        rodada.Fases[Atualizacao].Postagem = cronometro.Medida();
    }
    aplica(Atualizacao);
    ConfereTabela(banco, tabela, Linhas, 'B');
    if (semAlteracao) *semAlteracao = EditaSemAlterar(dm);

    {
        const TCronometro cronometro;
        dados.First();
        while (dados.RecordCount() > 0) dados.Delete();
        rodada.Fases[Exclusao].Postagem = cronometro.Medida();
    }
    aplica(Exclusao);
    ConfereTabela(banco, tabela, 0, 'B');
    if (textos) textos->Tabela = tabela;
    return rodada;
}

// --- the plain loop ---

TRodadaSimples MedeSimples(TBancoTeste& banco, const std::string& tabela, const TValores& valores, const TTextosAplicacao& textos,
                           TLacoSimples::TContagem contagem)
{
    TLacoSimples laco(banco.Localizador(), Ambiente("ATUALIZADOR_TEST_USER"), Ambiente("ATUALIZADOR_TEST_PASSWORD"));
    TRodadaSimples rodada;
    const auto executa = [&](TFase fase, const std::vector<std::string>* gravados, const std::vector<std::string>* lidos,
                             TLacoSimples::TContagem comoConta) {
        const std::string texto = textos.Para(fase, tabela);
        rodada.Fases[fase] = laco.Executa(texto, Linhas, Preenchimento(texto, gravados, lidos), comoConta);
    };
    // The apply step asks nothing after an INSERT, so neither does the loop.
    executa(Insercao, &valores.Originais, nullptr, TLacoSimples::TContagem::Nenhuma);
    ConfereTabela(banco, tabela, Linhas, 'A');
    executa(Atualizacao, &valores.Novos, &valores.Originais, contagem);
    ConfereTabela(banco, tabela, Linhas, 'B');
    executa(Exclusao, nullptr, &valores.Novos, contagem);
    ConfereTabela(banco, tabela, 0, 'B');
    return rodada;
}

} // namespace

int main(int argc, char** argv)
{
    int rodadas = RodadasPadrao;
    if (argc > 3 || (argc >= 2 && (rodadas = std::atoi(argv[1])) < 1) || (argc == 3 && (Linhas = std::atoi(argv[2])) < 1)) {
        std::fprintf(stderr, "usage: %s [ROUNDS [ROWS]]   (default %d rounds of %d rows)\n", argv[0], RodadasPadrao, LinhasPadrao);
        return 2;
    }
    LinhasMemoria = 5 * Linhas;
    if (ServidorTeste().empty()) {
        std::fprintf(stderr, "bench_aplicacao: %s\n", SemServidorTeste().c_str());
        return 2;
    }
    try {
        TBancoTeste banco("bench_aplicacao", {});
        std::printf("bench_aplicacao: %d rows of %zu bytes per phase into a table shaped like REPOSITORIO_DADOS "
                    "(DADOS VARCHAR(%d)),\nserver %s on loopback, machine: %s\n", Linhas, TamanhoDados, LarguraDados,
                    ServidorTeste().c_str(), Maquina().c_str());
        std::fflush(stdout);
        MedeMemoria(banco, {CriaTabela(banco, "BENCH_MEMORIA"), LinhasMemoria, TamanhoDados, [](int linha) { return Dados('M', linha); },
                            Ambiente("ATUALIZADOR_TEST_USER"), Ambiente("ATUALIZADOR_TEST_PASSWORD")});

        const TValores valores = GeraValores();
        const auto contagem = TLacoSimples::TContagem::Nenhuma;
        const auto exigeUm = TLacoSimples::TContagem::ExigeUmRegistro;

        // Warm-up, not counted: server caches, the database file's growth, and the texts
        // the apply step sends, which the plain loop then runs.
        TTextosAplicacao textos;
        TSemAlteracao semAlteracao;
        const TRodadaNossa aquecimento =
            MedeNossa(banco, CriaTabela(banco, "BENCH_AQUECE_NOSSO"), valores, &textos, &semAlteracao, TModo::PorLinha);
        MedeNossa(banco, CriaTabela(banco, "BENCH_AQUECE_LOTES"), valores, nullptr, nullptr, TModo::EmLotes);
        MedeSimples(banco, CriaTabela(banco, "BENCH_AQUECE_LACO"), valores, textos, contagem);
        MedeSimples(banco, CriaTabela(banco, "BENCH_AQUECE_CONTA"), valores, textos, exigeUm);

        std::printf("\nstatements the per-row way sent (the plain loop runs the same texts):\n");
        for (int f = 0; f < TotalFases; ++f)
            std::printf("  %-6s %s\n         executed %llu, prepared %llu\n", NomesFases[f], textos.Textos[f].c_str(),
                        static_cast<unsigned long long>(aquecimento.Fases[f].Executados),
                        static_cast<unsigned long long>(aquecimento.Fases[f].Preparados));
        std::printf("unchanged Edit/Post of %d rows: %d changes; ApplyUpdates sent %llu statements, began %llu transactions\n", Linhas,
                    semAlteracao.Alteracoes, static_cast<unsigned long long>(semAlteracao.Executados),
                    static_cast<unsigned long long>(semAlteracao.Transacoes));
        if (semAlteracao.Alteracoes != 0 || semAlteracao.Executados != 0 || semAlteracao.Transacoes != 0)
            throw EErro("Uma edição sem alteração não deveria deixar nada para ApplyUpdates.");
        std::fflush(stdout);

        // Each side on a fresh table of its own, and the order turned round every round, so
        // that neither always runs on the warmer server.
        std::vector<TRodadaNossa> nossas, emLotes;
        std::vector<TRodadaSimples> simples, contando;
        for (int r = 1; r <= rodadas; ++r) {
            const std::string prefixo = "BENCH_" + std::to_string(r) + "_";
            for (int lado = 0; lado < 4; ++lado) switch ((lado + r) % 4) {
                case 0:
                    nossas.push_back(MedeNossa(banco, CriaTabela(banco, prefixo + "NOSSO"), valores, nullptr, nullptr, TModo::PorLinha));
                    break;
                case 3:
                    emLotes.push_back(MedeNossa(banco, CriaTabela(banco, prefixo + "LOTES"), valores, nullptr, nullptr, TModo::EmLotes));
                    break;
                case 1: simples.push_back(MedeSimples(banco, CriaTabela(banco, prefixo + "LACO"), valores, textos, contagem)); break;
                case 2: contando.push_back(MedeSimples(banco, CriaTabela(banco, prefixo + "CONTA"), valores, textos, exigeUm)); break;
                }
            std::fprintf(stderr, "round %d of %d done\n", r, rodadas);
        }
        // Round trips, counted once for each way through a relay with no delay.
        const auto barra = ServidorTeste().find('/');
        TRetransmissor relay(ServidorTeste().substr(0, barra), std::atoi(ServidorTeste().substr(barra + 1).c_str()), 0);
        const std::array<TRodadaNossa, 2> viaRelay{
            MedeNossa(banco, CriaTabela(banco, "BENCH_RELAY_LOTES"), valores, nullptr, nullptr, TModo::EmLotes, &relay),
            MedeNossa(banco, CriaTabela(banco, "BENCH_RELAY_LINHA"), valores, nullptr, nullptr, TModo::PorLinha, &relay)};
        Relata(Linhas, nossas, simples, contando, emLotes, viaRelay);
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "bench_aplicacao: %s\n", e.what());
        return 1;
    }
    return 0;
}

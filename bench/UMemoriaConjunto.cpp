#include "UMemoriaConjunto.h"
#include "UBancoTeste.h"
#include "UDM.h"
#include "UErro.h"
#include "ULacoSimples.h"
#include "UMedicao.h"

#include <cstdint>
#include <cstdio>

void MedeMemoria(TBancoTeste& banco, const TAmostraMemoria& amostra)
{
    const std::string& tabela = amostra.Tabela;
    const int LinhasMemoria = amostra.Linhas;
    {
        TLacoSimples laco(banco.Localizador(), amostra.Usuario, amostra.Senha);
        laco.Executa("INSERT INTO " + tabela + " (ID, SEQUENCIA, DADOS) VALUES (?, ?, ?)", LinhasMemoria,
            [&](int linha, TParametrosLinha& mensagem) {
                mensagem.Inteiro(0, 1);
                mensagem.Inteiro(1, linha + 1);
                mensagem.Texto(2, amostra.Dados(linha));
            },
            TLacoSimples::TContagem::Nenhuma);
    }
    const double valores = static_cast<double>(LinhasMemoria) * (amostra.TamanhoDados + 2 * sizeof(std::int32_t));

    TDM dm;
    banco.Configura(dm.conexao);
    dm.conexao.SetConnected(true);
    TClientDataSet& dados = dm.cdsDados;
    dados.SetCommandText("SELECT ID,SEQUENCIA,DADOS FROM " + tabela + " WHERE ID=1 ORDER BY SEQUENCIA");

    const double heapAntes = static_cast<double>(BytesEmUsoNoHeap());
    const bool picoReiniciado = ReiniciaPicoResidente();
    const double residenteAntes = static_cast<double>(picoReiniciado ? BytesResidentes() : PicoResidente());
    const TCronometro cronometro;
    dados.Open();
    const TMedida leitura = cronometro.Medida();
    const double heapLido = static_cast<double>(BytesEmUsoNoHeap()) - heapAntes;
    const double picoLido = static_cast<double>(PicoResidente()) - residenteAntes;
    if (dados.RecordCount() != LinhasMemoria) throw EErro("Open leu " + std::to_string(dados.RecordCount()) + " linhas de " + tabela + ".");
    dados.Close();

    // The same number of rows built by Append and Post, each with its change log entry.
    dados.SetCommandText("SELECT ID,SEQUENCIA,DADOS FROM " + tabela + " WHERE ID=2 ORDER BY SEQUENCIA");
    dados.Open();
    const double heapVazio = static_cast<double>(BytesEmUsoNoHeap());
    for (int i = 0; i < LinhasMemoria; ++i) {
        dados.Append();
        dados.FieldByName("ID").SetAsInteger(2);
        dados.FieldByName("SEQUENCIA").SetAsInteger(i + 1);
        dados.FieldByName("DADOS").SetAsString(amostra.Dados(i));
        dados.Post();
    }
    const double heapAnexado = static_cast<double>(BytesEmUsoNoHeap()) - heapVazio;
    dados.Close();

    std::printf("\nmemory: a cached set of %d rows (ID, SEQUENCIA, %zu-byte DADOS)\n", LinhasMemoria, amostra.TamanhoDados);
    std::printf("  bytes of the values                  %12.0f\n", valores);
    std::printf("  heap in use after Open               %12.0f  %.2f x the values (Open took %.2f s, CPU %.2f s)\n", heapLido,
                heapLido / valores, leitura.Parede, leitura.Cpu);
    std::printf("  peak resident growth during Open     %12.0f  %.2f x the values%s\n", picoLido, picoLido / valores,
                picoReiniciado ? "" : " (peak could not be reset: growth over the earlier peak)");
    std::printf("  heap of as many rows appended        %12.0f  %.2f x the values (with the change log, before ApplyUpdates)\n",
                heapAnexado, heapAnexado / valores);
    std::fflush(stdout);
}

#include "UJanelaTerminal.h"

#include "UTextoUtf8.h"

TJanelaTerminal::TJanelaTerminal(std::string maquina, std::string bancoDados, std::ostream& erros, bool barra,
                                 std::function<bool()> pedidoParada)
    : FMaquina(std::move(maquina)), FBancoDados(std::move(bancoDados)), FErros(erros), FBarra(erros, barra),
      FPedidoParada(std::move(pedidoParada))
{
}

void TJanelaTerminal::AdicionaLinhaDisplay(const std::string& linha)
{
    FNomeAtual = ParaUtf8(linha);
}

void TJanelaTerminal::AvancaProgresso()
{
    FBarra.Avanca(FNomeAtual);
}

void TJanelaTerminal::ProcessaMensagens()
{
    // The run looks at PodeFechar before each entry and stops there, as after a confirmed cancel.
    if (!FPodeFechar && FPedidoParada()) FPodeFechar = true;
}

void TJanelaTerminal::Mensagem(const std::string& texto)
{
    FBarra.Apaga();
    FErros << EmUmaLinha(texto) << '\n' << std::flush;
    FBarra.Desenha();
}

void TJanelaTerminal::RegistraEntrada(const TDesfechoEntrada& desfecho)
{
    Arquivos.push_back(LinhaDeDesfecho(desfecho));
    const TLinhaRelatorio& linha = Arquivos.back();
    FBarra.Apaga();
    FErros << ParaUtf8(desfecho.Ausente ? linha.Entrada : linha.Nome) << ": " << linha.Estado << '\n' << std::flush;
    FBarra.Desenha();
}

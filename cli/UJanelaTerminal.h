#pragma once
#include "UAtualizacao.h"
#include "UBarraProgresso.h"
#include "URelatorioCli.h"

#include <functional>
#include <ostream>
#include <string>
#include <vector>

// The update run's front end on a terminal: no window, the writer's messages as lines on
// the error stream, one line per entry handled, a progress bar when that stream is a
// terminal, and a stop request taken between two files.
class TJanelaTerminal : public IJanelaAtualizacao {
public:
    // pedidoParada is asked at every point where the window would handle a close request.
    TJanelaTerminal(std::string maquina, std::string bancoDados, std::ostream& erros, bool barra,
                    std::function<bool()> pedidoParada);

    std::string TextoMaquina() const override { return FMaquina; }
    std::string TextoBancoDados() const override { return FBancoDados; }
    void HabilitaAtualizar(bool) override {}
    void MostraPagina(TPagina) override {}
    void LimpaDisplay() override {}
    void AdicionaLinhaDisplay(const std::string& linha) override;
    void DefineMaximoProgresso(int maximo) override { FBarra.DefineMaximo(maximo); }
    void AvancaProgresso() override;
    void ProcessaMensagens() override;
    bool LePodeFechar() const override { return FPodeFechar; }
    void DefinePodeFechar(bool podeFechar) override { FPodeFechar = podeFechar; }
    void FechaJanelaPrincipal() override {}
    void Mensagem(const std::string& texto) override;
    void RegistraEntrada(const TDesfechoEntrada& desfecho) override;
    void RegistraMotivo(const std::string& motivo) override { Motivo = motivo; }

    std::vector<TLinhaRelatorio> Arquivos;   // every entry handled, in list order
    std::string Motivo;                      // Firebird's reason for an early end

private:
    std::string FMaquina, FBancoDados;
    std::ostream& FErros;
    TBarraProgresso FBarra;
    std::function<bool()> FPedidoParada;
    std::string FNomeAtual;
    bool FPodeFechar = true;
};

#pragma once
#include <ostream>
#include <string>

// A progress bar over the list entries, drawn on one terminal line and redrawn in place.
// Inactive (off a terminal) it draws nothing, so a log or a pipe gets only whole lines.
class TBarraProgresso {
public:
    TBarraProgresso(std::ostream& saida, bool ativa) : FSaida(saida), FAtiva(ativa) {}
    ~TBarraProgresso() { Apaga(); }
    TBarraProgresso(const TBarraProgresso&) = delete;
    TBarraProgresso& operator=(const TBarraProgresso&) = delete;

    void DefineMaximo(int maximo);
    void Avanca(const std::string& nomeUtf8);
    // Clears the bar's line so another line can be written; the next step draws it again.
    void Apaga();
    void Desenha();

private:
    std::ostream& FSaida;
    bool FAtiva;
    bool FDesenhada = false;
    int FMaximo = 0;
    int FPosicao = 0;
    std::string FNome;
};

#pragma once
#include "UMensagens.h"

#include <vector>

// Answers every message box with a fixed answer and keeps each box it was asked,
// in order; puts the previous respondedor back when it goes.
class TRespostasGravadas {
public:
    explicit TRespostasGravadas(bool resposta = true)
        : FAnterior(DefineRespondedor([this, resposta](const TCaixa& caixa) {
              Caixas.push_back(caixa);
              return resposta;
          }))
    {
    }
    ~TRespostasGravadas() { DefineRespondedor(FAnterior); }
    TRespostasGravadas(const TRespostasGravadas&) = delete;
    TRespostasGravadas& operator=(const TRespostasGravadas&) = delete;

    std::vector<TCaixa> Caixas;

private:
    TRespondedor FAnterior;
};

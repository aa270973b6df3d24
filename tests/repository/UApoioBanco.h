#pragma once
// What the writer's and the run's tests share: a recorder of the messages shown.
#include "UBancoTeste.h"
#include "UDM.h"
#include "UMensagensUsuario.h"

#include <string>
#include <vector>

class TMensagensGravadas : public IMensagens {
public:
    void Mensagem(const std::string& texto) override { Textos.push_back(texto); }
    std::vector<std::string> Textos;
};

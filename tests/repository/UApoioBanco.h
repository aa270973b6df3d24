#pragma once
// What the writer's and the run's tests share: a module connected to the suite's
// database, a recorder of the messages shown, and source files written as bytes.
#include "UBancoTeste.h"
#include "UDM.h"
#include "UMensagensUsuario.h"

#include <memory>
#include <string>
#include <vector>

class TMensagensGravadas : public IMensagens {
public:
    void Mensagem(const std::string& texto) override { Textos.push_back(texto); }
    std::vector<std::string> Textos;
};

inline std::unique_ptr<TDM> DMConectado(const TBancoTeste& banco)
{
    auto dm = std::make_unique<TDM>();
    banco.Configura(dm->conexao);
    dm->conexao.SetConnected(true);
    return dm;
}

#pragma once
// What the apply step is measured against: the same statement texts, each prepared once
// and executed straight through fbclient in one transaction, with nothing of our layer in
// between but the owners of fbclient's handles.
#include "UMedicao.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One row's parameters, written into the statement's own input message.
class TParametrosLinha {
public:
    void Inteiro(unsigned indice, std::int32_t valor);
    void Texto(unsigned indice, std::string_view valor);   // EErro when longer than the column

private:
    friend class TLacoSimples;
    struct TLugar {
        unsigned Tipo;
        unsigned Tamanho;
        unsigned Deslocamento;
    };
    std::vector<TLugar> FLugares;
    unsigned char* FMensagem = nullptr;
};

class TLacoSimples {
public:
    // Whether each execution also asks the server how many rows it reached, and requires one.
    enum class TContagem { Nenhuma, ExigeUmRegistro };

    // Attaches as our layer does: charset NONE, dialect 3.
    TLacoSimples(const std::string& localizador, const std::string& usuario, const std::string& senha);
    ~TLacoSimples();
    TLacoSimples(const TLacoSimples&) = delete;
    TLacoSimples& operator=(const TLacoSimples&) = delete;

    // Starts a read-committed transaction, prepares texto, executes it once for each row
    // with what preenche writes, and commits; the time covers all of that. EErro at the
    // first failure, after rolling back.
    TMedida Executa(const std::string& texto, int linhas, const std::function<void(int, TParametrosLinha&)>& preenche,
                    TContagem contagem);

private:
    struct TEstado;
    std::unique_ptr<TEstado> FEstado;
};

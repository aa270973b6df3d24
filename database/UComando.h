#pragma once
// Internal to this layer: one statement prepared on a connection, kept by the
// connection's cache and reused for every execution of the same text.
#include "UFirebird.h"

#include <string>
#include <vector>

class TComando {
public:
    TComando(TRefFb<Firebird::IStatement> handle, std::string texto);
    ~TComando();   // frees the statement; never throws
    TComando(const TComando&) = delete;
    TComando& operator=(const TComando&) = delete;

    Firebird::IStatement* Handle() { return FHandle.get(); }
    const std::string& Texto() const { return FTexto; }
    bool TemCursor() const { return FTemCursor; }
    // The statement's own description of what it returns (a SELECT's rows, an INSERT's
    // RETURNING values), with a buffer for one row of it.
    Firebird::IMessageMetadata* Saida() { return FSaida.get(); }
    unsigned char* BufferSaida() { return FBufferSaida.data(); }
    bool TemSaida() const { return FTemSaida; }
    unsigned NuloSaida(unsigned indice) const { return FNulosSaida.at(indice); }   // offset of an output's null indicator

    // The input message a caller described once for this text, with its buffer and the
    // offsets of each parameter's value and null indicator.
    struct TParametro {
        unsigned Deslocamento;
        unsigned DeslocamentoNulo;
    };
    bool TemEntrada() const { return static_cast<bool>(FEntrada); }
    void DefineEntrada(TRefFb<Firebird::IMessageMetadata> entrada);
    Firebird::IMessageMetadata* Entrada() { return FEntrada.get(); }
    unsigned char* BufferEntrada() { return FBufferEntrada.data(); }
    const std::vector<TParametro>& Parametros() const { return FParametros; }

private:
    TRefFb<Firebird::IStatement> FHandle;
    std::string FTexto;
    bool FTemCursor = false;
    bool FTemSaida = false;
    TRefFb<Firebird::IMessageMetadata> FSaida;
    std::vector<unsigned char> FBufferSaida;
    std::vector<unsigned> FNulosSaida;
    TRefFb<Firebird::IMessageMetadata> FEntrada;
    std::vector<unsigned char> FBufferEntrada;
    std::vector<TParametro> FParametros;
};

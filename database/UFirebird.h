#pragma once
// Internal to this layer: owners for fbclient's interfaces and the status that turns
// Firebird's errors into EErro. Only this layer and its tests include this header.
#include <firebird/Interface.h>

#include <memory>
#include <string>

// Loaded from the client library on first use (UBibliotecaFb); throws EErro when it is missing.
Firebird::IMaster* MestreFb();
Firebird::IUtil* UtilFb();

// Reference-counted interfaces (attachment, transaction, statement, result set, blob,
// metadata) are released; status and parameter-block builders are disposed.
struct TLiberaFb {
    template <class T> void operator()(T* p) const noexcept { p->release(); }
};
template <class T> using TRefFb = std::unique_ptr<T, TLiberaFb>;

struct TDescartaFb {
    template <class T> void operator()(T* p) const noexcept { p->dispose(); }
};
template <class T> using TDescartavelFb = std::unique_ptr<T, TDescartaFb>;

// A status for one or more calls. Each call through it clears it first, so Verifica
// right after a call tells about that call only.
class TStatusFb {
public:
    TStatusFb();
    ~TStatusFb();
    TStatusFb(const TStatusFb&) = delete;
    TStatusFb& operator=(const TStatusFb&) = delete;

    Firebird::CheckStatusWrapper* operator&() { return &FWrapper; }
    bool Falhou() const;
    // Throws EErro with the action's sentence, then Firebird's own formatted status.
    void Verifica(const std::string& acao);
    std::string Texto();
    // The first gds code of the error (0 when none), for the few errors handled by code.
    long Codigo() const;

private:
    Firebird::CheckStatusWrapper FWrapper;
};

// Builds a parameter block (DPB, TPB, BPB) and disposes the builder on every way out.
class TBlocoParametros {
public:
    explicit TBlocoParametros(unsigned tipo);
    void InsereTexto(unsigned char marca, const std::string& valor);
    void InsereInteiro(unsigned char marca, int valor);
    void InsereMarca(unsigned char marca);
    unsigned Tamanho();
    const unsigned char* Dados();

private:
    TStatusFb FStatus;
    TDescartavelFb<Firebird::IXpbBuilder> FBuilder;
};

// Frees a statement, closes a result set, rolls back a transaction or detaches: what a
// destructor does with what is still open. Falls back to release() when the call fails.
void FechaSemFalha(TRefFb<Firebird::IResultSet>& cursor) noexcept;
void FechaSemFalha(TRefFb<Firebird::IStatement>& comando) noexcept;
void FechaSemFalha(TRefFb<Firebird::ITransaction>& transacao) noexcept;
void FechaSemFalha(TRefFb<Firebird::IBlob>& blob) noexcept;

#include "UFirebird.h"
#include "UErro.h"

#include <array>

using namespace Firebird;

IUtil* UtilFb()
{
    static IUtil* const util = MestreFb()->getUtilInterface();
    return util;
}

TStatusFb::TStatusFb() : FWrapper(MestreFb()->getStatus()) {}

TStatusFb::~TStatusFb() { FWrapper.dispose(); }

bool TStatusFb::Falhou() const { return (FWrapper.getState() & IStatus::STATE_ERRORS) != 0; }

std::string TStatusFb::Texto()
{
    // formatStatus writes nothing at all when the buffer is too small.
    std::array<char, 4096> texto{};
    UtilFb()->formatStatus(texto.data(), static_cast<unsigned>(texto.size()), &FWrapper);
    return texto.data();
}

long TStatusFb::Codigo() const
{
    if (!Falhou()) return 0;
    const intptr_t* erros = FWrapper.getErrors();
    return erros[0] == isc_arg_gds ? static_cast<long>(erros[1]) : 0;
}

void TStatusFb::Verifica(const std::string& acao)
{
    if (Falhou()) throw EErro(acao + "\n" + Texto());
}

TBlocoParametros::TBlocoParametros(unsigned tipo)
{
    FBuilder.reset(UtilFb()->getXpbBuilder(&FStatus, tipo, nullptr, 0));
    FStatus.Verifica("Não foi possível montar um bloco de parâmetros do Firebird.");
}

void TBlocoParametros::InsereTexto(unsigned char marca, const std::string& valor)
{
    FBuilder->insertBytes(&FStatus, marca, valor.data(), static_cast<unsigned>(valor.size()));
    FStatus.Verifica("Não foi possível montar um bloco de parâmetros do Firebird.");
}

void TBlocoParametros::InsereInteiro(unsigned char marca, int valor)
{
    FBuilder->insertInt(&FStatus, marca, valor);
    FStatus.Verifica("Não foi possível montar um bloco de parâmetros do Firebird.");
}

void TBlocoParametros::InsereMarca(unsigned char marca)
{
    FBuilder->insertTag(&FStatus, marca);
    FStatus.Verifica("Não foi possível montar um bloco de parâmetros do Firebird.");
}

unsigned TBlocoParametros::Tamanho()
{
    const unsigned tamanho = FBuilder->getBufferLength(&FStatus);
    FStatus.Verifica("Não foi possível montar um bloco de parâmetros do Firebird.");
    return tamanho;
}

const unsigned char* TBlocoParametros::Dados()
{
    const unsigned char* dados = FBuilder->getBuffer(&FStatus);
    FStatus.Verifica("Não foi possível montar um bloco de parâmetros do Firebird.");
    return dados;
}

namespace {

// Each of these calls releases the interface itself on success: forget it then. On
// failure the interface is still ours, and release() ends it.
template <class T, class TFecha> void FechaComo(TRefFb<T>& ref, TFecha fecha) noexcept
{
    if (!ref) return;
    TStatusFb st;
    fecha(*ref, &st);
    if (!st.Falhou()) (void)ref.release();
    ref.reset();
}

} // namespace

void FechaSemFalha(TRefFb<IResultSet>& cursor) noexcept
{
    FechaComo(cursor, [](IResultSet& c, CheckStatusWrapper* st) { c.close(st); });
}

void FechaSemFalha(TRefFb<IStatement>& comando) noexcept
{
    FechaComo(comando, [](IStatement& c, CheckStatusWrapper* st) { c.free(st); });
}

void FechaSemFalha(TRefFb<ITransaction>& transacao) noexcept
{
    FechaComo(transacao, [](ITransaction& t, CheckStatusWrapper* st) { t.rollback(st); });
}

void FechaSemFalha(TRefFb<IBlob>& blob) noexcept
{
    FechaComo(blob, [](IBlob& b, CheckStatusWrapper* st) { b.cancel(st); });
}

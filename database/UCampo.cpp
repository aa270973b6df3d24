#include "UClientDataSet.h"
#include "UClientDataSetImpl.h"
#include "UColuna.h"

// A field reads the pending row while one is being edited, else the current row; every
// write goes to the pending row, converted at once to the column's stored form.

TCampo::TCampo(TClientDataSet& conjunto, int indice) : FConjunto(&conjunto), FIndice(indice) {}

const std::string& TCampo::FieldName() const { return FConjunto->FImpl->FColunas[static_cast<std::size_t>(FIndice)].Nome; }

bool TCampo::IsNull() const
{
    const TRegistro* registro = FConjunto->FImpl->RegistroCorrente();
    return !registro || registro->Nulo(FIndice);
}

std::int64_t TCampo::AsInteger() const
{
    if (IsNull()) return 0;
    return LeInteiro(FConjunto->FImpl->FColunas[static_cast<std::size_t>(FIndice)], FConjunto->FImpl->RegistroCorrente()->Valor(FIndice));
}

std::string TCampo::AsString() const
{
    if (IsNull()) return {};
    return LeTexto(FConjunto->FImpl->FColunas[static_cast<std::size_t>(FIndice)], FConjunto->FImpl->RegistroCorrente()->Valor(FIndice));
}

TDateTime TCampo::AsDateTime() const
{
    if (IsNull()) return 0;
    return LeDataHora(FConjunto->FImpl->FColunas[static_cast<std::size_t>(FIndice)], FConjunto->FImpl->RegistroCorrente()->Valor(FIndice));
}

void TCampo::SetAsInteger(std::int64_t valor)
{
    TClientDataSetImpl& impl = *FConjunto->FImpl;
    impl.VerificaEdicao(FIndice);
    impl.DefineValor(FIndice, CodificaInteiro(impl.FColunas[static_cast<std::size_t>(FIndice)], valor));
}

void TCampo::SetAsString(const std::string& valor)
{
    TClientDataSetImpl& impl = *FConjunto->FImpl;
    impl.VerificaEdicao(FIndice);
    impl.DefineValor(FIndice, CodificaTexto(impl.FColunas[static_cast<std::size_t>(FIndice)], valor));
}

void TCampo::SetAsDateTime(TDateTime valor)
{
    TClientDataSetImpl& impl = *FConjunto->FImpl;
    impl.VerificaEdicao(FIndice);
    impl.DefineValor(FIndice, CodificaDataHora(impl.FColunas[static_cast<std::size_t>(FIndice)], valor));
}

void TCampo::Clear() { FConjunto->FImpl->DefineValor(FIndice, std::nullopt); }

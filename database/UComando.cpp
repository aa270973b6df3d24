#include "UComando.h"

using namespace Firebird;

TComando::TComando(TRefFb<IStatement> handle, std::string texto) : FHandle(std::move(handle)), FTexto(std::move(texto))
{
    TStatusFb st;
    const unsigned flags = FHandle->getFlags(&st);
    st.Verifica("Não foi possível preparar o comando " + FTexto);
    FTemCursor = (flags & IStatement::FLAG_HAS_CURSOR) != 0;
    FSaida.reset(FHandle->getOutputMetadata(&st));
    st.Verifica("Não foi possível descrever o resultado do comando " + FTexto);
    const unsigned saidas = FSaida->getCount(&st);
    FTemSaida = saidas > 0;
    FBufferSaida.assign(FSaida->getMessageLength(&st), 0);
    st.Verifica("Não foi possível descrever o resultado do comando " + FTexto);
    for (unsigned i = 0; i < saidas; ++i) {
        FNulosSaida.push_back(FSaida->getNullOffset(&st, i));
        st.Verifica("Não foi possível descrever o resultado do comando " + FTexto);
    }
}

TComando::~TComando()
{
    FEntrada.reset();
    FSaida.reset();
    FechaSemFalha(FHandle);
}

void TComando::DefineEntrada(TRefFb<IMessageMetadata> entrada)
{
    TStatusFb st;
    const unsigned contagem = entrada->getCount(&st);
    st.Verifica("Não foi possível descrever os parâmetros do comando " + FTexto);
    std::vector<TParametro> parametros;
    for (unsigned i = 0; i < contagem; ++i) {
        TParametro p{entrada->getOffset(&st, i), 0};
        st.Verifica("Não foi possível descrever os parâmetros do comando " + FTexto);
        p.DeslocamentoNulo = entrada->getNullOffset(&st, i);
        st.Verifica("Não foi possível descrever os parâmetros do comando " + FTexto);
        parametros.push_back(p);
    }
    const unsigned tamanho = entrada->getMessageLength(&st);
    st.Verifica("Não foi possível descrever os parâmetros do comando " + FTexto);
    FBufferEntrada.assign(tamanho, 0);
    FParametros = std::move(parametros);
    FEntrada = std::move(entrada);
}

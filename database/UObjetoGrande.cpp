#include "UObjetoGrande.h"
#include "UErro.h"
#include "UFirebird.h"

#include <algorithm>
#include <vector>

using namespace Firebird;

namespace {

// Segments of 64 KB or more break fbclient over TCP: a longer putSegment loses data
// without a word, a longer getSegment buffer fails the connection.
constexpr std::size_t TamanhoSegmento = 32768;

} // namespace

std::string LeObjetoGrande(IAttachment* anexo, ITransaction* transacao, ISC_QUAD id, const std::string& coluna)
{
    const std::string acao = "Não foi possível ler o objeto grande da coluna " + coluna + ".";
    TStatusFb st;
    TRefFb<IBlob> blob(anexo->openBlob(&st, transacao, &id, 0, nullptr));
    st.Verifica(acao);
    std::string conteudo;
    std::vector<char> pedaco(TamanhoSegmento);
    for (;;) {
        unsigned lidos = 0;
        const int r = blob->getSegment(&st, static_cast<unsigned>(pedaco.size()), pedaco.data(), &lidos);
        if (st.Falhou()) {
            const std::string texto = st.Texto();
            FechaSemFalha(blob);
            throw EErro(acao + "\n" + texto);
        }
        if (r == IStatus::RESULT_NO_DATA) break;
        conteudo.append(pedaco.data(), lidos);
    }
    blob->close(&st);
    if (st.Falhou()) FechaSemFalha(blob);
    else (void)blob.release();
    return conteudo;
}

ISC_QUAD GravaObjetoGrande(IAttachment* anexo, ITransaction* transacao, std::string_view conteudo, const std::string& coluna)
{
    const std::string acao = "Não foi possível gravar o objeto grande da coluna " + coluna + ".";
    TStatusFb st;
    ISC_QUAD id{};
    TRefFb<IBlob> blob(anexo->createBlob(&st, transacao, &id, 0, nullptr));
    st.Verifica(acao);
    for (std::size_t posicao = 0; posicao < conteudo.size(); posicao += TamanhoSegmento) {
        const std::size_t tamanho = std::min(TamanhoSegmento, conteudo.size() - posicao);
        blob->putSegment(&st, static_cast<unsigned>(tamanho), conteudo.data() + posicao);
        if (st.Falhou()) {
            const std::string texto = st.Texto();
            FechaSemFalha(blob);
            throw EErro(acao + "\n" + texto);
        }
    }
    blob->close(&st);
    if (st.Falhou()) {
        const std::string texto = st.Texto();
        FechaSemFalha(blob);
        throw EErro(acao + "\n" + texto);
    }
    (void)blob.release();
    return id;
}

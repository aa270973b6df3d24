#include "UConsultaUnica.h"
#include "UComando.h"
#include "UErro.h"
#include "UFirebird.h"

#include <cctype>

using namespace Firebird;

namespace {

constexpr long SemLinha = 335544374;         // isc_stream_eof: a singleton SELECT found nothing
constexpr long VariasLinhas = 335544652;     // isc_sing_select_err

bool Letra(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$'; }

bool PalavraEm(const std::string& texto, std::size_t i, const char* palavra)
{
    std::size_t n = 0;
    for (; palavra[n]; ++n)
        if (i + n >= texto.size() || std::toupper(static_cast<unsigned char>(texto[i + n])) != palavra[n]) return false;
    return (i == 0 || !Letra(texto[i - 1])) && (i + n >= texto.size() || !Letra(texto[i + n]));
}

} // namespace

std::string FormaDaConsulta(const std::string& texto)
{
    std::string forma;
    bool depoisDoWhere = false;
    int nivel = 0;
    for (std::size_t i = 0; i < texto.size();) {
        const char c = texto[i];
        // A comment could hide a WHERE or a quote: no shape for such a text.
        if ((c == '-' || c == '/') && i + 1 < texto.size() && texto[i + 1] == (c == '-' ? '-' : '*')) return "";
        if (c == '\'' || c == '"') {
            std::size_t fim = i + 1;
            for (;; ++fim) {
                if (fim >= texto.size()) return "";
                if (texto[fim] == c) {
                    if (fim + 1 < texto.size() && texto[fim + 1] == c) ++fim;
                    else break;
                }
            }
            // A name stays as it is; a value after the WHERE does not change the columns.
            forma += c == '\'' && depoisDoWhere ? std::string("'?'") : texto.substr(i, fim + 1 - i);
            i = fim + 1;
            continue;
        }
        if (Letra(c)) {
            std::size_t fim = i;
            while (fim < texto.size() && Letra(texto[fim])) ++fim;
            const bool numero = std::isdigit(static_cast<unsigned char>(c));
            if (!numero && depoisDoWhere && (PalavraEm(texto, i, "SELECT") || PalavraEm(texto, i, "UNION"))) return "";
            if (!numero && nivel == 0 && PalavraEm(texto, i, "WHERE")) depoisDoWhere = true;
            forma += numero && depoisDoWhere ? std::string("0") : texto.substr(i, fim - i);
            i = fim;
            continue;
        }
        if (c == '(') ++nivel;
        if (c == ')') --nivel;
        forma += c;
        ++i;
    }
    return forma;
}

std::shared_ptr<TComando> TConsultasUnicas::Modelo(const std::string& forma) const
{
    const auto achada = FFormas.find(forma);
    return achada != FFormas.end() && achada->second.second ? achada->second.first : nullptr;
}

void TConsultasUnicas::Registra(const std::string& forma, std::shared_ptr<TComando> comando, bool umaNoMaximo)
{
    if (forma.empty()) return;
    if (FFormas.size() >= LimiteFormas && !FFormas.count(forma)) FFormas.erase(FFormas.begin());
    FFormas[forma] = {std::move(comando), umaNoMaximo};
}

void TConsultasUnicas::Esvazia() noexcept { FFormas.clear(); }

TConsultasUnicas::TResultado TConsultasUnicas::Executa(IAttachment* anexo, ITransaction* transacao, unsigned dialeto,
                                                       const std::string& texto, TComando& modelo)
{
    TStatusFb st;
    ITransaction* devolvida = anexo->execute(&st, transacao, static_cast<unsigned>(texto.size()), texto.data(), dialeto,
                                             nullptr, nullptr, modelo.Saida(), modelo.BufferSaida());
    (void)devolvida;   // the same transaction, still ours
    if (!st.Falhou()) return TResultado::Uma;
    if (st.Codigo() == SemLinha) return TResultado::Nenhuma;
    if (st.Codigo() == VariasLinhas) return TResultado::Varias;
    st.Verifica("Não foi possível executar o comando " + texto);
    return TResultado::Nenhuma;
}

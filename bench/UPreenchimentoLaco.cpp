#include "UPreenchimentoLaco.h"
#include "UErro.h"

#include <algorithm>

namespace {

// What each '?' of a text the apply step sent stands for: a column, and whether it is in
// the WHERE (the value as read) or gives the value to store.
enum class TValorParametro { Id, Sequencia, DadosGravados, DadosLidos };

std::vector<TValorParametro> ParametrosDoTexto(const std::string& texto)
{
    const auto valor = [&](const std::string& coluna, bool condicao) {
        if (coluna == "ID") return TValorParametro::Id;
        if (coluna == "SEQUENCIA") return TValorParametro::Sequencia;
        if (coluna == "DADOS") return condicao ? TValorParametro::DadosLidos : TValorParametro::DadosGravados;
        throw EErro("Coluna inesperada " + coluna + " em " + texto);
    };
    std::vector<TValorParametro> parametros;
    if (texto.rfind("INSERT", 0) == 0) {
        // The values follow the order of the column list, the first parentheses.
        const std::size_t abre = texto.find('('), fecha = texto.find(')', abre);
        for (std::size_t i = texto.find('"', abre); i < fecha; i = texto.find('"', i)) {
            const std::size_t fim = texto.find('"', i + 1);
            parametros.push_back(valor(texto.substr(i + 1, fim - i - 1), false));
            i = fim + 1;
        }
        if (std::count(texto.begin(), texto.end(), '?') != static_cast<long>(parametros.size()))
            throw EErro("Não sei ligar os parâmetros de " + texto);
        return parametros;
    }
    // UPDATE and DELETE: each '?' belongs to the quoted column just before it.
    const std::size_t onde = texto.find(" WHERE ");
    for (std::size_t marca = texto.find('?'); marca != std::string::npos; marca = texto.find('?', marca + 1)) {
        const std::size_t fim = texto.rfind('"', marca), inicio = texto.rfind('"', fim - 1);
        parametros.push_back(valor(texto.substr(inicio + 1, fim - inicio - 1), onde != std::string::npos && marca > onde));
    }
    return parametros;
}

} // namespace

std::function<void(int, TParametrosLinha&)> Preenchimento(const std::string& texto, const std::vector<std::string>* gravados,
                                                          const std::vector<std::string>* lidos)
{
    const std::vector<TValorParametro> parametros = ParametrosDoTexto(texto);
    for (TValorParametro p : parametros)
        if ((p == TValorParametro::DadosGravados && !gravados) || (p == TValorParametro::DadosLidos && !lidos))
            throw EErro("Faltam valores para " + texto);
    return [parametros, gravados, lidos](int linha, TParametrosLinha& mensagem) {
        const auto i = static_cast<std::size_t>(linha);
        for (unsigned j = 0; j < parametros.size(); ++j) switch (parametros[j]) {
            case TValorParametro::Id: mensagem.Inteiro(j, 1); break;
            case TValorParametro::Sequencia: mensagem.Inteiro(j, linha + 1); break;
            case TValorParametro::DadosGravados: mensagem.Texto(j, (*gravados)[i]); break;
            case TValorParametro::DadosLidos: mensagem.Texto(j, (*lidos)[i]); break;
            }
    };
}

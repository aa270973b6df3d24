#include "URegistro.h"
#include "UErro.h"

#include <cstring>

TRegistro::TRegistro(const std::vector<std::optional<std::string_view>>& valores)
{
    const std::size_t cabecalho = valores.size() * sizeof(std::uint32_t);
    std::size_t total = cabecalho;
    for (const auto& valor : valores)
        if (valor) total += valor->size();
    if (total >= MarcaNulo) throw EErro("Um registro com mais de 2 GB não cabe na memória do conjunto de dados.");

    FBytes.resize(total);
    std::size_t posicao = cabecalho;
    for (std::size_t i = 0; i < valores.size(); ++i) {
        std::uint32_t inicio = static_cast<std::uint32_t>(posicao);
        if (valores[i]) {
            if (!valores[i]->empty()) std::memcpy(FBytes.data() + posicao, valores[i]->data(), valores[i]->size());
            posicao += valores[i]->size();
        } else {
            inicio |= MarcaNulo;
        }
        std::memcpy(FBytes.data() + i * sizeof inicio, &inicio, sizeof inicio);
    }
}

TRegistro TRegistro::Nulos(int colunas)
{
    return TRegistro(std::vector<std::optional<std::string_view>>(static_cast<std::size_t>(colunas)));
}

std::uint32_t TRegistro::Inicio(int indice) const
{
    std::uint32_t inicio = 0;
    std::memcpy(&inicio, FBytes.data() + static_cast<std::size_t>(indice) * sizeof inicio, sizeof inicio);
    return inicio;
}

int TRegistro::Colunas() const
{
    if (FBytes.empty()) return 0;
    return static_cast<int>((Inicio(0) & ~MarcaNulo) / sizeof(std::uint32_t));
}

bool TRegistro::Nulo(int indice) const { return (Inicio(indice) & MarcaNulo) != 0; }

std::string_view TRegistro::Valor(int indice) const
{
    const std::uint32_t inicio = Inicio(indice);
    if (inicio & MarcaNulo) return {};
    const std::size_t fim = indice + 1 < Colunas() ? (Inicio(indice + 1) & ~MarcaNulo) : FBytes.size();
    return std::string_view(FBytes).substr(inicio, fim - inicio);
}

std::optional<std::string_view> TRegistro::Opcional(int indice) const
{
    if (Nulo(indice)) return std::nullopt;
    return Valor(indice);
}

TRegistro TRegistro::ComValor(int indice, std::optional<std::string_view> valor) const
{
    std::vector<std::optional<std::string_view>> valores;
    const int colunas = Colunas();
    valores.reserve(static_cast<std::size_t>(colunas));
    for (int i = 0; i < colunas; ++i) valores.push_back(i == indice ? valor : Opcional(i));
    return TRegistro(valores);
}

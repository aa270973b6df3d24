#pragma once
// Internal to this layer: the values of one cached row in a single block of bytes.
// A cached set may hold many thousand rows; one allocation per row, and a few bytes
// per column for the layout, keeps it close to the size of the values themselves.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TRegistro {
public:
    TRegistro() = default;
    // A row of the given values, std::nullopt for NULL.
    explicit TRegistro(const std::vector<std::optional<std::string_view>>& valores);
    static TRegistro Nulos(int colunas);

    int Colunas() const;
    bool Nulo(int indice) const;
    std::string_view Valor(int indice) const;   // empty for NULL
    std::optional<std::string_view> Opcional(int indice) const;
    // The same row with one value replaced.
    TRegistro ComValor(int indice, std::optional<std::string_view> valor) const;

    bool operator==(const TRegistro& outro) const = default;
    std::size_t BytesOcupados() const { return FBytes.capacity(); }

private:
    // One 32-bit start offset per column (its top bit marks NULL), then the values in
    // order; a value ends where the next begins, the last at the end of the block.
    static constexpr std::uint32_t MarcaNulo = 0x8000'0000u;
    std::uint32_t Inicio(int indice) const;
    std::string FBytes;
};

#pragma once
// Internal to this layer: one column of a result as Firebird described it, and the
// conversions between its stored bytes and the integer, text and date-time a caller sees.
#include "UDataHora.h"

#include <cstdint>
#include <string>
#include <string_view>

// A value is kept as the bytes Firebird sent for it (a VARCHAR without its length prefix,
// a CHAR with its padding, a large object's whole content), so a where-all comparison
// sends back exactly what was read.
struct TColuna {
    std::string Nome;       // the alias, as the caller names it
    std::string Campo;      // the column of the table, empty for an expression
    std::string Relacao;    // the table, empty for an expression
    unsigned Tipo = 0;      // SQL_xxx, without the nullable bit
    int SubTipo = 0;
    unsigned Tamanho = 0;   // bytes; for VARCHAR without the length prefix
    int Escala = 0;
    unsigned CharSet = 0;
    unsigned Deslocamento = 0;
    unsigned DeslocamentoNulo = 0;

    bool EhTexto() const;
    bool EhObjetoGrande() const;
    // Columns a WHERE can compare the read value with.
    bool Comparavel() const;
};

std::int64_t LeInteiro(const TColuna& coluna, std::string_view bytes);
std::string LeTexto(const TColuna& coluna, std::string_view bytes);
TDateTime LeDataHora(const TColuna& coluna, std::string_view bytes);

// Each gives the stored form of a value, or throws EErro naming the column when the
// value does not fit the column's type (a text into an integer, 70000 into a SMALLINT).
std::string CodificaInteiro(const TColuna& coluna, std::int64_t valor);
std::string CodificaTexto(const TColuna& coluna, const std::string& valor);
std::string CodificaDataHora(const TColuna& coluna, TDateTime valor);

// Throws EErro naming the column when a text is longer than the column holds. Firebird
// itself would store a cut value without a word, so this runs before anything is sent.
void VerificaTamanho(const TColuna& coluna, std::string_view bytes);

// The value of a column in a fetched message (not for large objects, which hold an id).
std::string_view LeDaMensagem(const TColuna& coluna, const unsigned char* mensagem);
// Writes a value in the column's own format at the given offset of an input message.
void GravaNaMensagem(const TColuna& coluna, std::string_view bytes, unsigned char* destino);

#pragma once
// Internal to this layer: how a cached set reads a result. Rows are fetched by a cursor,
// through a message whose wide texts may be declared narrower than their columns, so
// that each request brings more rows; values are kept as the bytes Firebird sent.
#include "UClientDataSetImpl.h"
#include "UColuna.h"
#include "UFirebird.h"

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TComando;
class TConexaoImpl;

// The result's columns as the statement describes them; EErro for a type not read.
std::vector<TColuna> DescreveColunas(Firebird::IMessageMetadata* saida, const std::string& texto);

// The statement's own description with every wide text declared narrower, or nullptr when
// it has none. A value longer than the narrow width then fails the fetch, and one that fills
// it (it may have lost trailing blanks on the way) makes LeCursor throw: either way the
// caller reads again at full width.
TRefFb<Firebird::IMessageMetadata> Estreita(Firebird::IMessageMetadata* saida, const std::vector<TColuna>& colunas,
                                           const std::string& acao);

// One fetched row as the cache keeps it; large objects are read in the same transaction.
// valores and objetosGrandes are scratch space of the columns' size, reused between rows.
TLinha LeLinha(const std::vector<TColuna>& colunas, const unsigned char* mensagem, Firebird::IAttachment* anexo,
               Firebird::ITransaction* transacao, std::vector<std::optional<std::string_view>>& valores,
               std::vector<std::string>& objetosGrandes);

// Every row of the statement's cursor, opened now and closed on every way out, the columns
// located in the message saida describes.
std::deque<TLinha> LeCursor(TComando& comando, Firebird::IMessageMetadata* saida, std::vector<TColuna> colunas,
                            TConexaoImpl& conexao, Firebird::ITransaction* transacao, const std::string& texto);

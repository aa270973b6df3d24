#pragma once
// Internal to this layer: reading and writing a large object's whole content.
#include <firebird/Interface.h>

#include <string>
#include <string_view>

std::string LeObjetoGrande(Firebird::IAttachment* anexo, Firebird::ITransaction* transacao, ISC_QUAD id, const std::string& coluna);
ISC_QUAD GravaObjetoGrande(Firebird::IAttachment* anexo, Firebird::ITransaction* transacao, std::string_view conteudo, const std::string& coluna);

#pragma once
// Internal to this layer: a SELECT read in a single request. Preparing a text is one request
// and opening and fetching its cursor another; IAttachment::execute does both at once, but it
// needs the result's description beforehand and gives one row at most. So the connection
// keeps, per shape of text (the same text but for the literals after its WHERE), a statement
// prepared earlier for its description, and whether that shape last returned one row at most.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Firebird { class IAttachment; class ITransaction; }
class TComando;

// The shape of a SELECT's text, or "" when no shape can be told safely: literals after the
// WHERE replaced, and nothing after it that could change the result's columns (a subquery, a
// UNION). A text without WHERE is its own shape.
std::string FormaDaConsulta(const std::string& texto);

class TConsultasUnicas {
public:
    // The statement whose description serves texts of this shape, while the shape returns
    // one row at most; nullptr otherwise.
    std::shared_ptr<TComando> Modelo(const std::string& forma) const;
    void Registra(const std::string& forma, std::shared_ptr<TComando> comando, bool umaNoMaximo);
    void Esvazia() noexcept;

    enum class TResultado { Uma, Nenhuma, Varias };
    // Runs texto through execute with the model's description, its row (if any) left in the
    // model's output buffer. Varias: the text returned more than one row and must be read by
    // a cursor. Other failures throw EErro.
    static TResultado Executa(Firebird::IAttachment* anexo, Firebird::ITransaction* transacao, unsigned dialeto,
                              const std::string& texto, TComando& modelo);

private:
    static constexpr std::size_t LimiteFormas = 64;
    std::map<std::string, std::pair<std::shared_ptr<TComando>, bool>> FFormas;
};

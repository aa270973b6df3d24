#pragma once
#include <QString>
#include <exception>
#include <functional>
#include <string>

// Every message box of the program goes through this layer, so that a test can answer
// the boxes instead of a person. Texts are the program's byte texts (UTF-8 or
// Windows-1252, see ParaQString).

constexpr auto TituloAplicacao = "Atualizador Executável";

// The application title: the caption of the message boxes. Empty until start-up sets it.
void DefineTituloAplicacao(const std::string& titulo);
QString TituloAtual();

// A box about to be shown.
struct TCaixa {
    enum class Tipo { Mensagem, Confirmacao, Erro };
    Tipo tipo;
    QString titulo;
    QString texto;
};

// Answers a box: true means "&Yes" for a confirmation; ignored for the other kinds.
using TRespondedor = std::function<bool(const TCaixa&)>;

// Replaces the one respondedor and returns the one it replaces. The initial one,
// MostraCaixa, shows a real modal box; an empty function also stands for it.
TRespondedor DefineRespondedor(TRespondedor respondedor);
bool MostraCaixa(const TCaixa& caixa);

// A plain modal box with OK and no icon, captioned with the application title.
void MostraMensagem(const std::string& texto);

// A modal question box captioned "Confirm" with "&Yes" and "&No"; true only for "&Yes".
bool ConfirmaCancelamento(const std::string& texto);

// The general error handler: a modal box with the error icon, captioned with the
// application title, showing TextoErro(e.what()).
void MostraErro(const std::exception& e);

// The error's text with "." appended when its last byte has a code above that of ".";
// "Falhou" ends with ".", "Falhou!" and "" stay as they are.
std::string TextoErro(const std::string& texto);

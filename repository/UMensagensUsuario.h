#pragma once
#include <string>

// How the repository code shows a message to the user: a modal box with an OK button.
// The window implements it with its message layer; tests record the texts.
class IMensagens {
public:
    virtual ~IMensagens() = default;
    virtual void Mensagem(const std::string& texto) = 0;
};

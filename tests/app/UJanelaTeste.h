#pragma once
// The window under test: a window, a data module of its own as DM, and a respondedor that
// records the message boxes. Shared by the start-up and the layout tests.
#include "UPrincipal.h"

#include "UDM.h"
#include "ULinhaComando.h"
#include "UMensagens.h"
#include "URespostasGravadas.h"

#include <QPoint>
#include <QRect>
#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

// Failures show rectangles as numbers, not as bytes.
inline void PrintTo(const QRect& r, std::ostream* saida)
{
    *saida << r.x() << ", " << r.y() << "; " << r.width() << " x " << r.height();
}
inline void PrintTo(const QPoint& p, std::ostream* saida) { *saida << p.x() << ", " << p.y(); }

using TArgumentos = std::vector<std::string>;

inline constexpr auto ProgramaTeste = "/opt/atualizador/atualizador";

// A window, a data module of its own as DM, and a respondedor that records the boxes.
class JanelaTeste : public testing::Test {
protected:
    JanelaTeste() : FDMAnterior(DM)
    {
        DM = &dm;
        dm.Usuario = "antes";
        dm.Senha = "antes";
        DefineTituloAplicacao("");
    }
    ~JanelaTeste() override { DM = FDMAnterior; }

    template <class T>
    T& Controle(const char* nome)
    {
        T* controle = janela.findChild<T*>(QString::fromLatin1(nome));
        if (controle == nullptr) throw std::runtime_error(std::string("no control ") + nome);
        return *controle;
    }

    void Cria(TArgumentos argumentos, std::string programa = ProgramaTeste)
    {
        janela.FormCreate(TLinhaComando{std::move(programa), std::move(argumentos)});
    }

    TDM dm;
    TfrmPrincipal janela;
    TRespostasGravadas respostas;

private:
    TDM* FDMAnterior;
};

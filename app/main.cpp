#include "UDM.h"
#include "ULinhaComando.h"
#include "UPlataforma.h"
#include "UPrincipal.h"

#include <QApplication>
#include <QFont>
#include <memory>


int main(int argc, char** argv)
{
    // Taken before QApplication, which removes the arguments it recognises (-style,
    // -reverse, ...) from argv, and a caption or a password may well look like one.
    TLinhaComando linha{CaminhoPrograma(), ArgumentosPrograma(argc, argv)};
    QApplication aplicacao(argc, argv);
    // Where MS Sans Serif is missing, the nearest narrow face keeps the captions
    // inside the fixed places the window gives them.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                                QStringLiteral("Arial"), QStringLiteral("DejaVu Sans Condensed")});

    const auto dm = std::make_unique<TDM>();
    DM = dm.get();

    TfrmPrincipal janela;
    frmPrincipal = &janela;
    janela.FormCreate(linha);
    if (janela.EncerramentoPedido()) return janela.CodigoSaida();

    janela.show();
    QApplication::exec();
    return janela.CodigoSaida();
}

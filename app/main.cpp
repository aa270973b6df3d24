#include "UArgumentosQt.h"
#include "UDM.h"
#include "ULinhaComando.h"
#include "UPlataforma.h"
#include "UPrincipal.h"

#include <QApplication>
#include <memory>


int main(int argc, char** argv)
{
    // A caption or a password may well look like one of Qt's options (-style, -reverse):
    // the tool reads the whole command line, Qt only the program's path.
    TLinhaComando linha{CaminhoPrograma(), ArgumentosPrograma(argc, argv)};
    TArgumentosQt argumentosQt(argc, argv);
    QApplication aplicacao(argumentosQt.Quantidade(), argumentosQt.Valores());

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

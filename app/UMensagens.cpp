#include "UMensagens.h"

#include "UTextoQt.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <utility>

namespace {

QString& Titulo()
{
    static QString titulo;
    return titulo;
}

TRespondedor& Respondedor()
{
    static TRespondedor respondedor = MostraCaixa;
    return respondedor;
}

bool Responde(const TCaixa& caixa)
{
    const TRespondedor& respondedor = Respondedor();
    return respondedor ? respondedor(caixa) : MostraCaixa(caixa);
}

}  // namespace

void DefineTituloAplicacao(const std::string& titulo) { Titulo() = ParaQString(titulo); }

QString TituloAtual() { return Titulo(); }

TRespondedor DefineRespondedor(TRespondedor respondedor)
{
    return std::exchange(Respondedor(), std::move(respondedor));
}

bool MostraCaixa(const TCaixa& caixa)
{
    QMessageBox caixaQt(QApplication::activeWindow());
    caixaQt.setWindowTitle(caixa.titulo);
    // The program's texts break lines as CR LF or a lone CR; Qt breaks them at LF only.
    QString texto = caixa.texto;
    texto.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
    caixaQt.setText(texto);
    caixaQt.setTextFormat(Qt::PlainText);
    switch (caixa.tipo) {
    case TCaixa::Tipo::Mensagem:
        caixaQt.setIcon(QMessageBox::NoIcon);
        caixaQt.setStandardButtons(QMessageBox::Ok);
        break;
    case TCaixa::Tipo::Erro:
        caixaQt.setIcon(QMessageBox::Critical);
        caixaQt.setStandardButtons(QMessageBox::Ok);
        break;
    case TCaixa::Tipo::Confirmacao: {
        caixaQt.setIcon(QMessageBox::Question);
        QPushButton* sim = caixaQt.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
        QPushButton* nao = caixaQt.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        caixaQt.setDefaultButton(sim);
        caixaQt.setEscapeButton(nao);   // Esc and the close box both answer No
        caixaQt.exec();
        return caixaQt.clickedButton() == sim;
    }
    }
    caixaQt.exec();
    return false;
}

void MostraMensagem(const std::string& texto)
{
    Responde({TCaixa::Tipo::Mensagem, TituloAtual(), ParaQString(texto)});
}

bool ConfirmaCancelamento(const std::string& texto)
{
    return Responde({TCaixa::Tipo::Confirmacao, QStringLiteral("Confirm"), ParaQString(texto)});
}

void MostraErro(const std::exception& e)
{
    Responde({TCaixa::Tipo::Erro, TituloAtual(), ParaQString(TextoErro(e.what()))});
}

std::string TextoErro(const std::string& texto)
{
    // Compared as unsigned bytes, so an accented last letter also gets its full stop.
    if (!texto.empty() && static_cast<unsigned char>(texto.back()) > '.') return texto + '.';
    return texto;
}

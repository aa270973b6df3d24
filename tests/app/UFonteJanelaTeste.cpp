// The window's captions against the fonts this machine has: a face wider than the one
// the window is laid out for clips a centred heading at both ends, cuts the end of a
// label or pushes it under the field beside it.
#include "UFonteJanela.h"
#include "UPrincipal.h"

#include <QAbstractButton>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <gtest/gtest.h>

#include <string>

namespace {

QString Descreve(const QWidget& controle, const QRect& area, const QSize& texto)
{
    return QStringLiteral("%1: text %2 x %3 in %4 x %5")
        .arg(controle.objectName())
        .arg(texto.width()).arg(texto.height()).arg(area.width()).arg(area.height());
}

// Where the control draws its caption.
QRect AreaDoTexto(const QWidget& controle)
{
    if (const auto* botao = qobject_cast<const QPushButton*>(&controle)) {
        QStyleOptionButton opcao;
        opcao.initFrom(botao);
        opcao.text = botao->text();
        return botao->style()->subElementRect(QStyle::SE_PushButtonContents, &opcao, botao);
    }
    return controle.contentsRect();
}

QString Texto(const QWidget& controle)
{
    if (const auto* rotulo = qobject_cast<const QLabel*>(&controle)) return rotulo->text();
    if (const auto* botao = qobject_cast<const QAbstractButton*>(&controle)) return botao->text();
    return {};
}

// Controls a caption must not run into.
bool OcupaLugar(const QWidget& controle)
{
    return qobject_cast<const QLineEdit*>(&controle) != nullptr
        || qobject_cast<const QAbstractButton*>(&controle) != nullptr
        || !Texto(controle).isEmpty();
}

class FonteJanelaTeste : public testing::Test {
protected:
    void SetUp() override
    {
        janela.show();   // lays out the panels' labels
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&janela));
    }

    TfrmPrincipal janela;
};

TEST_F(FonteJanelaTeste, AJanelaUsaUmaFaceParaQueFoiDesenhada)
{
    const QString usada = QFontInfo(janela.font()).family();
    EXPECT_TRUE(usada == QString::fromLatin1(FonteJanela) || SubstitutasFonteJanela().contains(usada))
        << usada.toStdString() << " stands in for " << FonteJanela
        << "; is a substitute installed (scripts/install-deps)?";
}

TEST_F(FonteJanelaTeste, CadaTextoCabeNoSeuControleSemInvadirOVizinho)
{
    auto* notebook = janela.findChild<QStackedWidget*>(QStringLiteral("Notebook1"));
    ASSERT_NE(notebook, nullptr);
    int textos = 0;
    // A page is laid out only while it is the one shown.
    for (int pagina = 0; pagina < notebook->count(); ++pagina) {
        notebook->setCurrentIndex(pagina);
        for (const QWidget* controle : janela.findChildren<QWidget*>()) {
            const QString texto = Texto(*controle);
            if (texto.isEmpty() || !controle->isVisible()) continue;
            ++textos;
            const QRect area = AreaDoTexto(*controle);
            const QSize tamanho = controle->fontMetrics().size(Qt::TextShowMnemonic, texto);
            EXPECT_TRUE(tamanho.width() <= area.width() && tamanho.height() <= area.height())
                << Descreve(*controle, area, tamanho).toStdString();

            for (const QObject* objeto : controle->parentWidget()->children()) {
                const auto* vizinho = qobject_cast<const QWidget*>(objeto);
                if (vizinho == nullptr || vizinho == controle || !vizinho->isVisible() || !OcupaLugar(*vizinho))
                    continue;
                EXPECT_FALSE(controle->geometry().intersects(vizinho->geometry()))
                    << controle->objectName().toStdString() << " runs into "
                    << vizinho->objectName().toStdString();
            }
        }
    }
    EXPECT_GE(textos, 6);   // the heading, the two labels, the footer and the two buttons
}

}  // namespace

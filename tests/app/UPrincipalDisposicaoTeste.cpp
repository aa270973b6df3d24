#include "UJanelaTeste.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

#include <ostream>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;
using namespace Qt::StringLiterals;
// Where each control stands, relative to its parent; a width of -1 checks the position
// only, for labels that size themselves to their text.
struct TCasoControle {
    const char* nome;
    const char* classe;
    const char* pai;
    QRect geometria;
    const char* texto;   // nullptr: the control shows no caption of its own
};

void PrintTo(const TCasoControle& caso, std::ostream* saida) { *saida << caso.nome; }

class DisposicaoTeste : public JanelaTeste, public testing::WithParamInterface<TCasoControle> {
protected:
    void SetUp() override
    {
        janela.show();   // lays out the panels' labels
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&janela));
    }
};

TEST_P(DisposicaoTeste, ControleNoSeuLugar)
{
    const TCasoControle& caso = GetParam();
    const QWidget& controle = Controle<QWidget>(caso.nome);
    // A page is laid out only while it is the one shown.
    auto& notebook = Controle<QStackedWidget>("Notebook1");
    for (const QWidget* w = &controle; w != nullptr; w = w->parentWidget())
        if (w->parentWidget() == &notebook) notebook.setCurrentWidget(const_cast<QWidget*>(w));
    EXPECT_STREQ(controle.metaObject()->className(), caso.classe);
    ASSERT_NE(controle.parentWidget(), nullptr);
    EXPECT_EQ(controle.parentWidget()->objectName(), QString::fromLatin1(caso.pai));
    if (caso.geometria.width() < 0)
        EXPECT_EQ(controle.pos(), caso.geometria.topLeft());
    else
        EXPECT_EQ(controle.geometry(), caso.geometria);
    if (caso.texto == nullptr) return;
    const QString esperado = QString::fromUtf8(caso.texto);
    if (const auto* rotulo = qobject_cast<const QLabel*>(&controle))
        EXPECT_EQ(rotulo->text(), esperado);
    else if (const auto* botao = qobject_cast<const QAbstractButton*>(&controle))
        EXPECT_EQ(botao->text(), esperado);
    else
        ADD_FAILURE() << "no caption to compare";
}

INSTANTIATE_TEST_SUITE_P(
    Controles, DisposicaoTeste,
    testing::Values(
        TCasoControle{"centralwidget", "QWidget", "TfrmPrincipal", {0, 0, 500, 357}, nullptr},
        TCasoControle{"Image1", "QLabel", "centralwidget", {0, 0, 500, 73}, ""},
        TCasoControle{"Notebook1", "QStackedWidget", "centralwidget", {1, 72, 500, 235}, nullptr},
        TCasoControle{"Bevel1", "QFrame", "centralwidget", {6, 315, 490, 9}, nullptr},
        TCasoControle{"Panel1", "QFrame", "centralwidget", {13, 308, 397, 16}, nullptr},
        TCasoControle{"Label1", "QLabel", "Panel1", {0, 0, 397, 16}, nullptr},
        TCasoControle{"BitBtn1", "QPushButton", "centralwidget", {324, 327, 73, 26}, "Atualizar"},
        TCasoControle{"BitBtn2", "QPushButton", "centralwidget", {405, 327, 73, 26}, "Cancelar"},
        TCasoControle{"Principal", "QWidget", "Notebook1", {0, 0, 500, 235}, nullptr},
        TCasoControle{"Bevel2", "QFrame", "Principal", {24, 51, 465, 121}, nullptr},
        TCasoControle{"Panel2", "QFrame", "Principal", {40, 67, 252, 15}, nullptr},
        TCasoControle{"Label2", "QLabel", "Panel2", {0, 0, 252, 15}, "Selecione ou Digite o Caminho do Banco de Dados"},
        TCasoControle{"Label3", "QLabel", "Principal", {75, 104, -1, -1}, "Servidor:"},
        TCasoControle{"EdMaquina", "QLineEdit", "Principal", {120, 100, 121, 21}, nullptr},
        TCasoControle{"Label4", "QLabel", "Principal", {34, 135, -1, -1}, "Banco de Dados:"},
        TCasoControle{"EdBancoDados", "QLineEdit", "Principal", {120, 131, 331, 21}, nullptr},
        TCasoControle{"SpeedButton1", "QToolButton", "Principal", {451, 130, 23, 22}, ""},
        TCasoControle{"Progresso", "QWidget", "Notebook1", {0, 0, 500, 235}, nullptr},
        TCasoControle{"EdDisplay", "QPlainTextEdit", "Progresso", {0, 35, 500, 169}, nullptr},
        TCasoControle{"ProgressBarLinhas", "QProgressBar", "Progresso", {20, 212, 464, 13}, nullptr}),
    [](const testing::TestParamInfo<TCasoControle>& info) { return std::string(info.param.nome); });

TEST_F(JanelaTeste, JanelaFixaCentradaSemMaximizar)
{
    janela.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&janela));

    EXPECT_EQ(janela.size(), QSize(500, 357));
    EXPECT_EQ(janela.minimumSize(), QSize(500, 357));
    EXPECT_EQ(janela.maximumSize(), QSize(500, 357));
    const Qt::WindowFlags bandeiras = janela.windowFlags();
    EXPECT_FALSE(bandeiras.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(bandeiras.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(bandeiras.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_TRUE(bandeiras.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(janela.font().family(), u"MS Sans Serif"_s);
    EXPECT_EQ(janela.font().pointSize(), 8);
    const QPoint centro = janela.screen()->geometry().center();
    EXPECT_LE((janela.frameGeometry().center() - centro).manhattanLength(), 2);
}

TEST_F(JanelaTeste, AjustesDosControles)
{
    const auto& notebook = Controle<QStackedWidget>("Notebook1");
    ASSERT_EQ(notebook.count(), 2);
    EXPECT_EQ(notebook.widget(0)->objectName(), u"Principal"_s);
    EXPECT_EQ(notebook.widget(1)->objectName(), u"Progresso"_s);
    EXPECT_EQ(notebook.currentIndex(), 0);

    EXPECT_TRUE(Controle<QLabel>("Image1").hasScaledContents());
    const auto& rodape = Controle<QLabel>("Label1");
    EXPECT_FALSE(rodape.text().isEmpty());
    EXPECT_FALSE(rodape.isEnabled());
    EXPECT_TRUE(rodape.font().bold());
    EXPECT_TRUE(rodape.font().italic());
    EXPECT_TRUE(rodape.alignment().testFlag(Qt::AlignHCenter));
    EXPECT_TRUE(Controle<QLabel>("Label2").alignment().testFlag(Qt::AlignHCenter));
    EXPECT_EQ(Controle<QFrame>("Bevel1").frameShape(), QFrame::HLine);
    EXPECT_EQ(Controle<QFrame>("Bevel2").frameShape(), QFrame::Box);
    EXPECT_EQ(Controle<QFrame>("Bevel2").frameShadow(), QFrame::Sunken);
    EXPECT_FALSE(Controle<QLineEdit>("EdMaquina").hasFrame());
    EXPECT_FALSE(Controle<QLineEdit>("EdBancoDados").hasFrame());

    const auto& procurar = Controle<QToolButton>("SpeedButton1");
    EXPECT_TRUE(procurar.autoRaise());
    EXPECT_FALSE(procurar.icon().isNull());
    EXPECT_EQ(procurar.iconSize(), QSize(16, 16));

    const auto& display = Controle<QPlainTextEdit>("EdDisplay");
    EXPECT_TRUE(display.isReadOnly());
    EXPECT_EQ(display.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(display.palette().color(QPalette::Base), display.palette().color(QPalette::Button));

    // The run raises the position one step per file from wherever it stands, so it
    // must start at 0, not at Qt's "no value" of minimum - 1.
    const auto& barra = Controle<QProgressBar>("ProgressBarLinhas");
    EXPECT_EQ(barra.minimum(), 0);
    EXPECT_EQ(barra.value(), 0);
    EXPECT_FALSE(barra.isTextVisible());
}

TEST_F(JanelaTeste, OrdemDeTabulacaoEFocoInicial)
{
    Cria({"T", "srv", "b.fdb", "SIS", "VormelaK"});
    janela.show();
    janela.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&janela));

    EXPECT_EQ(QApplication::focusWidget(), &Controle<QWidget>("BitBtn1"));

    QStringList ordem;
    QWidget* const primeiro = &Controle<QWidget>("BitBtn1");
    QWidget* atual = primeiro;
    for (int passos = 0; passos < 1000; ++passos) {   // the chain is a ring; this only stops a broken one
        if (atual->focusPolicy() & Qt::TabFocus) ordem << atual->objectName();
        atual = atual->nextInFocusChain();
        if (atual == primeiro) break;
    }
    EXPECT_EQ(ordem, (QStringList{u"BitBtn1"_s, u"BitBtn2"_s, u"EdMaquina"_s, u"EdBancoDados"_s, u"EdDisplay"_s}));
}

struct TCasoEnter {
    const char* nome;
    const char* botao;
    Qt::Key tecla;
};

void PrintTo(const TCasoEnter& caso, std::ostream* saida) { *saida << caso.nome; }

class EnterTeste : public JanelaTeste, public testing::WithParamInterface<TCasoEnter> {};

// As on the platform the tool comes from, Enter presses the button that has the focus.
TEST_P(EnterTeste, PressionaOBotaoComFoco)
{
    // No server and a file that is not there: "Atualizar" ends at once with its message.
    Cria({"T", " ", "/nao/existe/base.fdb", "SIS", "VormelaK"});
    janela.show();
    janela.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&janela));
    auto& botao = Controle<QPushButton>(GetParam().botao);
    botao.setFocus();
    QSignalSpy pressionado(&botao, &QPushButton::clicked);

    QTest::keyClick(janela.windowHandle(), GetParam().tecla);

    EXPECT_EQ(pressionado.count(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Casos, EnterTeste,
    testing::Values(
        TCasoEnter{"AtualizarComReturn", "BitBtn1", Qt::Key_Return},
        TCasoEnter{"AtualizarComEnterDoTeclado", "BitBtn1", Qt::Key_Enter},
        TCasoEnter{"CancelarComReturn", "BitBtn2", Qt::Key_Return}),
    [](const testing::TestParamInfo<TCasoEnter>& info) { return std::string(info.param.nome); });

}  // namespace

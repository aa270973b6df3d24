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

TEST_F(JanelaTeste, ComAChaveCertaPreencheAJanelaEAsCredenciais)
{
    janela.PodeFechar = false;
    Controle<QStackedWidget>("Notebook1").setCurrentIndex(1);

    Cria({"Atualiza\xe7\xe3o do Sistema", "srv", "C:\\Meus Dados\\base.fdb", "  SISTEMA  ", "VormelaK",
          " joao ", "\tsegredo\r\n"});

    EXPECT_TRUE(respostas.Caixas.empty());
    EXPECT_FALSE(janela.EncerramentoPedido());
    EXPECT_EQ(TituloAtual(), u"Atualizador Executável"_s);
    EXPECT_TRUE(janela.PodeFechar);
    EXPECT_EQ(Controle<QStackedWidget>("Notebook1").currentWidget()->objectName(), u"Principal"_s);
    EXPECT_EQ(janela.windowTitle(), u"Atualização do Sistema"_s);
    EXPECT_EQ(Controle<QLineEdit>("EdMaquina").text(), u"srv"_s);
    EXPECT_EQ(Controle<QLineEdit>("EdBancoDados").text(), u"C:\\Meus Dados\\base.fdb"_s);
    EXPECT_EQ(janela.PastaRepositorio, "SISTEMA\\");
    EXPECT_EQ(dm.Usuario, "joao");
    EXPECT_EQ(dm.Senha, "segredo");
}

TEST_F(JanelaTeste, SemArgumentosDeixaTudoVazioERecusa)
{
    Cria({});

    EXPECT_EQ(janela.windowTitle(), u""_s);
    EXPECT_EQ(Controle<QLineEdit>("EdMaquina").text(), u""_s);
    EXPECT_EQ(Controle<QLineEdit>("EdBancoDados").text(), u""_s);
    EXPECT_EQ(janela.PastaRepositorio, "\\");
    ASSERT_EQ(respostas.Caixas.size(), 1u);
    EXPECT_EQ(respostas.Caixas[0].texto, u"Execução não autorizada!"_s);
    EXPECT_TRUE(janela.EncerramentoPedido());
}

struct TCasoChave {
    const char* nome;
    TArgumentos argumentos;
};

void PrintTo(const TCasoChave& caso, std::ostream* saida) { *saida << caso.nome; }

class ChaveErradaTeste : public JanelaTeste, public testing::WithParamInterface<TCasoChave> {};

TEST_P(ChaveErradaTeste, MostraARecusaEncerraENaoTocaNasCredenciais)
{
    Cria(GetParam().argumentos);

    ASSERT_EQ(respostas.Caixas.size(), 1u);
    EXPECT_EQ(respostas.Caixas[0].tipo, TCaixa::Tipo::Mensagem);
    EXPECT_EQ(respostas.Caixas[0].titulo, u"Atualizador Executável"_s);
    EXPECT_EQ(respostas.Caixas[0].texto, u"Execução não autorizada!"_s);
    EXPECT_TRUE(janela.EncerramentoPedido());
    EXPECT_EQ(janela.CodigoSaida(), 4);
    EXPECT_EQ(dm.Usuario, "antes");
    EXPECT_EQ(dm.Senha, "antes");
    // The steps before the check have run all the same.
    EXPECT_EQ(Controle<QLineEdit>("EdMaquina").text(), u"srv"_s);
    EXPECT_EQ(janela.PastaRepositorio, "SIS\\");
}

INSTANTIATE_TEST_SUITE_P(
    Casos, ChaveErradaTeste,
    testing::Values(
        TCasoChave{"Ausente", {"T", "srv", "b.fdb", "SIS"}},
        TCasoChave{"Vazia", {"T", "srv", "b.fdb", "SIS", "", "ana", "x"}},
        TCasoChave{"BrancoNoFim", {"T", "srv", "b.fdb", "SIS", "VormelaK ", "ana", "x"}},
        TCasoChave{"BrancoNoInicio", {"T", "srv", "b.fdb", "SIS", " VormelaK", "ana", "x"}},
        TCasoChave{"OutraCaixa", {"T", "srv", "b.fdb", "SIS", "vormelak", "ana", "x"}},
        TCasoChave{"ComSufixo", {"T", "srv", "b.fdb", "SIS", "VormelaKK", "ana", "x"}},
        TCasoChave{"UmaPosicaoAntes", {"T", "srv", "b.fdb", "SIS", "ana", "VormelaK", "x"}}),
    [](const testing::TestParamInfo<TCasoChave>& info) { return std::string(info.param.nome); });

struct TCasoAparados {
    const char* nome;
    TArgumentos aposAChave;   // arguments 6 and 7, as many as given
    std::string pasta;        // argument 4
    std::string usuario, senha, pastaEsperada;
};

void PrintTo(const TCasoAparados& caso, std::ostream* saida) { *saida << caso.nome; }

class AparadosTeste : public JanelaTeste, public testing::WithParamInterface<TCasoAparados> {};

TEST_P(AparadosTeste, PastaECredenciaisSaemAparadasOuComOPadrao)
{
    TArgumentos argumentos{"T", "srv", "b.fdb", GetParam().pasta, "VormelaK"};
    argumentos.insert(argumentos.end(), GetParam().aposAChave.begin(), GetParam().aposAChave.end());
    Cria(argumentos);

    EXPECT_TRUE(respostas.Caixas.empty());
    EXPECT_EQ(janela.PastaRepositorio, GetParam().pastaEsperada);
    EXPECT_EQ(dm.Usuario, GetParam().usuario);
    EXPECT_EQ(dm.Senha, GetParam().senha);
}

INSTANTIATE_TEST_SUITE_P(
    Casos, AparadosTeste,
    testing::Values(
        TCasoAparados{"CredenciaisAusentes", {}, "SISTEMA", "SYSDBA", "tornagild", "SISTEMA\\"},
        TCasoAparados{"CredenciaisSoBrancos", {"   ", " \t "}, "SISTEMA", "SYSDBA", "tornagild", "SISTEMA\\"},
        TCasoAparados{"SoUsuario", {"ana"}, "SISTEMA", "ana", "tornagild", "SISTEMA\\"},
        TCasoAparados{"UsuarioEmBranco", {" ", "s3"}, "SISTEMA", "SYSDBA", "s3", "SISTEMA\\"},
        TCasoAparados{"ControlesEmVolta", {"\x01 ana\x1f", "\r\nx y\t"}, "SISTEMA", "ana", "x y", "SISTEMA\\"},
        TCasoAparados{"PastaComBrancosEmVolta", {}, "  SISTEMA  ", "SYSDBA", "tornagild", "SISTEMA\\"},
        TCasoAparados{"PastaSoBrancos", {}, " \t ", "SYSDBA", "tornagild", "\\"},
        TCasoAparados{"PastaJaComBarra", {}, "SISTEMA\\", "SYSDBA", "tornagild", "SISTEMA\\\\"},
        TCasoAparados{"PastaComBrancoNoMeio", {}, "\tSub Pasta\r\n", "SYSDBA", "tornagild", "Sub Pasta\\"}),
    [](const testing::TestParamInfo<TCasoAparados>& info) { return std::string(info.param.nome); });

enum class TLogo { Ausente, Jpeg, NaoEJpeg, Diretorio };

struct TCasoLogo {
    const char* nome;
    TLogo logo;
    bool mostra;
};

void PrintTo(const TCasoLogo& caso, std::ostream* saida) { *saida << caso.nome; }

class LogoTeste : public JanelaTeste, public testing::WithParamInterface<TCasoLogo> {};

TEST_P(LogoTeste, MostraSoUmJpegLegivelESegueEmFrente)
{
    QTemporaryDir pasta;
    ASSERT_TRUE(pasta.isValid());
    const QString logo = pasta.filePath(u"logo.jpg"_s);
    switch (GetParam().logo) {
    case TLogo::Ausente: break;
    case TLogo::Jpeg: {
        QImage imagem(40, 6, QImage::Format_RGB32);
        imagem.fill(Qt::darkBlue);
        ASSERT_TRUE(imagem.save(logo, "JPG"));
        break;
    }
    case TLogo::NaoEJpeg: {
        QFile arquivo(logo);
        ASSERT_TRUE(arquivo.open(QIODevice::WriteOnly));
        arquivo.write("isto nao e uma imagem\r\n");
        break;
    }
    case TLogo::Diretorio: ASSERT_TRUE(QDir(pasta.path()).mkdir(u"logo.jpg"_s)); break;
    }

    Cria({"T", "srv", "b.fdb", "SIS", "VormelaK", "ana"}, pasta.filePath(u"atualizador"_s).toStdString());

    EXPECT_EQ(!Controle<QLabel>("Image1").pixmap().isNull(), GetParam().mostra);
    EXPECT_TRUE(respostas.Caixas.empty());
    EXPECT_EQ(Controle<QLineEdit>("EdMaquina").text(), u"srv"_s);
    EXPECT_EQ(dm.Usuario, "ana");
}

INSTANTIATE_TEST_SUITE_P(
    Casos, LogoTeste,
    testing::Values(
        TCasoLogo{"Ausente", TLogo::Ausente, false},
        TCasoLogo{"Jpeg", TLogo::Jpeg, true},
        TCasoLogo{"NaoEJpeg", TLogo::NaoEJpeg, false},
        TCasoLogo{"Diretorio", TLogo::Diretorio, false}),
    [](const testing::TestParamInfo<TCasoLogo>& info) { return std::string(info.param.nome); });

// Server and path reach the connection with the bytes they were given, whatever the
// window shows for them, until the user edits them.
TEST_F(JanelaTeste, CamposDevolvemOsBytesDoArgumentoAteSeremEditados)
{
    Cria({"T", "m\xe1quina", "/dados/Sistema\xe7\xe3o/base.fdb", "SIS", "VormelaK"});
    EXPECT_EQ(Controle<QLineEdit>("EdBancoDados").text(), QString::fromUtf8("/dados/Sistemação/base.fdb"));
    EXPECT_EQ(janela.TextoMaquina(), "m\xe1quina");
    EXPECT_EQ(janela.TextoBancoDados(), "/dados/Sistema\xe7\xe3o/base.fdb");

    Controle<QLineEdit>("EdBancoDados").setText(QString::fromUtf8("/outro/ação.fdb"));
    EXPECT_EQ(janela.TextoBancoDados(), "/outro/a\xc3\xa7\xc3\xa3o.fdb");
}

TEST_F(JanelaTeste, CancelarFechaAJanelaOciosaSemPerguntar)
{
    Cria({"T", "srv", "b.fdb", "SIS", "VormelaK"});
    janela.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&janela));

    Controle<QPushButton>("BitBtn2").click();

    EXPECT_FALSE(janela.isVisible());
    EXPECT_TRUE(respostas.Caixas.empty());
    EXPECT_TRUE(Controle<QPushButton>("BitBtn2").isEnabled());
    EXPECT_EQ(janela.CodigoSaida(), 2);   // ended before any run
}

}  // namespace

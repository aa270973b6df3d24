// The window's behaviour around an update run: the close confirmation, the run started
// from "Atualizar" against the test server, and the browse dialog's preselection.
#include "UPrincipal.h"

#include "UBancoTeste.h"
#include "UDM.h"
#include "ULinhaComando.h"
#include "UMensagens.h"
#include "URespostasGravadas.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using namespace std::string_literals;

void Escreve(const QString& caminho, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(caminho).absolutePath());
    QFile arquivo(caminho);
    ASSERT_TRUE(arquivo.open(QIODevice::WriteOnly));
    arquivo.write(bytes);
}

struct TSuiteJanela {
    static constexpr auto NomeBanco = "janela";
    static std::vector<std::string> Tabelas() { return {}; }
};

class JanelaExecucaoTeste : public TTesteComBanco<TSuiteJanela> {
protected:
    void SetUp() override
    {
        TTesteComBanco::SetUp();
        if (HasFatalFailure()) return;
        FDMAnterior = DM;
        DM = &FDm;
        FJanela.FormCreate(TLinhaComando{FPasta.filePath("atualizador").toStdString(),
                                         {"Teste", Banco().Servidor(), Banco().Caminho(),
                                          "SISTEMA", "VormelaK", std::getenv("ATUALIZADOR_TEST_USER"),
                                          std::getenv("ATUALIZADOR_TEST_PASSWORD")}});
        Escreve(FPasta.filePath("a.txt"), "a.txt;20240305140709\nlinha a\n");
        Escreve(FPasta.filePath("b.txt"), "b.txt;20240305140709\nlinha b\n");
        Escreve(FPasta.filePath("ListaArquivos.txt"), "a.txt\r\nb.txt\r\n");
        FJanela.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&FJanela));
    }
    void TearDown() override { DM = FDMAnterior; }

    std::string Arquivos() { return Banco().Valor("SELECT LIST(ARQUIVO, '|') FROM REPOSITORIO").value_or(""); }

    QTemporaryDir FPasta;
    TDM FDm;
    TfrmPrincipal FJanela;
    TDM* FDMAnterior = nullptr;
};

TEST_F(JanelaExecucaoTeste, AtualizarEnviaTudoEFechaAJanela)
{
    TRespostasGravadas respostas;
    FJanela.findChild<QPushButton*>("BitBtn1")->click();

    EXPECT_EQ(Arquivos(), "SISTEMA\\A.TXT|SISTEMA\\B.TXT");
    EXPECT_FALSE(FJanela.isVisible());
    EXPECT_TRUE(respostas.Caixas.empty());
    EXPECT_TRUE(FJanela.PodeFechar);
    EXPECT_EQ(FJanela.CodigoSaida(), 0);
}

// A close request that arrives while the run pumps messages is confirmed first: No lets
// the run go on to the end; Yes stops it before the next file.
struct TCasoFechamento { const char* nome; bool resposta; const char* arquivos; int codigoSaida; };

class FechamentoDuranteExecucaoTeste : public JanelaExecucaoTeste, public testing::WithParamInterface<TCasoFechamento> {};

TEST_P(FechamentoDuranteExecucaoTeste, PerguntaAntesDeFechar)
{
    TRespostasGravadas respostas(GetParam().resposta);
    // Arrives at the run's first pump, before a.txt.
    QMetaObject::invokeMethod(&FJanela, &QWidget::close, Qt::QueuedConnection);

    FJanela.findChild<QPushButton*>("BitBtn1")->click();

    ASSERT_EQ(respostas.Caixas.size(), 1u);
    EXPECT_EQ(respostas.Caixas[0].tipo, TCaixa::Tipo::Confirmacao);
    EXPECT_EQ(respostas.Caixas[0].titulo, QString("Confirm"));
    EXPECT_EQ(respostas.Caixas[0].texto, QString::fromUtf8("Tem Certeza que deseja cancelar a atualização?\r\n"
                                                           "Os Arquivos que ainda não foram enviados não serão atualizados!"));
    EXPECT_EQ(Arquivos(), GetParam().arquivos);
    EXPECT_FALSE(FJanela.isVisible());
    EXPECT_TRUE(FJanela.PodeFechar);
    EXPECT_TRUE(FJanela.findChild<QPushButton*>("BitBtn1")->isEnabled());
    EXPECT_EQ(FJanela.CodigoSaida(), GetParam().codigoSaida);
}

INSTANTIATE_TEST_SUITE_P(Casos, FechamentoDuranteExecucaoTeste, testing::Values(
    TCasoFechamento{"NaoSegue", false, "SISTEMA\\A.TXT|SISTEMA\\B.TXT", 0},
    TCasoFechamento{"SimPara", true, "", 2}),
    [](const testing::TestParamInfo<TCasoFechamento>& info) { return std::string(info.param.nome); });

TEST_F(JanelaExecucaoTeste, ErroNaoTratadoVaiAoTratadorGeral)
{
    Escreve(FPasta.filePath("b.txt"), "b.txt;2024\nlinha b\n");
    TRespostasGravadas respostas;

    FJanela.findChild<QPushButton*>("BitBtn1")->click();

    ASSERT_EQ(respostas.Caixas.size(), 1u);
    EXPECT_EQ(respostas.Caixas[0].tipo, TCaixa::Tipo::Erro);
    EXPECT_EQ(respostas.Caixas[0].titulo, QString::fromUtf8("Atualizador Executável"));
    EXPECT_TRUE(respostas.Caixas[0].texto.contains("2024")) << respostas.Caixas[0].texto.toStdString();
    EXPECT_EQ(Arquivos(), "SISTEMA\\A.TXT");
    EXPECT_TRUE(FJanela.isVisible());
    EXPECT_TRUE(FJanela.findChild<QPushButton*>("BitBtn1")->isEnabled());
    EXPECT_EQ(FJanela.CodigoSaida(), 3);
}

// The browse dialog preselects the field's file when it exists, and otherwise keeps the
// name it had: empty the first time, then the last one chosen.
TEST_F(JanelaExecucaoTeste, ProcurarPreSelecionaOArquivoDoCampoOuOUltimo)
{
    const QString base = FPasta.filePath("dados/BASE.FDB");
    const QString outra = FPasta.filePath("dados/outra.gdb");
    Escreve(base, "x");
    Escreve(outra, "x");
    auto* campo = FJanela.findChild<QLineEdit*>("EdBancoDados");
    QString preSelecionado;
    QString escolha;
    FJanela.DefineExecutaDialogo([&](QFileDialog& dialogo) {
        preSelecionado = dialogo.findChild<QLineEdit*>("fileNameEdit")->text();
        EXPECT_EQ(dialogo.windowTitle(), QString("Abrir Arquivo de Banco de Dados Interbase/Firebase"));
        EXPECT_TRUE(dialogo.selectedNameFilter().startsWith("Banco de Dados Interbase/Firebird"))
            << dialogo.selectedNameFilter().toStdString();
        EXPECT_FALSE(dialogo.filter() & QDir::CaseSensitive);   // "*.Fdb" also finds "BASE.FDB"
        if (escolha.isEmpty()) {
            // The user types a name, then cancels.
            dialogo.findChild<QLineEdit*>("fileNameEdit")->setText("digitado.fdb");
            return false;
        }
        dialogo.selectFile(escolha);
        return true;
    });

    campo->setText("");
    FJanela.SpeedButton1Click();
    EXPECT_EQ(preSelecionado, QString());   // nothing chosen yet
    EXPECT_EQ(campo->text(), QString());    // cancelled: nothing changes
    FJanela.SpeedButton1Click();
    EXPECT_EQ(preSelecionado, QString());   // nor does what was typed before cancelling

    escolha = outra;
    FJanela.SpeedButton1Click();
    EXPECT_EQ(campo->text(), outra);

    campo->setText("");
    escolha.clear();
    FJanela.SpeedButton1Click();
    EXPECT_EQ(preSelecionado, QString("outra.gdb"));   // the last one chosen

    campo->setText(base);
    FJanela.SpeedButton1Click();
    EXPECT_EQ(preSelecionado, QString("BASE.FDB"));     // the field's existing file
    EXPECT_EQ(campo->text(), base);
}

// The database file may be a path on the server: the dialog takes a name it cannot find
// here as typed, without a warning, and the field shows it.
TEST_F(JanelaExecucaoTeste, ProcurarAceitaUmCaminhoQueNaoExisteAqui)
{
    const QString noServidor = QString::fromUtf8("/srv/firebird/Produção/BASE.FDB");
    auto* campo = FJanela.findChild<QLineEdit*>("EdBancoDados");
    QStringList avisos;
    // A warning box would wait for a person: it is noted and closed instead.
    QTimer vigia;
    QObject::connect(&vigia, &QTimer::timeout, [&] {
        if (auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            avisos << caixa->text();
            caixa->reject();
        }
    });
    vigia.start(10);
    FJanela.DefineExecutaDialogo([&](QFileDialog& dialogo) {
        dialogo.findChild<QLineEdit*>("fileNameEdit")->setText(noServidor);
        static_cast<QDialog&>(dialogo).accept();   // what "Open" or Enter does
        return dialogo.result() == QDialog::Accepted;
    });

    campo->setText("");   // nothing preselected, so the dialog takes what is typed
    FJanela.SpeedButton1Click();

    EXPECT_EQ(avisos, QStringList()) << avisos.join(' ').toStdString();
    EXPECT_EQ(campo->text(), noServidor) << campo->text().toStdString();
    EXPECT_EQ(FJanela.TextoBancoDados(), "/srv/firebird/Produção/BASE.FDB");
}

} // namespace

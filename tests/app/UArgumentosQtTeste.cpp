// What Qt makes of the command line. A suite of its own: each test needs a process whose
// QApplication is built from the arguments under test.
#include "UArgumentosQt.h"

#include <QApplication>
#include <QProcess>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Arguments that Qt's own parser would take for its options.
const std::vector<std::string> LinhaComOpcoesDoQt = {
    "/opt/atualizador/atualizador", "-reverse", "-platform", "x", "-style", "nenhum", "VormelaK",
};

TEST(ArgumentosQtTeste, OQtSoVeOCaminhoDoPrograma)
{
    std::vector<std::string> linha = LinhaComOpcoesDoQt;
    std::vector<char*> argv;
    for (std::string& argumento : linha) argv.push_back(argumento.data());
    argv.push_back(nullptr);

    qputenv("QT_QPA_PLATFORM", "offscreen");   // what "-platform x" must not override
    TArgumentosQt argumentosQt(static_cast<int>(linha.size()), argv.data());
    QApplication aplicacao(argumentosQt.Quantidade(), argumentosQt.Valores());

    EXPECT_EQ(QGuiApplication::layoutDirection(), Qt::LeftToRight);
    EXPECT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    EXPECT_EQ(QCoreApplication::arguments(), QStringList{QStringLiteral("/opt/atualizador/atualizador")});
}

// The program itself, with a caption and a server that name Qt's platform option: it
// opens its window and waits for the user instead of ending at once.
TEST(ArgumentosQtTeste, OProgramaNaoTerminaComOpcoesDoQtNosArgumentos)
{
    QProcess programa;
    programa.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    programa.setProcessEnvironment(ambiente);
    programa.start(QStringLiteral(ATUALIZADOR_PROGRAMA),
                   {QStringLiteral("-platform"), QStringLiteral("x"), QStringLiteral("-reverse"),
                    QStringLiteral("SISTEMA"), QStringLiteral("VormelaK")});
    ASSERT_TRUE(programa.waitForStarted());

    const bool terminou = programa.waitForFinished(3000);
    if (!terminou) {
        programa.kill();
        programa.waitForFinished();
    }
    EXPECT_FALSE(terminou) << (programa.exitStatus() == QProcess::CrashExit ? "crashed: " : "ended: ")
                           << programa.readAll().toStdString();
}

}  // namespace

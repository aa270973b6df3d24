#include "UMensagens.h"

#include "UAtualizacao.h"
#include "URespostasGravadas.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

namespace {

using namespace std::string_literals;
using namespace Qt::StringLiterals;

struct TCasoErro {
    std::string texto;
    std::string esperado;
};

class TextoErroTeste : public testing::TestWithParam<TCasoErro> {};

TEST_P(TextoErroTeste, PoeUmPontoSoDepoisDeCodigoAcimaDoPonto)
{
    EXPECT_EQ(TextoErro(GetParam().texto), GetParam().esperado);
}

INSTANTIATE_TEST_SUITE_P(
    Casos, TextoErroTeste,
    testing::Values(
        TCasoErro{"", ""},
        TCasoErro{"Falhou", "Falhou."},
        TCasoErro{"Falhou.", "Falhou."},
        TCasoErro{"Falhou!", "Falhou!"},
        TCasoErro{"Falhou ", "Falhou "},
        TCasoErro{"Erro -", "Erro -"},
        TCasoErro{"Arquivo C:/", "Arquivo C:/."},
        TCasoErro{"Linha 10", "Linha 10."},
        TCasoErro{"Confirma?", "Confirma?."},
        TCasoErro{"Falhou\r\n", "Falhou\r\n"},
        TCasoErro{"Versão", "Versão."},
        TCasoErro{"Vers\xe3"s, "Vers\xe3."s}));

class CaixasTeste : public testing::Test {
protected:
    void SetUp() override { DefineTituloAplicacao(TituloAplicacao); }
};

TEST_F(CaixasTeste, CadaCaixaTemSeuTipoTituloETexto)
{
    TRespostasGravadas respostas;
    MostraMensagem("Banco de Dados Inv\xe1lido!"s);
    ConfirmaCancelamento("Tem certeza?");
    MostraErro(std::runtime_error("Falha ao abrir o arquivo"));

    ASSERT_EQ(respostas.Caixas.size(), 3u);
    EXPECT_EQ(respostas.Caixas[0].tipo, TCaixa::Tipo::Mensagem);
    EXPECT_EQ(respostas.Caixas[0].titulo, u"Atualizador Executável"_s);
    EXPECT_EQ(respostas.Caixas[0].texto, u"Banco de Dados Inválido!"_s);
    EXPECT_EQ(respostas.Caixas[1].tipo, TCaixa::Tipo::Confirmacao);
    EXPECT_EQ(respostas.Caixas[1].titulo, u"Confirm"_s);
    EXPECT_EQ(respostas.Caixas[1].texto, u"Tem certeza?"_s);
    EXPECT_EQ(respostas.Caixas[2].tipo, TCaixa::Tipo::Erro);
    EXPECT_EQ(respostas.Caixas[2].titulo, u"Atualizador Executável"_s);
    EXPECT_EQ(respostas.Caixas[2].texto, u"Falha ao abrir o arquivo."_s);
}

// The fixed text is UTF-8 in the program, the path arrives in the parent's code page.
TEST_F(CaixasTeste, MensagemDeConexaoMostraTextoFixoECaminhoWindows1252)
{
    TRespostasGravadas respostas;
    MostraMensagem(MensagemFalhaConexao("C:\\Dados\\Produ\xe7\xe3o\\base.fdb"s));
    MostraErro(std::runtime_error("Não foi possível abrir o arquivo \"/dados/Produ\xe7\xe3o.txt\""s));

    ASSERT_EQ(respostas.Caixas.size(), 2u);
    EXPECT_EQ(respostas.Caixas[0].texto,
              u"Não foi possível conectar no Banco de Dados!\r\nO Arquivo de Banco de Dados "
              u"C:\\Dados\\Produção\\base.fdb\rNão Existe ou não foi Encontrado."_s);
    EXPECT_EQ(respostas.Caixas[1].texto, u"Não foi possível abrir o arquivo \"/dados/Produção.txt\""_s);
}

TEST_F(CaixasTeste, ConfirmacaoDevolveAResposta)
{
    {
        TRespostasGravadas sim(true);
        EXPECT_TRUE(ConfirmaCancelamento("?"));
    }
    TRespostasGravadas nao(false);
    EXPECT_FALSE(ConfirmaCancelamento("?"));
}

TEST_F(CaixasTeste, RespondedorAnteriorVoltaAoSeuLugar)
{
    TRespostasGravadas externo;
    {
        TRespostasGravadas interno;
        MostraMensagem("dentro");
        EXPECT_EQ(interno.Caixas.size(), 1u);
    }
    MostraMensagem("fora");
    ASSERT_EQ(externo.Caixas.size(), 1u);
    EXPECT_EQ(externo.Caixas[0].texto, u"fora"_s);
}

// The real boxes, answered by a timer that acts on the modal box once it is open.
struct TCasoCaixaReal {
    const char* nome;
    std::function<void(QMessageBox&)> acao;
    bool esperado;
};

void PrintTo(const TCasoCaixaReal& caso, std::ostream* saida) { *saida << caso.nome; }

QPushButton* BotaoComTexto(QMessageBox& caixa, const QString& texto)
{
    for (QAbstractButton* botao : caixa.buttons())
        if (botao->text() == texto) return qobject_cast<QPushButton*>(botao);
    return nullptr;
}

// Runs acao on the next modal box to open and records what it looked like.
struct TObservaCaixa {
    explicit TObservaCaixa(std::function<void(QMessageBox&)> acao)
    {
        QTimer::singleShot(0, [this, acao] {
            auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (caixa == nullptr) return;   // the test fails on its own: nothing answered
            aberta = true;
            titulo = caixa->windowTitle();
            icone = caixa->icon();
            for (QAbstractButton* botao : caixa->buttons()) botoes << botao->text();
            acao(*caixa);
        });
    }
    bool aberta = false;
    QString titulo;
    QMessageBox::Icon icone = QMessageBox::NoIcon;
    QStringList botoes;
};

class ConfirmacaoRealTeste : public testing::TestWithParam<TCasoCaixaReal> {};

TEST_P(ConfirmacaoRealTeste, SimSoComOBotaoSim)
{
    TObservaCaixa observa(GetParam().acao);
    EXPECT_EQ(MostraCaixa({TCaixa::Tipo::Confirmacao, u"Confirm"_s, u"Cancelar?"_s}), GetParam().esperado);
    ASSERT_TRUE(observa.aberta);
    EXPECT_EQ(observa.titulo, u"Confirm"_s);
    EXPECT_EQ(observa.icone, QMessageBox::Question);
    EXPECT_EQ(observa.botoes, (QStringList{u"&Yes"_s, u"&No"_s}));
}

INSTANTIATE_TEST_SUITE_P(
    Respostas, ConfirmacaoRealTeste,
    testing::Values(
        TCasoCaixaReal{"Sim", [](QMessageBox& c) { BotaoComTexto(c, u"&Yes"_s)->click(); }, true},
        TCasoCaixaReal{"Nao", [](QMessageBox& c) { BotaoComTexto(c, u"&No"_s)->click(); }, false},
        TCasoCaixaReal{"Esc", [](QMessageBox& c) { QTest::keyClick(&c, Qt::Key_Escape); }, false},
        TCasoCaixaReal{"Enter", [](QMessageBox& c) { QTest::keyClick(&c, Qt::Key_Return); }, true}),
    [](const testing::TestParamInfo<TCasoCaixaReal>& info) { return std::string(info.param.nome); });

TEST(CaixaRealTeste, MensagemEErroTemSoOBotaoOK)
{
    const auto clicaOk = [](QMessageBox& c) { c.button(QMessageBox::Ok)->click(); };
    {
        TObservaCaixa observa(clicaOk);
        MostraCaixa({TCaixa::Tipo::Mensagem, u"Atualizador Executável"_s, u"Aviso"_s});
        ASSERT_TRUE(observa.aberta);
        EXPECT_EQ(observa.titulo, u"Atualizador Executável"_s);
        EXPECT_EQ(observa.icone, QMessageBox::NoIcon);
        EXPECT_EQ(observa.botoes.size(), 1);
    }
    TObservaCaixa observa(clicaOk);
    MostraCaixa({TCaixa::Tipo::Erro, u"Atualizador Executável"_s, u"Falhou."_s});
    ASSERT_TRUE(observa.aberta);
    EXPECT_EQ(observa.icone, QMessageBox::Critical);
    EXPECT_EQ(observa.botoes.size(), 1);
}

}  // namespace

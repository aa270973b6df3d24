#pragma once
#include "UAtualizacao.h"
#include "UCredenciais.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>

namespace Ui { class TfrmPrincipal; }
struct TLinhaComando;

constexpr auto ChaveExecucao = "VormelaK";
constexpr auto MsgExecucaoNaoAutorizada = "Execução não autorizada!";
constexpr auto NomeLogo = "logo.jpg";
// The exit status of a refused start; the others come from the last run.
constexpr int CodigoRecusado = 4;

constexpr auto MsgConfirmaCancelamento =
    "Tem Certeza que deseja cancelar a atualização?\r\n"
    "Os Arquivos que ainda não foram enviados não serão atualizados!";

// The browse dialog for the database file. The patterns are part of each filter for
// Qt to read them; QFileDialog::HideNameFilterDetails keeps them off the screen.
constexpr auto TituloAbrirBanco = "Abrir Arquivo de Banco de Dados Interbase/Firebase";
inline const QStringList FiltrosAbrirBanco = {
    QStringLiteral("Banco de Dados Interbase/Firebird (*.Fdb *.Gdb)"),
    QStringLiteral("Todos os Arquivos (*.*)"),
};

// The program's only window: the server and database fields on the page "Principal",
// the progress of an update run on the page "Progresso", and the two buttons.
class QFileDialog;

class TfrmPrincipal : public QMainWindow, public IJanelaAtualizacao {
    Q_OBJECT
public:
    explicit TfrmPrincipal(QWidget* parent = nullptr);
    ~TfrmPrincipal() override;

    bool PodeFechar = true;
    std::string PastaRepositorio;

    // Start-up from the command line, before the window is first shown. Needs DM.
    // A wrong launch token shows its message and leaves EncerramentoPedido() true.
    void FormCreate(const TLinhaComando& linha);

    // True once start-up has told the application to end without showing the window.
    bool EncerramentoPedido() const { return FEncerramentoPedido; }

    // The program's exit status: a refused start, or how the last run ended; closing the
    // window before any run ended counts as a cancel.
    int CodigoSaida() const { return FCodigoSaida; }

    // Asked on every close request; the window closes only when it answers true.
    // While a run is active it asks the user first, and a Yes lets the run stop.
    bool FormCloseQuery();

    void BitBtn1Click();
    void BitBtn2Click();
    void SpeedButton1Click();

    // How the browse dialog is shown: true when the user confirmed a file. Tests
    // replace it, so no modal loop waits for a person.
    using TExecutaDialogo = std::function<bool(QFileDialog&)>;
    void DefineExecutaDialogo(TExecutaDialogo executa);

    // What the update run uses of the window.
    std::string TextoMaquina() const override;
    std::string TextoBancoDados() const override;
    void HabilitaAtualizar(bool habilitado) override;
    void MostraPagina(TPagina pagina) override;
    void LimpaDisplay() override;
    void AdicionaLinhaDisplay(const std::string& linha) override;
    void DefineMaximoProgresso(int maximo) override;
    void AvancaProgresso() override;
    void ProcessaMensagens() override;
    bool LePodeFechar() const override { return PodeFechar; }
    void DefinePodeFechar(bool podeFechar) override { PodeFechar = podeFechar; }
    void FechaJanelaPrincipal() override;
    void Mensagem(const std::string& texto) override;

    Ui::TfrmPrincipal& Controles() { return *ui; }

protected:
    void closeEvent(QCloseEvent* evento) override;
    void showEvent(QShowEvent* evento) override;

private:
    void CarregaLogo(const std::string& caminho);

    std::unique_ptr<Ui::TfrmPrincipal> ui;
    TExecutaDialogo FExecutaDialogo;
    QString FNomeArquivoDialogo;   // the browse dialog's file name between two uses
    std::string FMaquinaArgumento, FBancoDadosArgumento;
    std::string FDiretorioExecutavel;
    int FPosicaoProgresso = 0;
    bool FEncerramentoPedido = false;
    int FCodigoSaida = CodigoCancelada;
    bool FCentralizada = false;
};

// The one instance, created by main().
extern TfrmPrincipal* frmPrincipal;

#include "UPrincipal.h"

#include "ui_UPrincipal.h"

#include "UCaminhos.h"
#include "UDM.h"
#include "UFonteJanela.h"
#include "ULinhaComando.h"
#include "UMensagens.h"
#include "UPlataforma.h"
#include "URepositorio.h"
#include "UTexto.h"
#include "UTextoQt.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QPixmap>
#include <QScreen>
#include <QStyle>
#include <algorithm>
#include <fstream>
#include <iterator>

TfrmPrincipal* frmPrincipal = nullptr;

TfrmPrincipal::TfrmPrincipal(QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TfrmPrincipal>())
{
    DefineSubstitutasFonteJanela();
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(500, 357);

    // The labels size themselves to their text, whatever font stands in for MS Sans Serif.
    ui->Label3->adjustSize();
    ui->Label4->adjustSize();

    // The line runs along the top edge of its box, not through its middle.
    ui->Bevel1->setFrameRect(QRect(0, 0, ui->Bevel1->width(), 2));

    // Qt derives the greyed picture for the disabled button from this one.
    ui->SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));

    QPalette paleta = ui->EdDisplay->palette();
    paleta.setColor(QPalette::Base, paleta.color(QPalette::Button));
    ui->EdDisplay->setPalette(paleta);

    // Both buttons are auto-default in the form: as on the platform the tool comes from, Enter
    // presses the focused one, which Qt otherwise does only inside a dialog.
    ui->BitBtn1->setFocus();

    FExecutaDialogo = [](QFileDialog& dialogo) { return dialogo.exec() == QDialog::Accepted; };

    connect(ui->BitBtn1, &QPushButton::clicked, this, &TfrmPrincipal::BitBtn1Click);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &TfrmPrincipal::BitBtn2Click);
    connect(ui->SpeedButton1, &QToolButton::clicked, this, &TfrmPrincipal::SpeedButton1Click);
}

TfrmPrincipal::~TfrmPrincipal() = default;

void TfrmPrincipal::FormCreate(const TLinhaComando& linha)
{
    DefineTituloAplicacao(TituloAplicacao);
    PodeFechar = true;
    ui->Notebook1->setCurrentWidget(ui->Principal);
    FDiretorioExecutavel = DiretorioDe(linha.Argumento(0), SeparadoresDiretorio);
    CarregaLogo(FDiretorioExecutavel + NomeLogo);
    setWindowTitle(ParaQString(linha.Argumento(1)));
    FMaquinaArgumento = linha.Argumento(2);
    FBancoDadosArgumento = linha.Argumento(3);
    ui->EdMaquina->setText(ParaQString(FMaquinaArgumento));
    ui->EdBancoDados->setText(ParaQString(FBancoDadosArgumento));
    PastaRepositorio = PastaRepositorioDe(linha.Argumento(4));

    if (linha.Argumento(5) != ChaveExecucao) {
        MostraMensagem(MsgExecucaoNaoAutorizada);
        // main() reads the flag and ends before the event loop starts.
        FEncerramentoPedido = true;
        FCodigoSaida = CodigoRecusado;
        return;
    }

    DM->Usuario = AparaOuPadrao(linha.Argumento(6), UsuarioPadrao);
    DM->Senha = AparaOuPadrao(linha.Argumento(7), SenhaPadrao);
}

void TfrmPrincipal::CarregaLogo(const std::string& caminho)
{
    if (!ArquivoRegularExiste(caminho)) return;
    // Read as bytes, so a path that is not valid UTF-8 still reaches the file. A file
    // that is not a readable JPEG leaves the header empty; start-up goes on regardless.
    std::ifstream arquivo(caminho, std::ios::binary);
    const std::string dados{std::istreambuf_iterator<char>(arquivo), std::istreambuf_iterator<char>()};
    QPixmap imagem;
    if (arquivo.bad() || !imagem.loadFromData(reinterpret_cast<const uchar*>(dados.data()),
                                              static_cast<uint>(dados.size()), "JPG"))
        return;
    ui->Image1->setPixmap(imagem);
}

bool TfrmPrincipal::FormCloseQuery()
{
    if (PodeFechar) return true;
    PodeFechar = ConfirmaCancelamento(MsgConfirmaCancelamento);
    return PodeFechar;
}

void TfrmPrincipal::BitBtn1Click()
{
    // No exception may travel through Qt's event loop: the general handler shows it here.
    try {
        FCodigoSaida = ::CodigoSaida(ExecutaAtualizacao(*DM, *this, {FDiretorioExecutavel, SeparadorPasta, PastaRepositorio}));
    } catch (const std::exception& e) {
        FCodigoSaida = CodigoInterrompida;
        MostraErro(e);
    }
}

void TfrmPrincipal::SpeedButton1Click()
{
    // Otherwise the dialog keeps the name it had: the last one preselected or chosen. A new
    // dialog each time, so nothing typed into a cancelled one comes back.
    if (const std::string atual = TextoBancoDados(); ArquivoRegularExiste(atual))
        FNomeArquivoDialogo = QFileInfo(ParaQString(atual)).absoluteFilePath();

    QFileDialog OpenDialog1(this, QString::fromUtf8(TituloAbrirBanco));
    // A name it cannot find here is taken as typed: the file may be a path on the server.
    OpenDialog1.setFileMode(QFileDialog::AnyFile);
    OpenDialog1.setAcceptMode(QFileDialog::AcceptOpen);
    // Qt's own dialog on every platform: it matches the patterns without regard to case,
    // so ".Fdb" finds "BASE.FDB" too.
    OpenDialog1.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    OpenDialog1.setNameFilters(FiltrosAbrirBanco);
    OpenDialog1.selectNameFilter(FiltrosAbrirBanco.front());
    if (!FNomeArquivoDialogo.isEmpty()) OpenDialog1.selectFile(FNomeArquivoDialogo);

    if (!FExecutaDialogo(OpenDialog1)) return;
    const QStringList escolhidos = OpenDialog1.selectedFiles();
    if (escolhidos.isEmpty()) return;
    FNomeArquivoDialogo = escolhidos.front();
    ui->EdBancoDados->setText(FNomeArquivoDialogo);
}

void TfrmPrincipal::DefineExecutaDialogo(TExecutaDialogo executa)
{
    FExecutaDialogo = std::move(executa);
}

std::string TfrmPrincipal::TextoMaquina() const
{
    return BytesDoCampo(ui->EdMaquina->text(), FMaquinaArgumento);
}

std::string TfrmPrincipal::TextoBancoDados() const
{
    return BytesDoCampo(ui->EdBancoDados->text(), FBancoDadosArgumento);
}

void TfrmPrincipal::HabilitaAtualizar(bool habilitado)
{
    ui->BitBtn1->setEnabled(habilitado);
}

void TfrmPrincipal::MostraPagina(TPagina pagina)
{
    ui->Notebook1->setCurrentWidget(pagina == TPagina::Principal ? ui->Principal : ui->Progresso);
}

void TfrmPrincipal::LimpaDisplay()
{
    ui->EdDisplay->clear();
}

void TfrmPrincipal::AdicionaLinhaDisplay(const std::string& linha)
{
    ui->EdDisplay->appendPlainText(ParaQString(linha));
}

// The position is kept within the range, as the progress bar of the original platform
// does: Qt would otherwise ignore a value past the maximum.
void TfrmPrincipal::DefineMaximoProgresso(int maximo)
{
    ui->ProgressBarLinhas->setMaximum(maximo);
    FPosicaoProgresso = std::min(FPosicaoProgresso, maximo);
    ui->ProgressBarLinhas->setValue(FPosicaoProgresso);
}

void TfrmPrincipal::AvancaProgresso()
{
    FPosicaoProgresso = std::min(FPosicaoProgresso + 1, ui->ProgressBarLinhas->maximum());
    ui->ProgressBarLinhas->setValue(FPosicaoProgresso);
}

void TfrmPrincipal::ProcessaMensagens()
{
    QApplication::processEvents();
}

void TfrmPrincipal::FechaJanelaPrincipal()
{
    close();
}

void TfrmPrincipal::Mensagem(const std::string& texto)
{
    MostraMensagem(texto);
}

void TfrmPrincipal::BitBtn2Click()
{
    ui->BitBtn2->setEnabled(false);
    close();
    ui->BitBtn2->setEnabled(true);
}

void TfrmPrincipal::closeEvent(QCloseEvent* evento)
{
    if (FormCloseQuery())
        evento->accept();
    else
        evento->ignore();
}

void TfrmPrincipal::showEvent(QShowEvent* evento)
{
    QMainWindow::showEvent(evento);
    if (FCentralizada) return;
    FCentralizada = true;
    if (const QScreen* tela = screen()) {
        QRect janela = frameGeometry();
        janela.moveCenter(tela->geometry().center());
        move(janela.topLeft());
    }
}

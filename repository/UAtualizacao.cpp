#include "UAtualizacao.h"

#include "UArquivoFonte.h"
#include "UAtualizaArquivo.h"
#include "UBibliotecaFb.h"
#include "UCaminhos.h"
#include "UCampos.h"
#include "UDM.h"
#include "UListaArquivos.h"
#include "UTexto.h"

#include <exception>
#include <vector>

namespace {

// Whichever way the run ends, "Atualizar" comes back and the window may close again;
// a transaction an error left open is rolled back before the error is shown.
class TFimExecucao {
public:
    TFimExecucao(TDM& dm, IJanelaAtualizacao& janela) : FDm(dm), FJanela(janela)
    {
        FJanela.HabilitaAtualizar(false);
        FJanela.DefinePodeFechar(false);
    }
    ~TFimExecucao()
    {
        (void)FDm.CancelaTransacao(IdTransacaoArquivo);
        FJanela.HabilitaAtualizar(true);
        FJanela.DefinePodeFechar(true);
    }
    TFimExecucao(const TFimExecucao&) = delete;
    TFimExecucao& operator=(const TFimExecucao&) = delete;
private:
    TDM& FDm;
    IJanelaAtualizacao& FJanela;
};

bool Conecta(TDM& dm, const std::string& localizador)
{
    // A missing client library is not a missing database: its own sentence goes to the user.
    VerificaBibliotecaFb();
    dm.conexao.SetConnected(false);
    dm.conexao.DefineParametro("DataBase", localizador);
    dm.conexao.DefineParametro("User_Name", dm.Usuario);
    dm.conexao.DefineParametro("Password", dm.Senha);
    try {
        dm.conexao.SetConnected(true);
    } catch (const std::exception&) {
        // The connected state below decides; the user gets this step's own message.
    }
    return dm.conexao.Connected();
}

} // namespace

std::string MensagemFalhaConexao(const std::string& bancoDados)
{
    return "Não foi possível conectar no Banco de Dados!\r\nO Arquivo de Banco de Dados " + bancoDados
        + "\rNão Existe ou não foi Encontrado.";
}

std::string MontaLocalizador(const std::string& maquina, const std::string& bancoDados)
{
    std::string localizador = SubstituiTodos(bancoDados, "//", "/");
    localizador = SubstituiTodos(localizador, "\\\\", "\\");
    localizador = SubstituiTodos(maquina + ":" + localizador, "::", ":");
    return SubstituiTodos(localizador, "//", "");
}

void ExecutaAtualizacao(TDM& dm, IJanelaAtualizacao& janela, const TAmbienteAtualizacao& ambiente)
{
    TFimExecucao fim(dm, janela);

    const std::string bancoDados = janela.TextoBancoDados();
    if (!Conecta(dm, MontaLocalizador(janela.TextoMaquina(), bancoDados))) {
        janela.Mensagem(MensagemFalhaConexao(bancoDados));
        return;
    }

    janela.LimpaDisplay();
    janela.MostraPagina(TPagina::Progresso);

    const std::string caminhoLista = ambiente.DiretorioExecutavel + NomeLista;
    if (!ArquivoRegularExiste(caminhoLista)) return;
    const std::vector<std::string> entradas = LeListaArquivos(caminhoLista);
    janela.DefineMaximoProgresso(static_cast<int>(entradas.size()));

    for (const std::string& entrada : entradas) {
        janela.ProcessaMensagens();
        if (janela.LePodeFechar()) return;   // the user confirmed cancelling

        const std::string caminho = CaminhoEntrada(ambiente.DiretorioExecutavel, Apara(entrada), ambiente.SeparadorPasta);
        if (!ArquivoRegularExiste(caminho)) continue;

        TArquivoFonte fonte(caminho);
        const std::string cabecalho = fonte.LeLinha();
        janela.AdicionaLinhaDisplay(Apara(ExtraiCampo(cabecalho, ";", 0)));
        janela.AvancaProgresso();
        janela.ProcessaMensagens();

        if (AtualizaArquivo(dm, janela, cabecalho, fonte, ambiente.PastaRepositorio) == TResultado::Para) {
            janela.MostraPagina(TPagina::Principal);
            janela.Mensagem(MsgBancoInvalido);
            return;
        }
    }

    janela.DefinePodeFechar(true);
    janela.FechaJanelaPrincipal();
}

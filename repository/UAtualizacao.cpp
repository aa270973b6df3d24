#include "UAtualizacao.h"

#include "UArquivoFonte.h"
#include "UAtualizaArquivo.h"
#include "UBibliotecaFb.h"
#include "UCaminhos.h"
#include "UDM.h"
#include "UErro.h"
#include "UListaArquivos.h"
#include "URepositorio.h"
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

// Passes the writer's messages on and keeps the last, for the entry's report.
class TMensagensArquivo : public IMensagens {
public:
    explicit TMensagensArquivo(IMensagens& destino) : FDestino(destino) {}
    void Mensagem(const std::string& texto) override
    {
        Ultima = texto;
        FDestino.Mensagem(texto);
    }
    std::string Ultima;
private:
    IMensagens& FDestino;
};

} // namespace

std::optional<std::string> ConectaBanco(TDM& dm, const std::string& localizador)
{
    // A missing client library is not a missing database: its own sentence goes to the user.
    VerificaBibliotecaFb();
    dm.conexao.SetConnected(false);
    dm.conexao.DefineParametro("DataBase", localizador);
    dm.conexao.DefineParametro("User_Name", dm.Usuario);
    dm.conexao.DefineParametro("Password", dm.Senha);
    std::string motivo = "sem conexão";
    try {
        dm.conexao.SetConnected(true);
    } catch (const std::exception& e) {
        motivo = e.what();   // the connected state below decides
    }
    if (dm.conexao.Connected()) return std::nullopt;
    return motivo;
}

std::string MensagemFalhaConexao(const std::string& bancoDados)
{
    return "Não foi possível conectar no Banco de Dados!\r\nO Arquivo de Banco de Dados " + bancoDados
        + "\rNão Existe ou não foi Encontrado.";
}

std::string MensagemErroArquivo(const std::string& entrada, const std::string& motivo)
{
    return "Erro ao atualizar o arquivo " + entrada + ":\r\n" + motivo;
}

std::string MontaLocalizador(const std::string& maquina, const std::string& bancoDados)
{
    std::string localizador = SubstituiTodos(bancoDados, "//", "/");
    localizador = SubstituiTodos(localizador, "\\\\", "\\");
    localizador = SubstituiTodos(maquina + ":" + localizador, "::", ":");
    return SubstituiTodos(localizador, "//", "");
}

TFimAtualizacao ExecutaAtualizacao(TDM& dm, IJanelaAtualizacao& janela, const TAmbienteAtualizacao& ambiente)
{
    TFimExecucao fim(dm, janela);

    const std::string bancoDados = janela.TextoBancoDados();
    if (const auto motivo = ConectaBanco(dm, MontaLocalizador(janela.TextoMaquina(), bancoDados))) {
        janela.Mensagem(MensagemFalhaConexao(bancoDados));
        janela.RegistraMotivo(*motivo);
        return TFimAtualizacao::FalhaConexao;
    }

    janela.LimpaDisplay();
    janela.MostraPagina(TPagina::Progresso);

    const std::string caminhoLista = ambiente.DiretorioExecutavel + NomeLista;
    if (!ArquivoRegularExiste(caminhoLista)) return TFimAtualizacao::ListaAusente;
    const std::vector<std::string> entradas = LeListaArquivos(caminhoLista);
    janela.DefineMaximoProgresso(static_cast<int>(entradas.size()));

    bool falhou = false;
    for (const std::string& entrada : entradas) {
        janela.ProcessaMensagens();
        if (janela.LePodeFechar()) return TFimAtualizacao::Cancelada;   // the user confirmed cancelling

        TDesfechoEntrada desfecho;
        desfecho.Entrada = entrada;
        const std::string caminho = CaminhoEntrada(ambiente.DiretorioExecutavel, Apara(entrada), ambiente.SeparadorPasta);
        if (!ArquivoRegularExiste(caminho)) {
            desfecho.Ausente = true;
            janela.RegistraEntrada(desfecho);
            continue;
        }

        try {
            TArquivoFonte fonte(caminho);
            const std::string cabecalho = fonte.LeLinha();
            const TCabecalho campos = ExtraiCabecalho(cabecalho);
            janela.AdicionaLinhaDisplay(Apara(campos.Nome));
            janela.AvancaProgresso();
            janela.ProcessaMensagens();

            desfecho.NomeRepositorio = NomeRepositorio(ambiente.PastaRepositorio, campos.Nome);
            desfecho.Carimbo = campos.Carimbo;
            TMensagensArquivo mensagens(janela);
            const TResultado resultado = AtualizaArquivo(dm, mensagens, cabecalho, fonte, ambiente.PastaRepositorio, &desfecho.Gravacao);
            desfecho.Mensagem = mensagens.Ultima;
            janela.RegistraEntrada(desfecho);
            if (resultado == TResultado::Para) {
                janela.MostraPagina(TPagina::Principal);
                janela.Mensagem(MsgBancoInvalido);
                janela.RegistraMotivo(desfecho.Gravacao.Motivo);
                return TFimAtualizacao::BancoInvalido;
            }
        } catch (const std::exception& e) {
            throw EErro(MensagemErroArquivo(entrada, e.what()));
        }
        falhou = falhou || desfecho.Gravacao.Estado == TEstadoGravacao::Falhou;
    }

    janela.DefinePodeFechar(true);
    janela.FechaJanelaPrincipal();
    return falhou ? TFimAtualizacao::CompletaComFalhas : TFimAtualizacao::Completa;
}

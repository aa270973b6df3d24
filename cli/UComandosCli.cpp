#include "UComandosCli.h"

#include "UAtualizacao.h"
#include "UCaminhos.h"
#include "UDM.h"
#include "UJanelaTerminal.h"
#include "UListaArquivos.h"
#include "UPlataformaCli.h"
#include "URelatorioCli.h"
#include "USituacaoArquivo.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <utility>

namespace {

std::string NomeFim(TFimAtualizacao fim)
{
    switch (fim) {
    case TFimAtualizacao::Completa: return "completa";
    case TFimAtualizacao::CompletaComFalhas: return "completa_com_falhas";
    case TFimAtualizacao::Cancelada: return "cancelada";
    case TFimAtualizacao::FalhaConexao: return "falha_conexao";
    case TFimAtualizacao::ListaAusente: return "lista_ausente";
    case TFimAtualizacao::BancoInvalido: break;
    }
    return "banco_invalido";
}

// Ends the report early with one line that says what failed and, where Firebird gave one, why.
void TerminaCedo(TRelatorio& relatorio, TFimAtualizacao fim, std::string mensagem)
{
    relatorio.Resultado = NomeFim(fim);
    relatorio.Codigo = CodigoSaida(fim);
    relatorio.Mensagem = std::move(mensagem);
}

std::string MensagemFalhaConexaoCli(const TOpcoesCli& opcoes, const std::string& motivo)
{
    return MensagemFalhaConexao(opcoes.Banco) + " Motivo: " + motivo;
}

std::string MensagemListaAusente(const TOpcoesCli& opcoes)
{
    return std::string("Lista de arquivos não encontrada: ") + opcoes.Diretorio + NomeLista;
}

void Atualiza(TDM& dm, const TOpcoesCli& opcoes, const TAmbienteAtualizacao& ambiente, TRelatorio& relatorio, std::ostream& erros)
{
    InstalaPedidoParada();
    // Asked first after the connection is made, when an embedded engine has set its own handlers.
    bool conectado = false;
    const auto pedidoParada = [&conectado] {
        if (!std::exchange(conectado, true)) InstalaPedidoParada();
        return ParadaPedida();
    };
    TJanelaTerminal janela(opcoes.Servidor, opcoes.Banco, erros, EhTerminal(stderr), pedidoParada);
    try {
        const TFimAtualizacao fim = ExecutaAtualizacao(dm, janela, ambiente);
        relatorio.Resultado = NomeFim(fim);
        relatorio.Codigo = CodigoSaida(fim);
        if (fim == TFimAtualizacao::FalhaConexao) TerminaCedo(relatorio, fim, MensagemFalhaConexaoCli(opcoes, janela.Motivo));
        if (fim == TFimAtualizacao::ListaAusente) TerminaCedo(relatorio, fim, MensagemListaAusente(opcoes));
        if (fim == TFimAtualizacao::BancoInvalido) TerminaCedo(relatorio, fim, std::string(MsgBancoInvalido) + " " + janela.Motivo);
    } catch (const std::exception& e) {
        relatorio.Resultado = "interrompida";
        relatorio.Codigo = CodigoInterrompida;
        relatorio.Mensagem = e.what();
    }
    relatorio.Arquivos = std::move(janela.Arquivos);
}

// situacao and verifica: the same read-only look, verifica comparing equal stamps' bodies too.
void Examina(TDM& dm, const TOpcoesCli& opcoes, const TAmbienteAtualizacao& ambiente, TRelatorio& relatorio)
{
    const bool verifica = opcoes.Comando == TComandoCli::Verifica;
    if (!ArquivoRegularExiste(ambiente.DiretorioExecutavel + NomeLista))
        return TerminaCedo(relatorio, TFimAtualizacao::ListaAusente, MensagemListaAusente(opcoes));
    try {
        if (const auto motivo = ConectaBanco(dm, MontaLocalizador(opcoes.Servidor, opcoes.Banco)))
            return TerminaCedo(relatorio, TFimAtualizacao::FalhaConexao, MensagemFalhaConexaoCli(opcoes, *motivo));
    } catch (const std::exception& e) {
        // A client library that cannot be loaded is not a database that was not found.
        return TerminaCedo(relatorio, TFimAtualizacao::FalhaConexao, e.what());
    }

    std::vector<TSituacaoArquivo> situacoes;
    try {
        situacoes = ExaminaLista(dm, ambiente, verifica ? TComparacao::TambemAtualizados : TComparacao::SoOQueSeriaGravado);
    } catch (const std::exception& e) {
        const bool banco = std::string(e.what()).rfind(MsgBancoInvalido, 0) == 0;
        relatorio.Resultado = banco ? "banco_invalido" : "interrompida";
        relatorio.Codigo = CodigoInterrompida;
        relatorio.Mensagem = e.what();
        return;
    }

    for (const TSituacaoArquivo& situacao : situacoes)
        relatorio.Arquivos.push_back(verifica ? LinhaDeVerificacao(situacao) : LinhaDeSituacao(situacao));
    const auto alguma = [&](const char* estado) {
        return std::any_of(relatorio.Arquivos.begin(), relatorio.Arquivos.end(),
                           [&](const TLinhaRelatorio& l) { return l.Estado == estado; });
    };
    const bool achou = verifica ? alguma("divergente") : alguma("novo") || alguma("desatualizado");
    relatorio.Codigo = achou ? 1 : 0;
    relatorio.Resultado = verifica ? (achou ? "divergente" : "sem_divergencia") : (achou ? "ha_o_que_gravar" : "nada_a_gravar");
}

}  // namespace

int ExecutaCli(const std::vector<std::string>& argumentos, const TLeAmbiente& ambiente,
               std::ostream& saida, std::ostream& erros)
{
    const TLeituraOpcoes leitura = LeOpcoes(argumentos, ambiente, saida, erros);
    if (!leitura.Opcoes) return leitura.Codigo;
    const TOpcoesCli& opcoes = *leitura.Opcoes;

    TDM dm;
    dm.Usuario = opcoes.Usuario;
    dm.Senha = opcoes.Senha;
    const TAmbienteAtualizacao arquivos{opcoes.Diretorio, SeparadorPastaCli, opcoes.PastaRepositorio};
    TRelatorio relatorio;
    relatorio.Comando = opcoes.NomeComando;

    if (opcoes.Comando == TComandoCli::Atualiza)
        Atualiza(dm, opcoes, arquivos, relatorio, erros);
    else
        Examina(dm, opcoes, arquivos, relatorio);

    if (relatorio.Mensagem) erros << "atualizador-cli: " << EmUmaLinha(*relatorio.Mensagem) << '\n' << std::flush;
    if (opcoes.Json)
        EscreveJson(saida, relatorio);
    else
        EscreveTabela(saida, relatorio);
    return relatorio.Codigo;
}

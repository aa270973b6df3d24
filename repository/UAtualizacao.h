#pragma once
#include "UAtualizaArquivo.h"
#include "UFimAtualizacao.h"
#include "UMensagensUsuario.h"

#include <optional>
#include <string>

class TDM;

enum class TPagina { Principal, Progresso };

// What became of one list entry, for a front end that reports entry by entry.
struct TDesfechoEntrada {
    std::string Entrada;           // as listed
    bool Ausente = false;          // the entry names no regular file; nothing else is set
    std::string NomeRepositorio;
    std::string Carimbo;           // the file's stamp, trimmed
    TDesfechoGravacao Gravacao;
    std::string Mensagem;          // the writer's message when the file was not written
};

// What the update run needs of the main window, and nothing more.
class IJanelaAtualizacao : public IMensagens {
public:
    virtual std::string TextoMaquina() const = 0;
    virtual std::string TextoBancoDados() const = 0;
    virtual void HabilitaAtualizar(bool habilitado) = 0;
    virtual void MostraPagina(TPagina pagina) = 0;
    virtual void LimpaDisplay() = 0;
    virtual void AdicionaLinhaDisplay(const std::string& linha) = 0;
    virtual void DefineMaximoProgresso(int maximo) = 0;
    virtual void AvancaProgresso() = 0;
    virtual void ProcessaMensagens() = 0;   // lets a close request arrive between files
    virtual bool LePodeFechar() const = 0;
    virtual void DefinePodeFechar(bool podeFechar) = 0;
    virtual void FechaJanelaPrincipal() = 0;
    // For a front end that reports more than the window shows; the window ignores them.
    // Each list entry once it is handled; and, before an early end, Firebird's reason for it.
    virtual void RegistraEntrada(const TDesfechoEntrada&) {}
    virtual void RegistraMotivo(const std::string& /*motivoFirebird*/) {}
};

// Where the run finds its files and how it names them in the repository.
struct TAmbienteAtualizacao {
    std::string DiretorioExecutavel;   // with its trailing separator
    char SeparadorPasta = '/';         // the platform's folder separator, for list entries
    std::string PastaRepositorio;      // prefix of every repository name, ends in "\"
};

constexpr auto MsgBancoInvalido = "Banco de Dados Inválido!";

// The connection failure message for the database path as the user typed it.
std::string MensagemFalhaConexao(const std::string& bancoDados);

// The error that ends the run while a listed file is handled: the entry as listed, then why.
std::string MensagemErroArquivo(const std::string& entrada, const std::string& motivo);

// Builds the database locator from the server and path fields.
std::string MontaLocalizador(const std::string& maquina, const std::string& bancoDados);

// Connects with the module's credentials; Firebird's reason when it could not.
std::optional<std::string> ConectaBanco(TDM& dm, const std::string& localizador);

// The update run started by "Atualizar"; returns how it ended. Errors that no step reports
// itself are thrown after the open file is closed, "Atualizar" re-enabled and PodeFechar set again;
// one raised while a listed file is handled is thrown as EErro naming the file's entry.
TFimAtualizacao ExecutaAtualizacao(TDM& dm, IJanelaAtualizacao& janela, const TAmbienteAtualizacao& ambiente);

#pragma once
#include <functional>
#include <optional>
#include <string>

class IMensagens;
class TArquivoFonte;
class TDM;

// Whether the run goes on with the next listed file or ends because the lookup failed.
enum class TResultado { Continua, Para };

constexpr auto MsgErroGravarRegistro = "Erro ao tentar gravar o Registro: ";
constexpr auto MsgErroCommitRegistro = "Erro ao tentar realizar commit no Registro ";
constexpr auto MsgErroInserirArquivo = "Erro ao inserir o Arquivo";
constexpr auto MsgErroGravarDados = "Ocorreu um erro ao tentar gravar os Dados.";

// What became of one file, for a front end that reports file by file.
enum class TEstadoGravacao { Gravado, NadaAGravar, Falhou, BuscaFalhou };
struct TDesfechoGravacao {
    TEstadoGravacao Estado = TEstadoGravacao::NadaAGravar;
    std::optional<std::string> Armazenado;   // the stored stamp before the call; none for a new file
    std::string Motivo;                      // Firebird's reason when the lookup failed
};

// The transaction that brackets one file's row and body.
constexpr unsigned IdTransacaoArquivo = 50;

// Writes one source file into the repository when its stamp is newer than the stored one:
// the file's row and then its body rows, all in one transaction. `fonte` stands after the
// header line; it is read to its end (when written) but not closed. Failures the user is
// told about give Continua; a failed lookup gives Para; any other error is thrown, after
// the file's transaction, if one was begun, has been rolled back. When desfecho is given,
// it receives what became of the file on every return.
// The transaction reserves both tables, so runs on one database write one file at a time;
// a file another run wrote since it was looked up is looked up again inside the
// transaction and written right, without a message.
TResultado AtualizaArquivo(TDM& dm, IMensagens& mensagens, const std::string& linhaCabecalho,
                           TArquivoFonte& fonte, const std::string& pastaRepositorio,
                           TDesfechoGravacao* desfecho = nullptr);

// For tests: when set, runs after the file's row is looked up and posted and before its
// transaction begins, so a test can let another writer commit in between.
extern std::function<void()> AntesDaTransacaoArquivo;

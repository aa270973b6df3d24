#include "UOpcoesCli.h"

#include "UCredenciais.h"
#include "UPlataformaCli.h"
#include "URepositorio.h"
#include "UTexto.h"

#include <CLI/CLI.hpp>

#include <algorithm>

namespace {

constexpr auto Uso = "atualizador-cli situacao|atualiza|verifica --banco CAMINHO [--servidor HOST] [--pasta PASTA]\n"
                     "                [--diretorio DIR] [--usuario U] [--senha S] [--json]";

// The option when it says something, else Firebird's own environment variable, else the default.
std::string Credencial(const std::string& opcao, const std::optional<std::string>& ambiente, const char* padrao)
{
    if (!Apara(opcao).empty()) return Apara(opcao);
    return AparaOuPadrao(ambiente.value_or(""), padrao);
}

std::string ComSeparadorFinal(std::string diretorio)
{
    if (!diretorio.empty() && SeparadoresDiretorioCli.find(diretorio.back()) == std::string_view::npos)
        diretorio += SeparadorPastaCli;
    return diretorio;
}

}  // namespace

TLeituraOpcoes LeOpcoes(const std::vector<std::string>& argumentos, const TLeAmbiente& ambiente,
                        std::ostream& saida, std::ostream& erros)
{
    CLI::App app{"Atualiza, examina ou verifica o repositório de arquivos de um banco Firebird, sem janela.",
                 "atualizador-cli"};
    app.get_formatter()->label("Usage", "Uso");
    app.get_formatter()->label("OPTIONS", "OPÇÕES");
    app.get_formatter()->label("REQUIRED", "(exigida)");
    app.get_formatter()->label("Positionals", "Comando");
    app.get_formatter()->label("TEXT", "TEXTO");
    app.get_formatter()->column_width(34);
    app.option_defaults()->group("Opções");
    app.set_help_flag("-h,--help", "mostra esta ajuda e termina");
    app.footer("Códigos de saída: 0 nada a fazer ou tudo certo; 1 algo a gravar, arquivo não gravado ou divergente;\n"
               "2 cancelada (Ctrl-C); 3 conexão, lista ou banco inválido; 64 uso incorreto.");

    TOpcoesCli opcoes;
    std::string pasta, diretorio, usuario, senha;
    app.add_option("comando", opcoes.NomeComando,
                   "situacao: o que seria gravado, sem gravar; atualiza: grava; verifica: compara os corpos armazenados")
        ->required()
        ->check(CLI::IsMember({"situacao", "atualiza", "verifica"}))
        ->option_text("situacao|atualiza|verifica (exigido)");
    app.add_option("--banco", opcoes.Banco, "caminho do arquivo de banco de dados no servidor")->required();
    app.add_option("--servidor", opcoes.Servidor, "servidor Firebird; vazio ou ausente: arquivo local, sem servidor");
    app.add_option("--pasta", pasta, "pasta do repositório, prefixo de cada nome armazenado");
    app.add_option("--diretorio", diretorio, "onde estão ListaArquivos.txt e os arquivos (padrão: o diretório atual)");
    app.add_option("--usuario", usuario, "usuário do banco (senão ISC_USER, senão SYSDBA)");
    app.add_option("--senha", senha, "senha do banco (senão ISC_PASSWORD, senão a padrão)");
    app.add_flag("--json", opcoes.Json, "o relatório como um objeto JSON na saída padrão");

    std::vector<std::string> invertidos(argumentos.rbegin(), argumentos.rend());   // CLI11 takes them last first
    try {
        app.parse(std::move(invertidos));
    } catch (const CLI::CallForHelp&) {
        saida << app.help();
        return {std::nullopt, 0};
    } catch (const CLI::ParseError& e) {
        erros << "atualizador-cli: " << e.what() << "\nUso: " << Uso << "\n(--help mostra as opções)\n";
        return {std::nullopt, CodigoUso};
    }

    opcoes.Comando = opcoes.NomeComando == "atualiza" ? TComandoCli::Atualiza
                   : opcoes.NomeComando == "verifica" ? TComandoCli::Verifica
                                                      : TComandoCli::Situacao;
    opcoes.PastaRepositorio = PastaRepositorioDe(pasta);
    opcoes.Diretorio = ComSeparadorFinal(diretorio);
    opcoes.Usuario = Credencial(usuario, ambiente("ISC_USER"), UsuarioPadrao);
    opcoes.Senha = Credencial(senha, ambiente("ISC_PASSWORD"), SenhaPadrao);
    return {std::move(opcoes), 0};
}

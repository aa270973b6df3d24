#include "URelatorioCli.h"

#include "UAtualizacao.h"
#include "USituacaoArquivo.h"
#include "UTexto.h"
#include "UTextoUtf8.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>

namespace {

std::string NomeEstado(TEstadoArquivo estado)
{
    switch (estado) {
    case TEstadoArquivo::Novo: return "novo";
    case TEstadoArquivo::Desatualizado: return "desatualizado";
    case TEstadoArquivo::Atualizado: return "atualizado";
    case TEstadoArquivo::ArmazenadoMaisNovo: return "armazenado_mais_novo";
    case TEstadoArquivo::Ausente: break;
    }
    return "ausente";
}

TLinhaRelatorio LinhaBase(const std::string& entrada, const std::string& nome, const std::string& carimbo,
                          const std::optional<std::string>& armazenado)
{
    TLinhaRelatorio linha;
    linha.Entrada = entrada;
    linha.Nome = nome;
    linha.Carimbo = carimbo;
    linha.Armazenado = armazenado;
    return linha;
}

nlohmann::ordered_json Texto(const std::optional<std::string>& texto)
{
    return texto ? nlohmann::ordered_json(ParaUtf8(*texto)) : nlohmann::ordered_json(nullptr);
}

nlohmann::ordered_json Numero(const std::optional<int>& numero)
{
    return numero ? nlohmann::ordered_json(*numero) : nlohmann::ordered_json(nullptr);
}

// Columns are measured in characters, not bytes, so accented names keep the table straight.
std::size_t Largura(const std::string& utf8)
{
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(),
                                                  [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string Celula(const std::optional<int>& numero)
{
    return numero ? std::to_string(*numero) : "-";
}

} // namespace

TLinhaRelatorio LinhaDeSituacao(const TSituacaoArquivo& situacao)
{
    TLinhaRelatorio linha = LinhaBase(situacao.Entrada, situacao.NomeRepositorio, situacao.Carimbo, situacao.Armazenado);
    linha.Estado = NomeEstado(situacao.Estado);
    if (situacao.Estado == TEstadoArquivo::Ausente) return linha;
    linha.Linhas = situacao.Linhas;
    // A copy that would not be written costs nothing, whatever its body holds.
    const bool gravaria = situacao.Estado == TEstadoArquivo::Novo || situacao.Estado == TEstadoArquivo::Desatualizado;
    const TComparacaoCorpo corpo = gravaria && situacao.Corpo ? *situacao.Corpo : TComparacaoCorpo{};
    linha.Atualizadas = corpo.Atualizadas;
    linha.Inseridas = corpo.Inseridas;
    linha.Apagadas = corpo.Apagadas;
    return linha;
}

TLinhaRelatorio LinhaDeVerificacao(const TSituacaoArquivo& situacao)
{
    TLinhaRelatorio linha = LinhaDeSituacao(situacao);
    if (situacao.Estado == TEstadoArquivo::Atualizado && situacao.Corpo && situacao.Corpo->PrimeiraDivergente) {
        linha.Estado = "divergente";
        linha.LinhaDivergente = situacao.Corpo->PrimeiraDivergente;
    }
    return linha;
}

TLinhaRelatorio LinhaDeDesfecho(const TDesfechoEntrada& desfecho)
{
    TLinhaRelatorio linha = LinhaBase(desfecho.Entrada, desfecho.NomeRepositorio, desfecho.Carimbo, desfecho.Gravacao.Armazenado);
    if (desfecho.Ausente) {
        linha.Estado = "ausente";
        return linha;
    }
    switch (desfecho.Gravacao.Estado) {
    case TEstadoGravacao::Gravado: linha.Estado = "gravado"; break;
    case TEstadoGravacao::NadaAGravar: linha.Estado = NomeEstado(EstadoPorCarimbo(desfecho.Gravacao.Armazenado, desfecho.Carimbo)); break;
    case TEstadoGravacao::Falhou: linha.Estado = "falhou"; break;
    case TEstadoGravacao::BuscaFalhou: linha.Estado = "falhou"; linha.Mensagem = MsgBancoInvalido; break;
    }
    if (!desfecho.Mensagem.empty()) linha.Mensagem = desfecho.Mensagem;
    return linha;
}

std::string EmUmaLinha(const std::string& texto)
{
    std::string linha = SubstituiTodos(texto, "\r\n", " ");
    std::replace(linha.begin(), linha.end(), '\r', ' ');
    std::replace(linha.begin(), linha.end(), '\n', ' ');
    return ParaUtf8(linha);
}

void EscreveJson(std::ostream& saida, const TRelatorio& relatorio)
{
    nlohmann::ordered_json arquivos = nlohmann::ordered_json::array();
    for (const TLinhaRelatorio& l : relatorio.Arquivos) {
        arquivos.push_back({
            {"entrada", ParaUtf8(l.Entrada)},
            {"nome", ParaUtf8(l.Nome)},
            {"carimbo", ParaUtf8(l.Carimbo)},
            {"armazenado", Texto(l.Armazenado)},
            {"estado", l.Estado},
            {"linhas", Numero(l.Linhas)},
            {"atualizadas", Numero(l.Atualizadas)},
            {"inseridas", Numero(l.Inseridas)},
            {"apagadas", Numero(l.Apagadas)},
            {"linha_divergente", Numero(l.LinhaDivergente)},
            {"mensagem", Texto(l.Mensagem)},
        });
    }
    const nlohmann::ordered_json objeto = {
        {"comando", relatorio.Comando},
        {"arquivos", std::move(arquivos)},
        {"resultado", relatorio.Resultado},
        {"codigo", relatorio.Codigo},
        {"mensagem", Texto(relatorio.Mensagem)},
    };
    saida << objeto.dump(2) << '\n';
}

void EscreveTabela(std::ostream& saida, const TRelatorio& relatorio)
{
    constexpr std::size_t Colunas = 8;
    using TLinhaTabela = std::array<std::string, Colunas>;
    std::vector<TLinhaTabela> tabela{{"ESTADO", "ARQUIVO", "CARIMBO", "ARMAZENADO", "LINHAS", "ATUALIZ.", "INSERIR", "APAGAR"}};
    for (const TLinhaRelatorio& l : relatorio.Arquivos) {
        // An absent entry has no stored name; the entry itself says what was missing.
        std::string nome = ParaUtf8(l.Estado == "ausente" ? l.Entrada : l.Nome);
        if (nome.empty()) nome = "(linha em branco)";
        tabela.push_back({l.Estado, nome, ParaUtf8(l.Carimbo), l.Armazenado ? ParaUtf8(*l.Armazenado) : "-",
                          Celula(l.Linhas), Celula(l.Atualizadas), Celula(l.Inseridas), Celula(l.Apagadas)});
    }
    // A command that ended early has said why on the error stream; only its result follows.
    if (relatorio.Arquivos.empty() && relatorio.Mensagem) tabela.clear();
    std::array<std::size_t, Colunas> larguras{};
    for (const TLinhaTabela& linha : tabela)
        for (std::size_t c = 0; c < Colunas; ++c) larguras[c] = std::max(larguras[c], Largura(linha[c]));

    for (std::size_t i = 0; i < tabela.size(); ++i) {
        std::string texto;
        for (std::size_t c = 0; c < Colunas; ++c) {
            const std::string& celula = tabela[i][c];
            const std::string espaco(larguras[c] - Largura(celula), ' ');
            const bool numero = c >= 4;   // counts align right
            texto += (c ? "  " : "") + (numero ? espaco + celula : celula + espaco);
        }
        while (!texto.empty() && texto.back() == ' ') texto.pop_back();
        saida << texto;
        if (i > 0) {
            const TLinhaRelatorio& l = relatorio.Arquivos[i - 1];
            if (l.LinhaDivergente) saida << "  (linha " << *l.LinhaDivergente << ")";
            if (l.Mensagem) saida << "  " << EmUmaLinha(*l.Mensagem);
        }
        saida << '\n';
    }
    saida << "resultado: " << relatorio.Resultado << " (código " << relatorio.Codigo << ")\n";
}

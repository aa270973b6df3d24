#include "ULoteAlteracoes.h"
#include "UAplicaAlteracoes.h"
#include "UColuna.h"
#include "UConexaoImpl.h"
#include "UErro.h"
#include "URegistro.h"

#include <algorithm>
#include <cstring>

using namespace Firebird;

namespace {

// Wide texts are declared by the smallest of these that holds the batch's longest value:
// the server handles every declared byte of the message, sent or not.
constexpr unsigned Baldes[] = {256, 1024, 4096, 32765};
constexpr unsigned LimiteEstreita = 256;            // a text this narrow is declared as its column
constexpr std::size_t LimiteMensagem = 512 * 1024;  // declared bytes of one request
constexpr std::size_t LimiteVagas = 256;            // changes per request; more only slows the prepare
// Every slot of a block costs the server some work on each execution, filled or not, so a
// short batch takes the smallest of these sizes that holds it (a 256-slot block carrying ten
// changes was measured slower than ten single-row statements on loopback).
constexpr std::size_t Degraus[] = {16, 64, LimiteVagas};

// Character sets of one byte per character, whose names a wide text is declared with.
const char* NomeConjunto(unsigned id)
{
    switch (id & 0xFFu) {
    case 0: return "NONE";
    case 1: return "OCTETS";
    case 2: return "ASCII";
    case 21: return "ISO8859_1";
    case 51: return "WIN1250";
    case 52: return "WIN1251";
    case 53: return "WIN1252";
    default: return nullptr;
    }
}

unsigned ConjuntoDe(const TColuna& c) { return c.Tipo == SQL_BLOB && c.SubTipo == 0 ? 1u : c.CharSet; }

} // namespace

TLoteAlteracoes::TLoteAlteracoes(TConexaoImpl& conexao, const std::vector<TColuna>& colunas, TAplicaAlteracoes& aplicador,
                                 ITransaction* transacao, std::function<bool(std::size_t)> umaAUma,
                                 std::function<void(std::size_t)> confirmada)
    : FConexao(conexao), FColunas(colunas), FAplicador(aplicador), FTransacao(transacao), FUmaAUma(std::move(umaAUma)),
      FConfirmada(std::move(confirmada))
{
}

bool TLoteAlteracoes::Alarga(int coluna) const
{
    const TColuna& c = FColunas[static_cast<std::size_t>(coluna)];
    const bool larga = (c.Tipo == SQL_VARYING && c.Tamanho > LimiteEstreita) || (c.Tipo == SQL_BLOB && (c.SubTipo == 0 || c.SubTipo == 1));
    return larga && NomeConjunto(ConjuntoDe(c));
}

TLoteAlteracoes::TForma TLoteAlteracoes::FormaDe(const TMudanca& mudanca) const
{
    TForma forma;
    forma.Tipo = mudanca.Tipo;
    if (mudanca.Tipo == TMudanca::TTipo::Insere) forma.Valores = FAplicador.Gravaveis();
    if (mudanca.Tipo == TMudanca::TTipo::Atualiza)
        for (int i : FAplicador.Gravaveis())
            if (mudanca.Original->Opcional(i) != mudanca.Atual->Opcional(i)) forma.Valores.push_back(i);
    if (mudanca.Tipo != TMudanca::TTipo::Insere) forma.Condicao = FAplicador.Localizadoras();
    return forma;
}

std::vector<int> TLoteAlteracoes::Parametros(const TForma& forma) const
{
    std::vector<int> parametros = forma.Valores;
    parametros.insert(parametros.end(), forma.Condicao.begin(), forma.Condicao.end());
    return parametros;
}

bool TLoteAlteracoes::Cabe(const TMudanca& mudanca)
{
    if (FConexao.FPorLinha || FAplicador.Tabela().empty()) return false;
    const TForma forma = FormaDe(mudanca);
    if (mudanca.Tipo == TMudanca::TTipo::Insere) {
        // Columns left to the table come back from the single-row INSERT's RETURNING.
        for (int i : forma.Valores)
            if (!(*mudanca.Atribuidas)[static_cast<std::size_t>(i)]) return false;
        if (forma.Valores.empty()) return false;
    } else {
        if (mudanca.Tipo == TMudanca::TTipo::Atualiza && forma.Valores.empty()) return false;
        // Without a key two equal rows may both match; that case needs the single-row savepoint.
        if (!FPorChave) {
            // Reading the key may fail; the single-row way then reports it as the change's failure.
            try {
                FPorChave = FAplicador.LocalizaPorChave();
            } catch (const EErro&) {
                return false;
            }
        }
        if (!*FPorChave) return false;
    }
    const TRegistro& valores = mudanca.Tipo == TMudanca::TTipo::Exclui ? *mudanca.Original : *mudanca.Atual;
    for (int i : forma.Valores) {
        const TColuna& c = FColunas[static_cast<std::size_t>(i)];
        if (!c.EhObjetoGrande()) continue;
        if (!Alarga(i) || valores.Valor(i).size() > Baldes[std::size(Baldes) - 1]) return false;
    }
    return true;
}

unsigned TLoteAlteracoes::Balde(const TEnfileirada& mudanca, const std::vector<int>& parametros) const
{
    std::size_t maior = 0;
    for (std::size_t j = 0; j < parametros.size(); ++j)
        if (Alarga(parametros[j]) && mudanca.Valores[j]) maior = std::max(maior, mudanca.Valores[j]->size());
    for (unsigned balde : Baldes)
        if (maior <= balde) return balde;
    return Baldes[std::size(Baldes) - 1];
}

std::size_t TLoteAlteracoes::Vagas(const std::vector<int>& parametros, unsigned balde) const
{
    std::size_t linha = 0;
    for (int i : parametros) {
        const TColuna& c = FColunas[static_cast<std::size_t>(i)];
        linha += (Alarga(i) ? (c.Tipo == SQL_VARYING ? std::min(balde, c.Tamanho) : balde) : c.Tamanho) + 4;
    }
    return std::clamp<std::size_t>(LimiteMensagem / std::max<std::size_t>(linha, 1), 1, LimiteVagas);
}

bool TLoteAlteracoes::Acrescenta(std::size_t indice, const TMudanca& mudanca)
{
    TForma forma = FormaDe(mudanca);
    std::vector<int> parametros = Parametros(forma);
    TEnfileirada item{indice, {}};
    for (int i : forma.Valores)
        item.Valores.push_back(mudanca.Tipo == TMudanca::TTipo::Exclui ? mudanca.Original->Opcional(i) : mudanca.Atual->Opcional(i));
    for (int i : forma.Condicao) item.Valores.push_back(mudanca.Original->Opcional(i));
    const unsigned balde = Balde(item, parametros);

    if (!FFila.empty()) {
        const bool mesmaForma = forma == FForma;
        const unsigned juntos = std::max(balde, FBalde);
        if (!mesmaForma || FFila.size() + 1 > Vagas(parametros, juntos)) {
            if (!Envia()) return false;
        }
    }
    if (FFila.empty()) {
        FForma = std::move(forma);
        FParametros = std::move(parametros);
        FBalde = balde;
    }
    FBalde = std::max(FBalde, balde);
    FFila.push_back(std::move(item));
    return true;
}

std::string TLoteAlteracoes::Declaracao(int coluna, unsigned balde) const
{
    const TColuna& c = FColunas[static_cast<std::size_t>(coluna)];
    if (!Alarga(coluna)) return "TYPE OF COLUMN " + IdentificadorSql(FAplicador.Tabela()) + "." + IdentificadorSql(c.Campo);
    const unsigned largura = c.Tipo == SQL_VARYING ? std::min(balde, c.Tamanho) : balde;
    return "VARCHAR(" + std::to_string(largura) + ") CHARACTER SET " + NomeConjunto(ConjuntoDe(c));
}

std::string TLoteAlteracoes::Texto(std::size_t vagas) const
{
    const std::string tabela = IdentificadorSql(FAplicador.Tabela());
    const auto nome = [&](int i) { return IdentificadorSql(FColunas[static_cast<std::size_t>(i)].Campo); };
    const auto p = [](std::size_t j) { return ":P" + std::to_string(j); };

    std::string comando;
    const std::size_t valores = FForma.Valores.size();
    if (FForma.Tipo == TMudanca::TTipo::Insere) {
        std::string nomes, marcas;
        for (std::size_t j = 0; j < valores; ++j) {
            nomes += (j ? ", " : "") + nome(FForma.Valores[j]);
            marcas += (j ? ", " : "") + p(j);
        }
        comando = "INSERT INTO " + tabela + " (" + nomes + ") VALUES (" + marcas + ");";
    } else {
        comando = FForma.Tipo == TMudanca::TTipo::Atualiza ? "UPDATE " + tabela + " SET " : "DELETE FROM " + tabela;
        for (std::size_t j = 0; j < valores; ++j) comando += (j ? ", " : "") + nome(FForma.Valores[j]) + " = " + p(j);
        for (std::size_t j = 0; j < FForma.Condicao.size(); ++j)
            comando += (j ? " AND " : " WHERE ") + nome(FForma.Condicao[j]) + " IS NOT DISTINCT FROM " + p(valores + j);
        // A row not reached (or reached twice) raises a conversion error, which undoes the block.
        comando += ";\n  IF (ROW_COUNT <> 1) THEN X = CAST('ATUALIZADOR_LOTE ' || R AS INTEGER);";
    }

    std::string entrada = "N INTEGER = ?", parametros = "R INTEGER", chamadas;
    for (std::size_t j = 0; j < FParametros.size(); ++j) parametros += ", P" + std::to_string(j) + " " + Declaracao(FParametros[j], FBalde);
    for (std::size_t k = 0; k < vagas; ++k) {
        std::string argumentos = std::to_string(k);
        for (std::size_t j = 0; j < FParametros.size(); ++j) {
            const std::string v = "V" + std::to_string(k) + "_" + std::to_string(j);
            entrada += ", " + v + " " + Declaracao(FParametros[j], FBalde) + " = ?";
            argumentos += ", :" + v;
        }
        chamadas += "  IF (N > " + std::to_string(k) + ") THEN EXECUTE PROCEDURE ATUALIZADOR_LINHA(" + argumentos + ");\n";
    }
    return "EXECUTE BLOCK (" + entrada + ")\nAS\nDECLARE PROCEDURE ATUALIZADOR_LINHA (" + parametros + ")\nAS\nDECLARE X INTEGER;\nBEGIN\n  "
        + comando + "\nEND\nBEGIN\n" + chamadas + "END";
}

std::shared_ptr<TComando> TLoteAlteracoes::Prepara(const std::string& texto, std::size_t vagas, std::vector<TColuna>& declaradas)
{
    const auto comando = FConexao.PreparaLote(texto, FTransacao);
    for (int i : FParametros) {
        TColuna c = FColunas[static_cast<std::size_t>(i)];
        if (Alarga(i)) {
            c.Tamanho = c.Tipo == SQL_VARYING ? std::min(FBalde, c.Tamanho) : FBalde;
            c.CharSet = ConjuntoDe(c);
            c.Tipo = SQL_VARYING;
            c.SubTipo = 0;
            c.Escala = 0;
        }
        declaradas.push_back(std::move(c));
    }
    if (!comando->TemEntrada()) {
        TColuna quantas;
        quantas.Tipo = SQL_LONG;
        quantas.Tamanho = sizeof(std::int32_t);
        std::vector<const TColuna*> descritos{&quantas};
        for (std::size_t k = 0; k < vagas; ++k)
            for (const TColuna& c : declaradas) descritos.push_back(&c);
        comando->DefineEntrada(DescreveParametros(descritos, texto));
    }
    return comando;
}

bool TLoteAlteracoes::Envia()
{
    if (FFila.empty()) return true;
    std::vector<TEnfileirada> fila = std::move(FFila);
    FFila.clear();

    const auto umaAUma = [&] {
        for (const TEnfileirada& item : fila)
            if (!FUmaAUma(item.Indice)) return false;
        return true;
    };
    // A lone change is no batch: its own statement costs the same one request.
    if (fila.size() == 1) return umaAUma();
    std::size_t vagas = Vagas(FParametros, FBalde);
    for (std::size_t degrau : Degraus)
        if (fila.size() <= degrau) {
            vagas = std::min(vagas, degrau);
            break;
        }
    const std::string texto = Texto(vagas);
    std::shared_ptr<TComando> comando;
    std::vector<TColuna> declaradas;   // each parameter as the block declares it
    try {
        comando = Prepara(texto, vagas, declaradas);
    } catch (const EErro&) {
        return umaAUma();   // a shape this server refuses: the single-row way still works
    }

    unsigned char* buffer = comando->BufferEntrada();
    const auto& lugares = comando->Parametros();
    const auto n = static_cast<std::int32_t>(fila.size());
    std::memcpy(buffer + lugares[0].Deslocamento, &n, sizeof n);
    const std::int16_t zero = 0;
    std::memcpy(buffer + lugares[0].DeslocamentoNulo, &zero, sizeof zero);
    for (std::size_t k = 0; k < vagas; ++k)
        for (std::size_t j = 0; j < declaradas.size(); ++j) {
            const auto& lugar = lugares[1 + k * declaradas.size() + j];
            const std::optional<std::string_view> valor = k < fila.size() ? fila[k].Valores[j] : std::nullopt;
            const std::int16_t nulo = valor ? 0 : -1;
            std::memcpy(buffer + lugar.DeslocamentoNulo, &nulo, sizeof nulo);
            if (valor) GravaNaMensagem(declaradas[j], *valor, buffer + lugar.Deslocamento);
        }

    TStatusFb st;
    comando->Handle()->execute(&st, FTransacao, comando->Entrada(), buffer, nullptr, nullptr);
    FConexao.ContaExecucao(texto);
    // The server undid the whole block; the single-row path finds and reports the change at fault.
    if (st.Falhou()) return umaAUma();
    for (const TEnfileirada& item : fila) FConfirmada(item.Indice);
    return true;
}

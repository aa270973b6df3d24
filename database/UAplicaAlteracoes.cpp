#include "UAplicaAlteracoes.h"
#include "UClientDataSetImpl.h"
#include "UConexao.h"
#include "UConexaoImpl.h"
#include "UErro.h"
#include "UObjetoGrande.h"

#include <algorithm>
#include <cstring>

using namespace Firebird;

std::string IdentificadorSql(const std::string& nome)
{
    std::string texto = "\"";
    for (char c : nome) texto += c == '"' ? std::string("\"\"") : std::string(1, c);
    return texto + "\"";
}

TRefFb<IMessageMetadata> DescreveParametros(const std::vector<const TColuna*>& parametros, const std::string& texto)
{
    const std::string acao = "Não foi possível descrever os parâmetros do comando " + texto;
    TStatusFb st;
    TRefFb<IMetadataBuilder> construtor(MestreFb()->getMetadataBuilder(&st, static_cast<unsigned>(parametros.size())));
    st.Verifica(acao);
    for (unsigned i = 0; i < parametros.size(); ++i) {
        // The read column's own description, so values go back byte for byte.
        const TColuna& c = *parametros[i];
        construtor->setType(&st, i, c.Tipo | 1);
        construtor->setSubType(&st, i, c.SubTipo);
        construtor->setLength(&st, i, c.Tamanho);
        construtor->setScale(&st, i, c.Escala);
        construtor->setCharSet(&st, i, c.CharSet);
        st.Verifica(acao);
    }
    TRefFb<IMessageMetadata> entrada(construtor->getMetadata(&st));
    st.Verifica(acao);
    return entrada;
}

TAplicaAlteracoes::TAplicaAlteracoes(TConexaoImpl& conexao, const std::vector<TColuna>& colunas, ITransaction* transacao)
    : FConexao(conexao), FColunas(colunas), FTransacao(transacao)
{
    // The table is the one the first column from a table belongs to; columns of other
    // tables (a join) and expressions are read only.
    for (const TColuna& c : colunas)
        if (!c.Relacao.empty() && !c.Campo.empty()) {
            FTabela = c.Relacao;
            break;
        }
    for (int i = 0; i < static_cast<int>(colunas.size()); ++i) {
        const TColuna& c = colunas[static_cast<std::size_t>(i)];
        if (c.Relacao != FTabela || c.Campo.empty() || c.Tipo == SQL_NULL) continue;
        const bool repetida = std::any_of(FGravaveis.begin(), FGravaveis.end(), [&](int j) { return colunas[static_cast<std::size_t>(j)].Campo == c.Campo; });
        if (repetida) continue;
        FGravaveis.push_back(i);
        if (c.Comparavel()) FLocalizadoras.push_back(i);
    }
}

void TAplicaAlteracoes::VerificaTabela() const
{
    if (FTabela.empty()) throw EErro("As alterações não podem ser gravadas: o comando não lê colunas de uma tabela.");
}

void TAplicaAlteracoes::VerificaLocalizacao()
{
    VerificaTabela();
    if (FLocalizadoras.empty())
        throw EErro("O registro não pode ser localizado na tabela " + FTabela + ": nenhuma das suas colunas lidas pode ser comparada.");
    if (FProtegeLinha < 0) {
        // Without a primary key among the compared columns two equal rows may both match;
        // such a change then runs under a savepoint so that it can be undone.
        const std::vector<std::string>& chave = FConexao.ChavePrimaria(FTabela, FTransacao);
        const bool coberta = !chave.empty() && std::all_of(chave.begin(), chave.end(), [&](const std::string& campo) {
            return std::any_of(FLocalizadoras.begin(), FLocalizadoras.end(), [&](int i) { return FColunas[static_cast<std::size_t>(i)].Campo == campo; });
        });
        FProtegeLinha = coberta ? 0 : 1;
    }
}

bool TAplicaAlteracoes::LocalizaPorChave()
{
    if (FTabela.empty() || FLocalizadoras.empty()) return false;
    VerificaLocalizacao();
    return FProtegeLinha == 0;
}

std::string TAplicaAlteracoes::Condicao() const
{
    // One text serves NULL and values alike, and the primary key's index still applies.
    std::string texto = " WHERE ";
    for (std::size_t i = 0; i < FLocalizadoras.size(); ++i) {
        if (i) texto += " AND ";
        texto += IdentificadorSql(FColunas[static_cast<std::size_t>(FLocalizadoras[i])].Campo) + " IS NOT DISTINCT FROM ?";
    }
    return texto;
}

std::string TAplicaAlteracoes::Devolucao() const
{
    // Located by its key, a row answers for itself: whether one was reached comes back
    // with the statement, with no second request for the count. Two rows would fail the
    // statement as a singleton, and Firebird undoes it.
    return FProtegeLinha == 0 ? std::string(" RETURNING 1") : std::string();
}

void TAplicaAlteracoes::AcrescentaCondicao(const TRegistro& original, std::vector<TParametro>& parametros) const
{
    for (int i : FLocalizadoras) parametros.push_back({i, original.Opcional(i)});
}

TRegistro TAplicaAlteracoes::Insere(const TRegistro& valores, const std::vector<bool>& atribuidas)
{
    VerificaTabela();
    // Only the columns given a value, so the table's defaults apply to the others.
    std::string chave = "I";
    std::vector<TParametro> parametros;
    std::vector<int> devolvidas;
    for (int i : FGravaveis) {
        if (atribuidas[static_cast<std::size_t>(i)]) {
            chave += std::to_string(i) + ",";
            parametros.push_back({i, valores.Opcional(i)});
        } else {
            devolvidas.push_back(i);
        }
    }
    std::string& texto = FTextos[chave];
    if (texto.empty()) {
        if (parametros.empty()) {
            texto = "INSERT INTO " + IdentificadorSql(FTabela) + " DEFAULT VALUES";
        } else {
            std::string nomes, marcas;
            for (const TParametro& p : parametros) {
                nomes += (nomes.empty() ? "" : ", ") + IdentificadorSql(FColunas[static_cast<std::size_t>(p.Coluna)].Campo);
                marcas += marcas.empty() ? "?" : ", ?";
            }
            texto = "INSERT INTO " + IdentificadorSql(FTabela) + " (" + nomes + ") VALUES (" + marcas + ")";
        }
        for (std::size_t j = 0; j < devolvidas.size(); ++j)
            texto += (j ? ", " : " RETURNING ") + IdentificadorSql(FColunas[static_cast<std::size_t>(devolvidas[j])].Campo);
    }
    const auto comando = Executa(texto, parametros, false);
    if (devolvidas.empty()) return valores;

    std::vector<std::optional<std::string_view>> linha;
    for (int i = 0; i < valores.Colunas(); ++i) linha.push_back(valores.Opcional(i));
    std::vector<std::string> objetosGrandes(devolvidas.size());
    TStatusFb st;
    IMessageMetadata* saida = comando->Saida();
    const unsigned char* mensagem = comando->BufferSaida();
    for (unsigned j = 0; j < devolvidas.size(); ++j) {
        TColuna c = FColunas[static_cast<std::size_t>(devolvidas[j])];
        c.Deslocamento = saida->getOffset(&st, j);
        c.DeslocamentoNulo = saida->getNullOffset(&st, j);
        st.Verifica("Não foi possível ler o que o comando devolveu: " + texto);
        std::int16_t nulo = 0;
        std::memcpy(&nulo, mensagem + c.DeslocamentoNulo, sizeof nulo);
        auto& valor = linha[static_cast<std::size_t>(devolvidas[j])];
        if (nulo) {
            valor = std::nullopt;
        } else if (c.EhObjetoGrande()) {
            ISC_QUAD id;
            std::memcpy(&id, mensagem + c.Deslocamento, sizeof id);
            objetosGrandes[j] = LeObjetoGrande(FConexao.Anexo(), FTransacao, id, c.Nome);
            valor = objetosGrandes[j];
        } else {
            valor = LeDaMensagem(c, mensagem);
        }
    }
    return TRegistro(linha);
}

void TAplicaAlteracoes::Atualiza(const TRegistro& original, const TRegistro& atual)
{
    VerificaLocalizacao();
    std::string chave = "U";
    std::vector<TParametro> parametros;
    for (int i : FGravaveis)
        if (original.Opcional(i) != atual.Opcional(i)) {
            chave += std::to_string(i) + ",";
            parametros.push_back({i, atual.Opcional(i)});
        }
    if (parametros.empty()) return;   // only read-only columns changed: nothing to send
    std::string& texto = FTextos[chave];
    if (texto.empty()) {
        texto = "UPDATE " + IdentificadorSql(FTabela) + " SET ";
        for (std::size_t i = 0; i < parametros.size(); ++i)
            texto += (i ? ", " : "") + IdentificadorSql(FColunas[static_cast<std::size_t>(parametros[i].Coluna)].Campo) + " = ?";
        texto += Condicao() + Devolucao();
    }
    AcrescentaCondicao(original, parametros);
    Executa(texto, parametros, true);
}

void TAplicaAlteracoes::Exclui(const TRegistro& original)
{
    VerificaLocalizacao();
    std::string& texto = FTextos["D"];
    if (texto.empty()) texto = "DELETE FROM " + IdentificadorSql(FTabela) + Condicao() + Devolucao();
    std::vector<TParametro> parametros;
    AcrescentaCondicao(original, parametros);
    Executa(texto, parametros, true);
}

std::shared_ptr<TComando> TAplicaAlteracoes::Executa(const std::string& texto, const std::vector<TParametro>& parametros, bool exigeUmRegistro)
{
    static const std::string MarcaPonto = "SAVEPOINT ATUALIZADOR_LINHA";
    static const std::string VoltaPonto = "ROLLBACK TO SAVEPOINT ATUALIZADOR_LINHA";
    const auto executaSimples = [this](const std::string& comando) {
        const auto preparado = FConexao.Prepara(comando, FTransacao);
        TStatusFb st;
        preparado->Handle()->execute(&st, FTransacao, nullptr, nullptr, nullptr, nullptr);
        FConexao.ContaExecucao(comando);
        st.Verifica("Não foi possível executar o comando " + comando);
    };

    const auto comando = FConexao.Prepara(texto, FTransacao);
    if (!parametros.empty() && !comando->TemEntrada()) {
        std::vector<const TColuna*> descritos;
        for (const TParametro& p : parametros) descritos.push_back(&FColunas[static_cast<std::size_t>(p.Coluna)]);
        comando->DefineEntrada(DescreveParametros(descritos, texto));
    }
    unsigned char* buffer = comando->BufferEntrada();
    for (std::size_t i = 0; i < parametros.size(); ++i) {
        const TParametro& p = parametros[i];
        const TColuna& c = FColunas[static_cast<std::size_t>(p.Coluna)];
        const auto& lugar = comando->Parametros()[i];
        const std::int16_t nulo = p.Valor ? 0 : -1;
        std::memcpy(buffer + lugar.DeslocamentoNulo, &nulo, sizeof nulo);
        if (!p.Valor) continue;
        if (c.EhObjetoGrande()) {
            const ISC_QUAD id = GravaObjetoGrande(FConexao.Anexo(), FTransacao, *p.Valor, c.Nome);
            std::memcpy(buffer + lugar.Deslocamento, &id, sizeof id);
        } else {
            GravaNaMensagem(c, *p.Valor, buffer + lugar.Deslocamento);
        }
    }

    const bool protege = exigeUmRegistro && FProtegeLinha == 1;
    if (protege) executaSimples(MarcaPonto);
    TStatusFb st;
    const bool devolve = comando->TemSaida() && !comando->TemCursor();
    comando->Handle()->execute(&st, FTransacao, comando->Entrada(), parametros.empty() ? nullptr : buffer,
        devolve ? comando->Saida() : nullptr, devolve ? comando->BufferSaida() : nullptr);
    FConexao.ContaExecucao(texto);
    // The sentence is built only on failure: this runs once per changed row.
    if (st.Falhou()) st.Verifica("Não foi possível gravar na tabela " + FTabela + " com o comando " + texto);
    if (!exigeUmRegistro) return comando;

    if (!protege) {
        std::int16_t nulo = 0;
        std::memcpy(&nulo, comando->BufferSaida() + comando->NuloSaida(0), sizeof nulo);
        if (nulo == 0) return comando;
        throw EErro("O registro não foi encontrado na tabela " + FTabela + ": foi alterado ou excluído por outro usuário depois de lido.");
    }
    const ISC_UINT64 alcancados = comando->Handle()->getAffectedRecords(&st);
    if (st.Falhou()) st.Verifica("Não foi possível gravar na tabela " + FTabela + " com o comando " + texto);
    if (alcancados == 1) return comando;
    if (alcancados == 0)
        throw EErro("O registro não foi encontrado na tabela " + FTabela + ": foi alterado ou excluído por outro usuário depois de lido.");
    if (protege) executaSimples(VoltaPonto);
    throw EErro("O comando alcançou " + std::to_string(alcancados) + " registros iguais na tabela " + FTabela
        + " em vez de um; " + (protege ? "nada foi alterado." : "a transação deve ser desfeita."));
}

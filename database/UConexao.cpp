#include "UConexao.h"
#include "UConexaoImpl.h"
#include "UErro.h"

#include <algorithm>
#include <charconv>
#include <cstring>

using namespace Firebird;

namespace {

// Beyond this an unreachable server would freeze the window for minutes.
constexpr int TempoLimiteConexao = 15;

bool MesmoNome(std::string_view a, std::string_view b)
{
    const auto minuscula = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return minuscula(x) == minuscula(y); });
}

std::string_view NomeDoParametro(std::string_view linha) { return linha.substr(0, linha.find('=')); }

int LeDialeto(const std::string& texto)
{
    int dialeto = 3;
    const auto r = std::from_chars(texto.data(), texto.data() + texto.size(), dialeto);
    return r.ec == std::errc{} && dialeto >= 1 && dialeto <= 3 ? dialeto : 3;
}

} // namespace

// --- TConexao ---

TConexao::TConexao() : FImpl(std::make_unique<TConexaoImpl>()) {}

TConexao::~TConexao() = default;

const std::vector<std::string>& TConexao::Params() const { return FParams; }

void TConexao::DefineParametro(const std::string& nome, const std::string& valor)
{
    const auto entrada = std::find_if(FParams.begin(), FParams.end(), [&](const std::string& linha) { return MesmoNome(NomeDoParametro(linha), nome); });
    if (valor.empty()) {
        if (entrada != FParams.end()) FParams.erase(entrada);
    } else if (entrada != FParams.end()) {
        *entrada = nome + "=" + valor;
    } else {
        FParams.push_back(nome + "=" + valor);
    }
}

void TConexao::DefineParametros(std::vector<std::string> linhas) { FParams = std::move(linhas); }

std::string TConexao::Parametro(const std::string& nome) const
{
    for (const std::string& linha : FParams)
        if (MesmoNome(NomeDoParametro(linha), nome)) {
            const auto igual = linha.find('=');
            return igual == std::string::npos ? std::string() : linha.substr(igual + 1);
        }
    return {};
}

void TConexao::SetConnected(bool conectado)
{
    if (conectado) FImpl->Conecta(*this);
    else FImpl->Desconecta();
}

bool TConexao::Connected() const { return FImpl->Conectada(); }

void TConexao::StartTransaction(const TTransactionDesc& descricao) { FImpl->IniciaTransacao(descricao); }
void TConexao::Commit(const TTransactionDesc& descricao) { FImpl->ConfirmaTransacao(descricao); }
void TConexao::Rollback(const TTransactionDesc& descricao) { FImpl->CancelaTransacao(descricao); }
bool TConexao::InTransaction() const { return FImpl->TransacoesAtivas() > 0; }
int TConexao::TransacoesAtivas() const { return FImpl->TransacoesAtivas(); }

std::uint64_t TConexao::ComandosExecutados() const { return FImpl->FComandosExecutados; }
std::uint64_t TConexao::TransacoesIniciadas() const { return FImpl->FTransacoesIniciadas; }
std::uint64_t TConexao::ComandosPreparados() const { return FImpl->FComandosPreparados; }

void TConexao::RegistraComandos(bool ligado)
{
    FImpl->FRegistra = ligado;
    if (!ligado) FImpl->FRegistrados.clear();
}

const std::vector<std::string>& TConexao::ComandosRegistrados() const { return FImpl->FRegistrados; }

void TConexao::EnviaPorLinha(bool ligado) { FImpl->FPorLinha = ligado; }

TConexaoImpl& TConexao::Impl() { return *FImpl; }

// --- TConexaoImpl ---

TConexaoImpl::~TConexaoImpl()
{
    try { Desconecta(); } catch (...) {}   // nowhere to report from here
}

IAttachment* TConexaoImpl::Anexo()
{
    if (!FAnexo) throw EErro("A conexão com o banco de dados não está aberta.");
    return FAnexo.get();
}

void TConexaoImpl::Conecta(const TConexao& conexao)
{
    if (FAnexo) return;
    const std::string localizador = conexao.Parametro("DataBase");
    // No server before the colon (nothing, or only blanks: an empty argument cannot be
    // passed on the command line): the local file, opened by the engine inside this process.
    const auto doisPontos = localizador.find(':');
    const bool local = doisPontos != std::string::npos
        && std::all_of(localizador.begin(), localizador.begin() + static_cast<std::ptrdiff_t>(doisPontos),
                       [](unsigned char c) { return c <= ' '; });
    const std::string arquivo = local ? localizador.substr(doisPontos + 1) : localizador;
    const int dialeto = LeDialeto(conexao.Parametro("SQLDialect"));

    TBlocoParametros dpb(IXpbBuilder::DPB);
    const std::string usuario = conexao.Parametro("User_Name"), senha = conexao.Parametro("Password");
    if (!usuario.empty()) dpb.InsereTexto(isc_dpb_user_name, usuario);
    if (!senha.empty()) dpb.InsereTexto(isc_dpb_password, senha);
    // NONE hands every byte to the tables unchanged; a character set named here is used instead.
    const std::string charset = conexao.Parametro("ServerCharSet");
    dpb.InsereTexto(isc_dpb_lc_ctype, charset.empty() ? "NONE" : charset);
    dpb.InsereInteiro(isc_dpb_sql_dialect, dialeto);
    const std::string papel = conexao.Parametro("RoleName");
    if (!papel.empty()) dpb.InsereTexto(isc_dpb_sql_role_name, papel);
    if (local) dpb.InsereTexto(isc_dpb_config, "Providers=Engine12");   // never the server through loopback
    else dpb.InsereInteiro(isc_dpb_connect_timeout, TempoLimiteConexao);

    TRefFb<IProvider> provedor(MestreFb()->getDispatcher());
    TStatusFb st;
    TRefFb<IAttachment> anexo(provedor->attachDatabase(&st, arquivo.c_str(), dpb.Tamanho(), dpb.Dados()));
    st.Verifica("Não foi possível conectar ao banco de dados " + localizador + ".");

    FProvedor = std::move(provedor);
    FAnexo = std::move(anexo);
    FDialeto = static_cast<unsigned>(dialeto);
    FEsperaBloqueios = !MesmoNome(conexao.Parametro("WaitOnLocks"), "False");
}

void TConexaoImpl::EsvaziaCache() noexcept
{
    FComandos.clear();
    FRecentes.clear();   // each statement is freed here, while the attachment lives
    FChaves.clear();
    FLotes.clear();
    FUnicas.Esvazia();
}

void TConexaoImpl::Desconecta()
{
    if (!FAnexo) {
        FProvedor.reset();
        return;
    }
    std::string falha;
    EsvaziaCache();
    FechaSemFalha(FLeitura);   // reads only: nothing to report if it fails
    // Firebird refuses to detach with a transaction open and then leaves it half attached.
    while (!FTransacoes.empty()) {
        TStatusFb st;
        FTransacoes.back().Handle->rollback(&st);
        if (!st.Falhou()) (void)FTransacoes.back().Handle.release();
        else if (falha.empty()) falha = "Não foi possível desfazer a transação ao desconectar.\n" + st.Texto();
        FTransacoes.pop_back();
    }
    TStatusFb st;
    FAnexo->detach(&st);
    if (st.Falhou()) {
        if (falha.empty()) falha = "Não foi possível desconectar do banco de dados.\n" + st.Texto();
        FAnexo->detach(&st);   // a second detach ends what a failed first one left behind
    }
    if (!st.Falhou()) (void)FAnexo.release();
    FAnexo.reset();
    FProvedor.reset();
    if (!falha.empty()) throw EErro(falha);
}

TRefFb<ITransaction> TConexaoImpl::NovaTransacao(const TTransactionDesc& descricao)
{
    TBlocoParametros tpb(IXpbBuilder::TPB);
    tpb.InsereMarca(descricao.SomenteLeitura ? isc_tpb_read : isc_tpb_write);
    if (descricao.IsolationLevel == TNivelIsolamento::RepeatableRead) {
        tpb.InsereMarca(isc_tpb_concurrency);
    } else {
        // Firebird reads no uncommitted data, so a dirty read is read committed here too.
        tpb.InsereMarca(isc_tpb_read_committed);
        tpb.InsereMarca(isc_tpb_rec_version);
    }
    tpb.InsereMarca(FEsperaBloqueios ? isc_tpb_wait : isc_tpb_nowait);
    for (const std::string& tabela : descricao.TabelasProtegidas) {
        tpb.InsereTexto(isc_tpb_lock_write, tabela);
        tpb.InsereMarca(isc_tpb_protected);
    }
    TStatusFb st;
    TRefFb<ITransaction> transacao(Anexo()->startTransaction(&st, tpb.Tamanho(), tpb.Dados()));
    st.Verifica("Não foi possível iniciar a transação.");
    ++FTransacoesIniciadas;
    return transacao;
}

void TConexaoImpl::IniciaTransacao(const TTransactionDesc& descricao)
{
    if (!FAnexo) throw EErro("Não é possível iniciar uma transação: a conexão com o banco de dados não está aberta.");
    FTransacoes.push_back({descricao.TransactionID, NovaTransacao(descricao)});
}

namespace {

template <class Lista> auto AchaTransacao(Lista& transacoes, std::uint32_t id, const char* acao)
{
    if (transacoes.empty()) throw EErro(std::string("Não há transação ativa para ") + acao + ".");
    const auto achada = std::find_if(transacoes.rbegin(), transacoes.rend(), [id](const auto& t) { return t.Id == id; });
    if (achada == transacoes.rend())
        throw EErro(std::string("Não há transação ativa com o identificador ") + std::to_string(id) + " para " + acao + ".");
    return std::prev(achada.base());
}

} // namespace

void TConexaoImpl::ConfirmaTransacao(const TTransactionDesc& descricao)
{
    const auto transacao = AchaTransacao(FTransacoes, descricao.TransactionID, "confirmar");
    TStatusFb st;
    transacao->Handle->commit(&st);
    st.Verifica("Não foi possível confirmar a transação.");   // still active: the caller may roll it back
    (void)transacao->Handle.release();
    FTransacoes.erase(transacao);
}

void TConexaoImpl::CancelaTransacao(const TTransactionDesc& descricao)
{
    const auto transacao = AchaTransacao(FTransacoes, descricao.TransactionID, "desfazer");
    TStatusFb st;
    transacao->Handle->rollback(&st);
    if (!st.Falhou()) (void)transacao->Handle.release();
    // A transaction whose roll-back failed is of no further use: it is dropped either way.
    FTransacoes.erase(transacao);
    st.Verifica("Não foi possível desfazer a transação.");
}

ITransaction* TConexaoImpl::TransacaoCorrente() { return FTransacoes.empty() ? nullptr : FTransacoes.back().Handle.get(); }

TRefFb<ITransaction> TConexaoImpl::IniciaTransacaoCurta() { return NovaTransacao(TTransactionDesc{}); }

ITransaction* TConexaoImpl::TransacaoLeitura()
{
    if (!FLeitura) {
        TTransactionDesc leitura;
        leitura.SomenteLeitura = true;
        FLeitura = NovaTransacao(leitura);
    }
    return FLeitura.get();
}

std::shared_ptr<TComando> TConexaoImpl::Prepara(const std::string& texto, ITransaction* transacao)
{
    if (const auto achado = FComandos.find(texto); achado != FComandos.end()) {
        FRecentes.splice(FRecentes.end(), FRecentes, achado->second);
        return *achado->second;
    }
    auto comando = NovoComando(texto, transacao);
    if (FRecentes.size() >= LimiteComandos) {
        FComandos.erase(FRecentes.front()->Texto());
        FRecentes.pop_front();
    }
    FRecentes.push_back(comando);
    FComandos.emplace(texto, std::prev(FRecentes.end()));
    return comando;
}

std::shared_ptr<TComando> TConexaoImpl::PreparaLote(const std::string& texto, ITransaction* transacao)
{
    std::shared_ptr<TComando>& comando = FLotes[texto];
    if (!comando) comando = NovoComando(texto, transacao);
    return comando;
}

std::shared_ptr<TComando> TConexaoImpl::NovoComando(const std::string& texto, ITransaction* transacao)
{
    TStatusFb st;
    TRefFb<IStatement> handle(
        Anexo()->prepare(&st, transacao, static_cast<unsigned>(texto.size()), texto.data(), FDialeto, IStatement::PREPARE_PREFETCH_METADATA));
    st.Verifica("Não foi possível preparar o comando " + texto);
    ++FComandosPreparados;
    return std::make_shared<TComando>(std::move(handle), texto);
}

void TConexaoImpl::ContaExecucao(const std::string& texto)
{
    ++FComandosExecutados;
    if (FRegistra) FRegistrados.push_back(texto);
}

const std::vector<std::string>& TConexaoImpl::ChavePrimaria(const std::string& tabela, ITransaction* transacao)
{
    if (const auto achada = FChaves.find(tabela); achada != FChaves.end()) return achada->second;

    std::string literal = "'";
    for (char c : tabela) literal += c == '\'' ? std::string("''") : std::string(1, c);
    literal += "'";
    const std::string texto =
        "SELECT TRIM(S.RDB$FIELD_NAME) FROM RDB$RELATION_CONSTRAINTS C JOIN RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = C.RDB$INDEX_NAME"
        " WHERE C.RDB$RELATION_NAME = " + literal + " AND C.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY' ORDER BY S.RDB$FIELD_POSITION";
    const auto comando = Prepara(texto, transacao);
    IMessageMetadata* saida = comando->Saida();
    TStatusFb st;
    const unsigned tamanho = saida->getMessageLength(&st);
    const unsigned deslocamento = saida->getOffset(&st, 0);
    const unsigned deslocamentoNulo = saida->getNullOffset(&st, 0);
    st.Verifica("Não foi possível ler a chave primária da tabela " + tabela + ".");
    std::vector<unsigned char> mensagem(tamanho);

    TRefFb<IResultSet> cursor(comando->Handle()->openCursor(&st, transacao, nullptr, nullptr, saida, 0));
    st.Verifica("Não foi possível ler a chave primária da tabela " + tabela + ".");
    ContaExecucao(texto);
    std::vector<std::string> colunas;
    for (;;) {
        const int r = cursor->fetchNext(&st, mensagem.data());
        if (st.Falhou()) {
            FechaSemFalha(cursor);
            st.Verifica("Não foi possível ler a chave primária da tabela " + tabela + ".");
        }
        if (r != IStatus::RESULT_OK) break;
        std::int16_t nulo = 0;
        std::memcpy(&nulo, mensagem.data() + deslocamentoNulo, sizeof nulo);
        if (nulo) continue;
        std::uint16_t bytes = 0;
        std::memcpy(&bytes, mensagem.data() + deslocamento, sizeof bytes);
        colunas.emplace_back(reinterpret_cast<const char*>(mensagem.data() + deslocamento + sizeof bytes), bytes);
    }
    cursor->close(&st);
    if (st.Falhou()) FechaSemFalha(cursor);
    else (void)cursor.release();
    return FChaves.emplace(tabela, std::move(colunas)).first->second;
}

// --- TTransacaoDoComando ---

TTransacaoDoComando::TTransacaoDoComando(TConexaoImpl& conexao, TUso uso) : FHandle(conexao.TransacaoCorrente())
{
    if (!FHandle && uso == TUso::Leitura && !conexao.FPorLinha) FHandle = conexao.TransacaoLeitura();
    if (!FHandle) {
        FPropria = conexao.IniciaTransacaoCurta();
        FHandle = FPropria.get();
    }
}

TTransacaoDoComando::~TTransacaoDoComando() { FechaSemFalha(FPropria); }

void TTransacaoDoComando::Confirma()
{
    if (!FPropria) return;
    TStatusFb st;
    FPropria->commit(&st);
    st.Verifica("Não foi possível confirmar a transação.");
    (void)FPropria.release();
    FHandle = nullptr;
}

void TTransacaoDoComando::Cancela()
{
    FechaSemFalha(FPropria);
    if (!FPropria) FHandle = nullptr;
}

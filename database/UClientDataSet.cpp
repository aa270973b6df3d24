#include "UClientDataSet.h"
#include "UClientDataSetImpl.h"
#include "UConexao.h"
#include "UConexaoImpl.h"
#include "UConsultaUnica.h"
#include "UErro.h"
#include "ULeituraConjunto.h"

#include <algorithm>

using namespace Firebird;
using TEstado = TClientDataSet::TEstado;

// --- TClientDataSetImpl: reading, cursor and change log ---

TClientDataSetImpl::TClientDataSetImpl(TDataSetProvider& provider, std::string providerName)
    : FProvider(provider), FProviderName(std::move(providerName))
{
}

TConexao& TClientDataSetImpl::Conexao()
{
    if (!FProvider.DataSet || !FProvider.DataSet->SQLConnection)
        throw EErro("O conjunto de dados " + FProviderName + " não está ligado a uma conexão.");
    return *FProvider.DataSet->SQLConnection;
}

void TClientDataSetImpl::VerificaAtivo() const
{
    if (FEstado == TEstado::Inactive) throw EErro("O conjunto de dados está fechado.");
}

void TClientDataSetImpl::Abre()
{
    if (FCommandText.empty()) throw EErro("O conjunto de dados não tem comando a executar.");
    TConexaoImpl& conexao = Conexao().Impl();
    IAttachment* anexo = conexao.Anexo();
    const std::string acao = "Não foi possível executar o comando " + FCommandText;

    TTransacaoDoComando transacao(conexao, TTransacaoDoComando::TUso::Leitura);
    std::vector<TColuna> colunas;
    std::deque<TLinha> linhas;
    bool lida = false;
    const std::string forma = conexao.FPorLinha ? std::string() : FormaDaConsulta(FCommandText);
    if (const auto modelo = forma.empty() ? nullptr : conexao.Unicas().Modelo(forma)) {
        const auto resultado = TConsultasUnicas::Executa(anexo, transacao.Handle(), conexao.Dialeto(), FCommandText, *modelo);
        conexao.ContaExecucao(FCommandText);
        if (resultado == TConsultasUnicas::TResultado::Varias) {
            conexao.Unicas().Registra(forma, modelo, false);
        } else {
            colunas = DescreveColunas(modelo->Saida(), FCommandText);
            if (resultado == TConsultasUnicas::TResultado::Uma) {
                std::vector<std::optional<std::string_view>> valores(colunas.size());
                std::vector<std::string> objetosGrandes(colunas.size());
                linhas.push_back(LeLinha(colunas, modelo->BufferSaida(), anexo, transacao.Handle(), valores, objetosGrandes));
            }
            lida = true;
        }
    }
    if (!lida) {
        const auto comando = conexao.Prepara(FCommandText, transacao.Handle());
        if (!comando->TemCursor()) throw EErro("O comando não devolve registros: " + FCommandText);
        colunas = DescreveColunas(comando->Saida(), FCommandText);
        const TRefFb<IMessageMetadata> estreita = conexao.FPorLinha ? nullptr : Estreita(comando->Saida(), colunas, acao);
        try {
            linhas = LeCursor(*comando, estreita ? estreita.get() : comando->Saida(), colunas, conexao, transacao.Handle(), FCommandText);
        } catch (const EErro&) {
            if (!estreita) throw;
            linhas = LeCursor(*comando, comando->Saida(), colunas, conexao, transacao.Handle(), FCommandText);
        }
        conexao.Unicas().Registra(forma, comando, linhas.size() <= 1);
    }
    transacao.Confirma();

    Fecha();
    FColunas = std::move(colunas);
    FLinhas = std::move(linhas);
    FEstado = TEstado::Browse;
    FAtual = FLinhas.empty() ? -1 : 0;
    FBof = true;
    FEof = FLinhas.empty();
}

void TClientDataSetImpl::Fecha() noexcept
{
    FEstado = TEstado::Inactive;
    FCampos.clear();
    FColunas.clear();
    FLinhas.clear();
    FExclusoes.clear();
    FPendente = TRegistro();
    FAtribuidas.clear();
    FAtual = -1;
    FEof = FBof = true;
}

const TRegistro* TClientDataSetImpl::RegistroCorrente() const
{
    if (FEstado == TEstado::Edit || FEstado == TEstado::Insert) return &FPendente;
    if (FEstado == TEstado::Inactive || FAtual < 0) return nullptr;
    return &FLinhas[static_cast<std::size_t>(FAtual)].Atual;
}

int TClientDataSetImpl::IndiceDaColuna(const std::string& nome) const
{
    const auto minuscula = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (std::size_t i = 0; i < FColunas.size(); ++i) {
        const std::string& n = FColunas[i].Nome;
        if (n.size() == nome.size() && std::equal(n.begin(), n.end(), nome.begin(), [&](char a, char b) { return minuscula(a) == minuscula(b); }))
            return static_cast<int>(i);
    }
    return -1;
}

void TClientDataSetImpl::VerificaEdicao(int indice) const
{
    if (FEstado != TEstado::Edit && FEstado != TEstado::Insert)
        throw EErro("A coluna " + FColunas[static_cast<std::size_t>(indice)].Nome + " só pode ser alterada em modo de edição ou inclusão.");
}

void TClientDataSetImpl::DefineValor(int indice, std::optional<std::string> bytes)
{
    VerificaEdicao(indice);
    FPendente = FPendente.ComValor(indice, bytes ? std::optional<std::string_view>(*bytes) : std::nullopt);
    FAtribuidas[static_cast<std::size_t>(indice)] = true;
}

void TClientDataSetImpl::PostaPendente()
{
    if (FEstado == TEstado::Edit || FEstado == TEstado::Insert) Posta();
}

void TClientDataSetImpl::Primeiro()
{
    VerificaAtivo();
    PostaPendente();
    FAtual = FLinhas.empty() ? -1 : 0;
    FBof = true;
    FEof = FLinhas.empty();
}

void TClientDataSetImpl::Ultimo()
{
    VerificaAtivo();
    PostaPendente();
    FAtual = static_cast<int>(FLinhas.size()) - 1;
    FBof = FLinhas.empty();
    FEof = true;
}

void TClientDataSetImpl::Proximo()
{
    VerificaAtivo();
    PostaPendente();
    if (FEof) return;
    FBof = false;
    if (FAtual + 1 < static_cast<int>(FLinhas.size())) ++FAtual;
    else FEof = true;   // the cursor stays on the last row
}

void TClientDataSetImpl::Anexa()
{
    VerificaAtivo();
    PostaPendente();
    FAnterior = FAtual;
    FPendente = TRegistro::Nulos(static_cast<int>(FColunas.size()));
    FAtribuidas.assign(FColunas.size(), false);
    FEstado = TEstado::Insert;
    FAtual = static_cast<int>(FLinhas.size());
    FBof = FEof = false;
}

void TClientDataSetImpl::Edita()
{
    VerificaAtivo();
    if (FEstado == TEstado::Edit || FEstado == TEstado::Insert) return;
    if (FLinhas.empty()) {
        Anexa();   // an empty set has no row to edit: a new one is begun instead
        return;
    }
    FPendente = FLinhas[static_cast<std::size_t>(FAtual)].Atual;
    FAtribuidas.assign(FColunas.size(), false);
    FEstado = TEstado::Edit;
}

void TClientDataSetImpl::Posta()
{
    if (FEstado != TEstado::Edit && FEstado != TEstado::Insert) return;
    for (std::size_t i = 0; i < FColunas.size(); ++i)
        if (!FPendente.Nulo(static_cast<int>(i))) VerificaTamanho(FColunas[i], FPendente.Valor(static_cast<int>(i)));

    if (FEstado == TEstado::Insert) {
        auto alteracao = std::make_unique<TAlteracaoLinha>(TAlteracaoLinha{TSituacao::Inserida, FProximaOrdem++, TRegistro(), FAtribuidas});
        FLinhas.push_back(TLinha{std::move(FPendente), std::move(alteracao)});
        FAtual = static_cast<int>(FLinhas.size()) - 1;
    } else {
        TLinha& linha = FLinhas[static_cast<std::size_t>(FAtual)];
        if (!(FPendente == linha.Atual)) {
            if (!linha.Alteracao) {
                linha.Alteracao = std::make_unique<TAlteracaoLinha>(TAlteracaoLinha{TSituacao::Modificada, FProximaOrdem++, linha.Atual, {}});
            } else if (linha.Alteracao->Situacao == TSituacao::Inserida) {
                for (std::size_t i = 0; i < FAtribuidas.size(); ++i)
                    if (FAtribuidas[i]) linha.Alteracao->Atribuidas[i] = true;
            } else if (FPendente == linha.Alteracao->Original) {
                linha.Alteracao.reset();   // edited back to the values as read: nothing left to send
            }
            linha.Atual = std::move(FPendente);
        }
    }
    FPendente = TRegistro();
    FEstado = TEstado::Browse;
    FBof = FEof = false;
}

void TClientDataSetImpl::Cancela()
{
    if (FEstado == TEstado::Insert) FAtual = FAnterior;
    if (FEstado == TEstado::Edit || FEstado == TEstado::Insert) {
        FPendente = TRegistro();
        FEstado = TEstado::Browse;
        if (FLinhas.empty()) FAtual = -1;
        FBof = FEof = FLinhas.empty();
    }
}

void TClientDataSetImpl::Exclui()
{
    VerificaAtivo();
    if (FEstado == TEstado::Insert) {
        Cancela();   // the row never reached the set
        return;
    }
    if (FLinhas.empty()) throw EErro("Não há registro a excluir: o conjunto de dados está vazio.");
    FEstado = TEstado::Browse;
    FPendente = TRegistro();
    const auto posicao = FLinhas.begin() + FAtual;
    if (!posicao->Alteracao) FExclusoes.push_back(TExclusao{FProximaOrdem++, std::move(posicao->Atual)});
    else if (posicao->Alteracao->Situacao == TSituacao::Modificada)
        FExclusoes.push_back(TExclusao{posicao->Alteracao->Ordem, std::move(posicao->Alteracao->Original)});
    // An inserted row that was never sent leaves nothing to send.
    FLinhas.erase(posicao);
    if (FLinhas.empty()) {
        FAtual = -1;
        FBof = FEof = true;
    } else {
        if (FAtual >= static_cast<int>(FLinhas.size())) FAtual = static_cast<int>(FLinhas.size()) - 1;
        FBof = FEof = false;
    }
}

int TClientDataSetImpl::Alteracoes() const
{
    int contagem = static_cast<int>(FExclusoes.size());
    for (const TLinha& linha : FLinhas)
        if (linha.Alteracao) ++contagem;
    return contagem;
}

// --- TClientDataSet ---

TClientDataSet::TClientDataSet(TDataSetProvider& provider, std::string providerName)
    : FImpl(std::make_unique<TClientDataSetImpl>(provider, std::move(providerName)))
{
}

TClientDataSet::~TClientDataSet() = default;

const std::string& TClientDataSet::ProviderName() const { return FImpl->FProviderName; }
void TClientDataSet::SetCommandText(const std::string& texto) { FImpl->FCommandText = texto; }
const std::string& TClientDataSet::CommandText() const { return FImpl->FCommandText; }

void TClientDataSet::Open()
{
    if (Active()) return;
    FImpl->Abre();
    for (int i = 0; i < static_cast<int>(FImpl->FColunas.size()); ++i) FImpl->FCampos.emplace_back(new TCampo(*this, i));
}

void TClientDataSet::Close() { FImpl->Fecha(); }
bool TClientDataSet::Active() const { return FImpl->FEstado != TEstado::Inactive; }
TClientDataSet::TEstado TClientDataSet::State() const { return FImpl->FEstado; }
bool TClientDataSet::Eof() const { return FImpl->FEof; }
bool TClientDataSet::Bof() const { return FImpl->FBof; }

int TClientDataSet::RecNo() const
{
    if (!Active() || FImpl->FAtual < 0) return 0;
    return FImpl->FAtual + 1;
}

int TClientDataSet::RecordCount() const { return static_cast<int>(FImpl->FLinhas.size()); }

TCampo& TClientDataSet::FieldByName(const std::string& nome)
{
    FImpl->VerificaAtivo();
    const int indice = FImpl->IndiceDaColuna(nome);
    if (indice < 0) throw EErro("A coluna " + nome + " não existe no conjunto de dados.");
    return *FImpl->FCampos[static_cast<std::size_t>(indice)];
}

TCampo& TClientDataSet::Fields(int indice)
{
    FImpl->VerificaAtivo();
    if (indice < 0 || indice >= FieldCount())
        throw EErro("O conjunto de dados não tem a coluna de número " + std::to_string(indice) + ".");
    return *FImpl->FCampos[static_cast<std::size_t>(indice)];
}

int TClientDataSet::FieldCount() const { return static_cast<int>(FImpl->FColunas.size()); }

void TClientDataSet::First() { FImpl->Primeiro(); }
void TClientDataSet::Last() { FImpl->Ultimo(); }
void TClientDataSet::Next() { FImpl->Proximo(); }
void TClientDataSet::Append() { FImpl->Anexa(); }
void TClientDataSet::Edit() { FImpl->Edita(); }
void TClientDataSet::Post() { FImpl->Posta(); }
void TClientDataSet::Cancel() { FImpl->Cancela(); }
void TClientDataSet::Delete() { FImpl->Exclui(); }
int TClientDataSet::ApplyUpdates(int maxErrors) { return FImpl->Aplica(maxErrors); }
int TClientDataSet::ChangeCount() const { return FImpl->Alteracoes(); }
const std::string& TClientDataSet::UltimoErroAplicacao() const { return FImpl->FUltimoErro; }
TClientDataSetImpl& TClientDataSet::Impl() { return *FImpl; }

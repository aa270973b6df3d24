#include "UBancoTeste.h"

#include "UConexao.h"
#include "UErro.h"
#include "UFirebird.h"
#include "USistemaTeste.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

using namespace Firebird;

namespace {

std::string Ambiente(const char* nome)
{
    const char* valor = std::getenv(nome);
    return valor ? valor : "";
}

// The statements of sql/schema.sql, without comments and COMMIT.
std::vector<std::string> ComandosDoEsquema()
{
    std::ifstream arquivo(ATUALIZADOR_ESQUEMA);
    if (!arquivo) throw EErro(std::string("Esquema não encontrado: ") + ATUALIZADOR_ESQUEMA);
    std::string texto, linha;
    while (std::getline(arquivo, linha)) texto += linha.substr(0, linha.find("--")) + "\n";
    std::vector<std::string> comandos;
    std::stringstream partes(texto);
    std::string comando;
    while (std::getline(partes, comando, ';')) {
        comando = std::regex_replace(comando, std::regex("^\\s+|\\s+$"), "");
        if (!comando.empty() && comando != "COMMIT") comandos.push_back(comando);
    }
    return comandos;
}

std::string NomeDaTabela(const std::string& ddl)
{
    std::smatch m;
    return std::regex_search(ddl, m, std::regex("CREATE TABLE\\s+(\\w+)", std::regex::icase)) ? m[1].str() : "";
}

} // namespace

std::string ServidorTeste() { return Ambiente("ATUALIZADOR_TEST_SERVER"); }

std::string SemServidorTeste()
{
    return "ATUALIZADOR_TEST_SERVER não está definido: estes testes precisam do servidor de teste "
           "(scripts/with-test-server ctest ...).";
}

struct TBancoTeste::TEstado {
    TRefFb<IProvider> Provedor;
    TRefFb<IAttachment> Anexo;
};

TBancoTeste::TBancoTeste(const std::string& nome, const std::vector<std::string>& tabelasExtras, TAcesso acesso)
    : FEstado(std::make_unique<TEstado>())
{
    const std::string arquivoBase = nome + "_" + std::to_string(IdProcesso()) + ".fdb";
    std::string caminho, localizadorFb;
    TBlocoParametros dpb(IXpbBuilder::DPB);
    dpb.InsereTexto(isc_dpb_user_name, Ambiente("ATUALIZADOR_TEST_USER"));
    dpb.InsereTexto(isc_dpb_password, Ambiente("ATUALIZADOR_TEST_PASSWORD"));
    dpb.InsereTexto(isc_dpb_lc_ctype, "NONE");
    dpb.InsereInteiro(isc_dpb_sql_dialect, 3);
    if (acesso == TAcesso::Servidor) {
        if (ServidorTeste().empty()) throw EErro(SemServidorTeste());
        caminho = Ambiente("ATUALIZADOR_TEST_DBDIR") + "/" + arquivoBase;
        localizadorFb = ServidorTeste() + ":" + caminho;
        FLocalizador = localizadorFb;
    } else {
        // A folder of this process only: the server never opens these files.
        const auto pasta = std::filesystem::temp_directory_path() / ("atualizador-embutido-" + std::to_string(IdProcesso()));
        std::filesystem::create_directories(pasta);
        caminho = (pasta / arquivoBase).string();
        FPastaPropria = pasta.string();
        localizadorFb = caminho;
        FLocalizador = ":" + caminho;
        dpb.InsereTexto(isc_dpb_config, "Providers=Engine12");
    }
    std::error_code ignorado;
    std::filesystem::remove(caminho, ignorado);   // left by an earlier run with the same pid

    FEstado->Provedor.reset(MestreFb()->getDispatcher());
    TStatusFb st;
    FEstado->Anexo.reset(FEstado->Provedor->createDatabase(&st, localizadorFb.c_str(), dpb.Tamanho(), dpb.Dados()));
    st.Verifica("Não foi possível criar o banco de teste " + localizadorFb);

    for (const std::string& comando : ComandosDoEsquema()) {
        Executa(comando);
        if (const std::string tabela = NomeDaTabela(comando); !tabela.empty()) FTabelas.push_back(tabela);
    }
    for (const std::string& comando : tabelasExtras) {
        Executa(comando);
        if (const std::string tabela = NomeDaTabela(comando); !tabela.empty()) FTabelas.push_back(tabela);
    }
}

TBancoTeste::~TBancoTeste()
{
    if (FEstado->Anexo) {
        TStatusFb st;
        FEstado->Anexo->dropDatabase(&st);
        if (!st.Falhou()) (void)FEstado->Anexo.release();
    }
    FEstado->Anexo.reset();
    std::error_code ignorado;
    if (!FPastaPropria.empty()) std::filesystem::remove(FPastaPropria, ignorado);   // only when empty
}

void TBancoTeste::Configura(TConexao& conexao) const
{
    conexao.DefineParametro("DataBase", FLocalizador);
    conexao.DefineParametro("User_Name", Ambiente("ATUALIZADOR_TEST_USER"));
    conexao.DefineParametro("Password", Ambiente("ATUALIZADOR_TEST_PASSWORD"));
}

void TBancoTeste::Executa(const std::string& sql)
{
    TStatusFb st;
    TRefFb<ITransaction> transacao(FEstado->Anexo->startTransaction(&st, 0, nullptr));
    st.Verifica("Teste: transação");
    FEstado->Anexo->execute(&st, transacao.get(), 0, sql.c_str(), 3, nullptr, nullptr, nullptr, nullptr);
    if (st.Falhou()) {
        const std::string texto = st.Texto();
        FechaSemFalha(transacao);
        throw EErro("Teste: " + sql + "\n" + texto);
    }
    transacao->commit(&st);
    st.Verifica("Teste: commit de " + sql);
    (void)transacao.release();
}

std::vector<TLinhaLida> TBancoTeste::Consulta(const std::string& sql)
{
    constexpr unsigned Largura = 32765;
    TStatusFb st;
    TRefFb<ITransaction> transacao(FEstado->Anexo->startTransaction(&st, 0, nullptr));
    st.Verifica("Teste: transação");
    TRefFb<IStatement> comando(FEstado->Anexo->prepare(&st, transacao.get(), 0, sql.c_str(), 3, IStatement::PREPARE_PREFETCH_METADATA));
    st.Verifica("Teste: " + sql);
    TRefFb<IMessageMetadata> original(comando->getOutputMetadata(&st));
    st.Verifica("Teste: " + sql);
    const unsigned colunas = original->getCount(&st);
    // Every column asked for as text: the server converts, so values are read one way only.
    TRefFb<IMetadataBuilder> construtor(original->getBuilder(&st));
    for (unsigned i = 0; i < colunas; ++i) {
        const unsigned tipo = original->getType(&st, i) & ~1u;
        const bool texto = tipo == SQL_TEXT || tipo == SQL_VARYING;
        construtor->setType(&st, i, SQL_VARYING | 1);
        construtor->setSubType(&st, i, 0);
        construtor->setLength(&st, i, Largura);
        construtor->setScale(&st, i, 0);
        construtor->setCharSet(&st, i, texto ? original->getCharSet(&st, i) : 0);   // no transliteration
    }
    TRefFb<IMessageMetadata> saida(construtor->getMetadata(&st));
    st.Verifica("Teste: metadados de " + sql);
    std::vector<unsigned char> mensagem(saida->getMessageLength(&st));
    std::vector<TLinhaLida> linhas;
    TRefFb<IResultSet> cursor(comando->openCursor(&st, transacao.get(), nullptr, nullptr, saida.get(), 0));
    st.Verifica("Teste: " + sql);
    for (;;) {
        const int r = cursor->fetchNext(&st, mensagem.data());
        if (st.Falhou()) {
            const std::string texto = st.Texto();
            FechaSemFalha(cursor);
            throw EErro("Teste: " + sql + "\n" + texto);
        }
        if (r != IStatus::RESULT_OK) break;
        TLinhaLida linha;
        for (unsigned i = 0; i < colunas; ++i) {
            std::int16_t nulo = 0;
            std::memcpy(&nulo, mensagem.data() + saida->getNullOffset(&st, i), sizeof nulo);
            if (nulo) {
                linha.push_back(std::nullopt);
                continue;
            }
            const unsigned char* valor = mensagem.data() + saida->getOffset(&st, i);
            std::uint16_t tamanho = 0;
            std::memcpy(&tamanho, valor, sizeof tamanho);
            linha.push_back(std::string(reinterpret_cast<const char*>(valor + 2), tamanho));
        }
        linhas.push_back(std::move(linha));
    }
    FechaSemFalha(cursor);
    FechaSemFalha(comando);
    transacao->commit(&st);
    (void)transacao.release();
    return linhas;
}

std::optional<std::string> TBancoTeste::Valor(const std::string& sql)
{
    const auto linhas = Consulta(sql);
    if (linhas.empty() || linhas[0].empty()) throw EErro("Teste: nenhum valor em " + sql);
    return linhas[0][0];
}

void TBancoTeste::EsvaziaTabelas()
{
    for (const std::string& tabela : FTabelas) Executa("DELETE FROM " + tabela);
}

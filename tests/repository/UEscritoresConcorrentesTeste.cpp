// Two writers on one database: another run commits between our lookup and our write (the
// writer's hook lets the test place it there), or both write many files at once on threads.
// Every case runs on the repository tables as shipped and on tables without any key.
#include "UApoioBanco.h"
#include "UArquivoFonte.h"
#include "UAtualizaArquivo.h"
#include "UPastaTemporaria.h"

#include <gtest/gtest.h>

#include "UTexto.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

struct TSuiteComChaves {
    static constexpr auto NomeBanco = "concorrentes_chaves";
    static std::vector<std::string> Tabelas() { return {}; }
};

struct TSuiteSemChaves {
    static constexpr auto NomeBanco = "concorrentes_sem_chaves";
    static std::vector<std::string> Tabelas()
    {
        return {"ALTER TABLE REPOSITORIO DROP CONSTRAINT PK_REPOSITORIO", "DROP INDEX IX_REPOSITORIO_ARQUIVO",
                "ALTER TABLE REPOSITORIO_DADOS DROP CONSTRAINT PK_REPOSITORIO_DADOS"};
    }
};

// One writer with a data module and a connection of its own.
struct TEscritor {
    TDM dm;
    TMensagensGravadas mensagens;
};

// A file's content: "name;stamp" and its body lines.
std::string Conteudo(const std::string& nome, const std::string& carimbo, const std::vector<std::string>& linhas)
{
    std::string conteudo = nome + ";" + carimbo + "\n";
    for (const std::string& linha : linhas) conteudo += linha + "\n";
    return conteudo;
}

// The other writer writes the same name (stored before or not) between our lookup and our
// write. The newer stamp wins, whole; an equal stamp keeps what the other wrote.
struct TCasoConflito {
    const char* nome;
    bool armazenado;         // the file is stored, stamp 2024-01-01, before both writers start
    std::string carimboOutro;
    bool ganhaOOutro;
};

const auto CasosConflito = testing::Values(
    TCasoConflito{"NovoOutroMaisAntigo", false, "20240301000000", false},
    TCasoConflito{"NovoOutroIgual", false, "20240305140709", true},
    TCasoConflito{"NovoOutroMaisNovo", false, "20240401000000", true},
    TCasoConflito{"ArmazenadoOutroMaisAntigo", true, "20240301000000", false},
    TCasoConflito{"ArmazenadoOutroIgual", true, "20240305140709", true},
    TCasoConflito{"ArmazenadoOutroMaisNovo", true, "20240401000000", true});

template <class TSuite>
class TDoisEscritores : public TTesteComBanco<TSuite> {
protected:
    void SetUp() override
    {
        TTesteComBanco<TSuite>::SetUp();
        if (this->HasFatalFailure()) return;
        for (TEscritor* e : {&FPrimeiro, &FSegundo}) {
            this->Banco().Configura(e->dm.conexao);
            e->dm.conexao.SetConnected(true);
        }
    }
    void TearDown() override { AntesDaTransacaoArquivo = nullptr; }

    TResultado Atualiza(TEscritor& escritor, const std::string& conteudo)
    {
        TArquivoFonte fonte(FPasta.Escreve("fonte" + std::to_string(++FArquivos) + ".txt", conteudo));
        const std::string cabecalho = fonte.LeLinha();
        return AtualizaArquivo(escritor.dm, escritor.mensagens, cabecalho, fonte, "SISTEMA\\");
    }

    // The first writer writes `conteudo`; the second writes `doOutro` after the first has
    // looked its file up and before its transaction begins.
    void AtualizaComOutroNoMeio(const std::string& conteudo, const std::string& doOutro)
    {
        AntesDaTransacaoArquivo = [&] {
            AntesDaTransacaoArquivo = nullptr;   // the second writer runs straight through
            ASSERT_EQ(Atualiza(FSegundo, doOutro), TResultado::Continua);
        };
        ASSERT_EQ(Atualiza(FPrimeiro, conteudo), TResultado::Continua);
        EXPECT_FALSE(AntesDaTransacaoArquivo) << "the other writer never ran";
        EXPECT_TRUE(FPrimeiro.mensagens.Textos.empty()) << testing::PrintToString(FPrimeiro.mensagens.Textos);
        EXPECT_TRUE(FSegundo.mensagens.Textos.empty()) << testing::PrintToString(FSegundo.mensagens.Textos);
    }

    void Armazena(int id, const std::string& arquivo, const std::string& dataHora, const std::vector<std::string>& linhas)
    {
        this->Banco().Executa("INSERT INTO REPOSITORIO (ID, ARQUIVO, DATA_HORA) VALUES (" + std::to_string(id) + ", '"
                              + arquivo + "', '" + dataHora + "')");
        for (std::size_t i = 0; i < linhas.size(); ++i)
            this->Banco().Executa("INSERT INTO REPOSITORIO_DADOS VALUES (" + std::to_string(id) + ", "
                                  + std::to_string(i + 1) + ", '" + linhas[i] + "')");
    }

    // Every stored file as "ID ARQUIVO DATA_HORA", in ID order.
    std::vector<std::string> Registros()
    {
        std::vector<std::string> registros;
        for (const auto& l : this->Banco().Consulta("SELECT ID, ARQUIVO, CAST(DATA_HORA AS VARCHAR(24)) FROM REPOSITORIO ORDER BY ID, ARQUIVO"))
            registros.push_back(*l[0] + " " + *l[1] + " " + l[2].value_or("<null>"));
        return registros;
    }

    // The stored body of a file, "SEQUENCIA=DADOS" in order.
    std::vector<std::string> Corpo(const std::string& id)
    {
        std::vector<std::string> corpo;
        for (const auto& l : this->Banco().Consulta("SELECT SEQUENCIA, DADOS FROM REPOSITORIO_DADOS WHERE ID = " + id + " ORDER BY SEQUENCIA"))
            corpo.push_back(*l[0] + "=" + l[1].value_or("<null>"));
        return corpo;
    }

    // The stamp as the server shows a stored DATA_HORA.
    static std::string DataHora(const std::string& c)
    {
        return c.substr(0, 4) + "-" + c.substr(4, 2) + "-" + c.substr(6, 2) + " " + c.substr(8, 2) + ":" + c.substr(10, 2) + ":"
            + c.substr(12, 2) + ".0000";
    }

    void VerificaMesmoProximoId();
    void VerificaConflito(const TCasoConflito& caso);
    void VerificaDuasExecucoesAoMesmoTempo();

    TEscritor FPrimeiro, FSegundo;
    TPastaTemporaria FPasta;
    int FArquivos = 0;
};

// Both writers add a new file: the one that commits first takes the next ID, the other the
// one after it, each with its own body.
template <class TSuite>
void TDoisEscritores<TSuite>::VerificaMesmoProximoId()
{
    Armazena(4, "SISTEMA\\VELHO.TXT", "2020-01-01 00:00:00", {"v"});
    AtualizaComOutroNoMeio(Conteudo("a.txt", "20240305140709", {"a1", "a2"}),
                             Conteudo("b.txt", "20240305140709", {"b1", "b2", "b3"}));
    EXPECT_EQ(Registros(), (std::vector<std::string>{"4 SISTEMA\\VELHO.TXT 2020-01-01 00:00:00.0000",
                                                       "5 SISTEMA\\B.TXT 2024-03-05 14:07:09.0000",
                                                       "6 SISTEMA\\A.TXT 2024-03-05 14:07:09.0000"}));
    EXPECT_EQ(Corpo("5"), (std::vector<std::string>{"1=b1", "2=b2", "3=b3"}));
    EXPECT_EQ(Corpo("6"), (std::vector<std::string>{"1=a1", "2=a2"}));
}

template <class TSuite>
void TDoisEscritores<TSuite>::VerificaConflito(const TCasoConflito& caso)
{
    if (caso.armazenado) Armazena(1, "SISTEMA\\N.TXT", "2024-01-01 00:00:00", {"velha 1", "velha 2", "velha 3", "velha 4"});

    AtualizaComOutroNoMeio(Conteudo("n.txt", "20240305140709", {"nosso 1", "nosso 2"}),
                             Conteudo("n.txt", caso.carimboOutro, {"outro 1", "outro 2", "outro 3"}));

    const auto registros = Registros();
    ASSERT_EQ(registros.size(), 1u) << testing::PrintToString(registros);
    const std::string carimbo = caso.ganhaOOutro ? caso.carimboOutro : "20240305140709";
    EXPECT_EQ(registros[0], "1 SISTEMA\\N.TXT " + DataHora(carimbo));
    EXPECT_EQ(Corpo("1"), caso.ganhaOOutro ? (std::vector<std::string>{"1=outro 1", "2=outro 2", "3=outro 3"})
                                             : (std::vector<std::string>{"1=nosso 1", "2=nosso 2"}));
}

// Two runs on threads, each with its own connection, write the same 25 names in opposite
// orders (each name's newer stamp from either side) plus 25 names of their own.
template <class TSuite>
void TDoisEscritores<TSuite>::VerificaDuasExecucoesAoMesmoTempo()
{
    constexpr int Comuns = 25;
    struct TVersao { std::string carimbo; std::vector<std::string> linhas; };
    std::map<std::string, TVersao> esperado;   // by repository name
    std::vector<std::string> arquivos[2];
    for (int lado = 0; lado < 2; ++lado) {
        for (int i = 0; i < 2 * Comuns; ++i) {
            const bool comum = i < Comuns;
            const std::string nome = comum ? "c" + std::to_string(i) + ".txt" : "p" + std::to_string(lado) + "-" + std::to_string(i) + ".txt";
            // Each side wins half of the shared names; bodies differ in length as well.
            const bool maisNovo = (i + lado) % 2 == 0;
            const std::string carimbo = maisNovo ? "20240305140709" : "20240101000000";
            std::vector<std::string> linhas;
            for (int n = 0; n < 2 + (i + 3 * lado) % 5; ++n) linhas.push_back(std::to_string(lado) + ":" + nome + ":" + std::to_string(n));
            const std::string conteudo = Conteudo(nome, carimbo, linhas);
            arquivos[lado].push_back(FPasta.Escreve("lado" + std::to_string(lado) + "-" + nome, conteudo));
            if (!comum || maisNovo) esperado["SISTEMA\\" + MaiusculasAZ(nome)] = {carimbo, linhas};
        }
    }
    std::reverse(arquivos[1].begin(), arquivos[1].begin() + Comuns);

    auto executa = [&](TEscritor& escritor, const std::vector<std::string>& lista) {
        for (const std::string& caminho : lista) {
            TArquivoFonte fonte(caminho);
            const std::string cabecalho = fonte.LeLinha();
            if (AtualizaArquivo(escritor.dm, escritor.mensagens, cabecalho, fonte, "SISTEMA\\") != TResultado::Continua)
                escritor.mensagens.Textos.push_back("Para em " + caminho);
        }
    };
    std::thread primeiro(executa, std::ref(FPrimeiro), std::cref(arquivos[0]));
    std::thread segundo(executa, std::ref(FSegundo), std::cref(arquivos[1]));
    primeiro.join();
    segundo.join();

    EXPECT_TRUE(FPrimeiro.mensagens.Textos.empty()) << testing::PrintToString(FPrimeiro.mensagens.Textos);
    EXPECT_TRUE(FSegundo.mensagens.Textos.empty()) << testing::PrintToString(FSegundo.mensagens.Textos);
    const auto linhas = this->Banco().Consulta("SELECT ID, ARQUIVO, CAST(DATA_HORA AS VARCHAR(24)) FROM REPOSITORIO");
    EXPECT_EQ(linhas.size(), esperado.size());
    std::set<std::string> ids, nomes;
    for (const auto& l : linhas) {
        EXPECT_TRUE(ids.insert(*l[0]).second) << "ID " << *l[0] << " stored twice";
        EXPECT_TRUE(nomes.insert(*l[1]).second) << *l[1] << " stored twice";
        const auto versao = esperado.find(*l[1]);
        ASSERT_NE(versao, esperado.end()) << *l[1];
        EXPECT_EQ(*l[2], DataHora(versao->second.carimbo)) << *l[1];
        std::vector<std::string> corpo;
        for (std::size_t n = 0; n < versao->second.linhas.size(); ++n)
            corpo.push_back(std::to_string(n + 1) + "=" + versao->second.linhas[n]);
        EXPECT_EQ(Corpo(*l[0]), corpo) << *l[1];
    }
    EXPECT_EQ(this->Banco().Valor("SELECT COUNT(*) FROM REPOSITORIO_DADOS D WHERE NOT EXISTS (SELECT 1 FROM REPOSITORIO R WHERE R.ID = D.ID)"), "0");
}

class ComChaves : public TDoisEscritores<TSuiteComChaves>, public testing::WithParamInterface<TCasoConflito> {};
class SemChaves : public TDoisEscritores<TSuiteSemChaves>, public testing::WithParamInterface<TCasoConflito> {};

TEST_P(ComChaves, MesmoNomeGravadoPorOutraExecucaoNoMeio) { VerificaConflito(GetParam()); }
TEST_P(SemChaves, MesmoNomeGravadoPorOutraExecucaoNoMeio) { VerificaConflito(GetParam()); }

const auto NomeDoCaso = [](const testing::TestParamInfo<TCasoConflito>& info) { return std::string(info.param.nome); };
INSTANTIATE_TEST_SUITE_P(Casos, ComChaves, CasosConflito, NomeDoCaso);
INSTANTIATE_TEST_SUITE_P(Casos, SemChaves, CasosConflito, NomeDoCaso);

class EscritoresComChaves : public TDoisEscritores<TSuiteComChaves> {};
class EscritoresSemChaves : public TDoisEscritores<TSuiteSemChaves> {};

TEST_F(EscritoresComChaves, AmbosEscolhemOMesmoProximoId) { VerificaMesmoProximoId(); }
TEST_F(EscritoresSemChaves, AmbosEscolhemOMesmoProximoId) { VerificaMesmoProximoId(); }
TEST_F(EscritoresComChaves, DuasExecucoesAoMesmoTempo) { VerificaDuasExecucoesAoMesmoTempo(); }
TEST_F(EscritoresSemChaves, DuasExecucoesAoMesmoTempo) { VerificaDuasExecucoesAoMesmoTempo(); }

} // namespace

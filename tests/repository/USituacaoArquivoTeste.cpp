#include "UApoioBanco.h"
#include "UArquivoFonte.h"
#include "UAtualizacao.h"
#include "UErro.h"
#include "UQuadroEstados.h"
#include "USituacaoArquivo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TSuiteSituacao {
    static constexpr auto NomeBanco = "situacao";
    static std::vector<std::string> Tabelas() { return {}; }
};

class ExaminaListaTeste : public TTesteComDM<TSuiteSituacao> {
protected:
    std::vector<TSituacaoArquivo> Examina(TComparacao comparacao)
    {
        return ExaminaLista(dm, {FPasta.Diretorio(), '/', "SISTEMA\\"}, comparacao);
    }
    TPastaTemporaria FPasta;
};

TEST_F(ExaminaListaTeste, CadaEntradaNoSeuEstadoComOQueSeriaEnviado)
{
    MontaQuadroEstados(Banco(), FPasta);

    const std::vector<TSituacaoArquivo> s = Examina(TComparacao::SoOQueSeriaGravado);

    ASSERT_EQ(s.size(), 6u);
    EXPECT_EQ(s[0].Estado, TEstadoArquivo::Novo);
    EXPECT_EQ(s[0].NomeRepositorio, "SISTEMA\\NOVO.TXT");
    EXPECT_FALSE(s[0].Armazenado);
    EXPECT_EQ(s[0].Linhas, 2);
    ASSERT_TRUE(s[0].Corpo);
    EXPECT_EQ(s[0].Corpo->Inseridas, 2);

    EXPECT_EQ(s[1].Estado, TEstadoArquivo::Desatualizado);
    EXPECT_EQ(s[1].Armazenado, "20240101000000");
    EXPECT_EQ(s[1].Carimbo, CarimboQuadro);
    ASSERT_TRUE(s[1].Corpo);
    EXPECT_EQ(s[1].Corpo->Atualizadas, 1);   // "um" and "tres" are unchanged
    EXPECT_EQ(s[1].Corpo->Inseridas, 0);
    EXPECT_EQ(s[1].Corpo->Apagadas, 1);

    EXPECT_EQ(s[2].Estado, TEstadoArquivo::Atualizado);
    EXPECT_FALSE(s[2].Corpo);   // not read: a run would not write it
    EXPECT_EQ(s[3].Estado, TEstadoArquivo::ArmazenadoMaisNovo);
    EXPECT_EQ(s[3].Armazenado, "20300101000000");

    EXPECT_EQ(s[4].Estado, TEstadoArquivo::Ausente);
    EXPECT_EQ(s[4].Entrada, "falta.txt");
    EXPECT_EQ(s[4].NomeRepositorio, "");

    EXPECT_EQ(s[5].NomeRepositorio, "SISTEMA\\A\xe7\xe3O.TXT");   // a-z only, as the writer names it
}

// Nothing reaches the tables, and the read-only transaction is gone afterwards.
TEST_F(ExaminaListaTeste, NaoGravaNada)
{
    MontaQuadroEstados(Banco(), FPasta);
    const std::string antes = ConteudoRepositorio(Banco());

    Examina(TComparacao::TambemAtualizados);

    EXPECT_EQ(ConteudoRepositorio(Banco()), antes);
    EXPECT_EQ(dm.conexao.TransacoesAtivas(), 0);
    EXPECT_EQ(dm.cdsDados.ChangeCount(), 0);
}

// A body changed behind the tool's back keeps its stamp; only the comparison finds it.
TEST_F(ExaminaListaTeste, CorpoMudadoPorForaApareceNaComparacaoDosAtualizados)
{
    MontaQuadroEstados(Banco(), FPasta);
    Banco().Executa("UPDATE REPOSITORIO_DADOS SET DADOS = 'B' WHERE ID = 2 AND SEQUENCIA = 2");

    EXPECT_FALSE(Examina(TComparacao::SoOQueSeriaGravado)[2].Corpo);
    const TSituacaoArquivo igual = Examina(TComparacao::TambemAtualizados)[2];

    EXPECT_EQ(igual.Estado, TEstadoArquivo::Atualizado);
    ASSERT_TRUE(igual.Corpo);
    EXPECT_EQ(igual.Corpo->PrimeiraDivergente, 2);
}

TEST_F(ExaminaListaTeste, SemConexaoAvisaBancoInvalido)
{
    MontaQuadroEstados(Banco(), FPasta);
    TDM desconectado;
    try {
        TArquivoFonte fonte(FPasta.Diretorio() + "novo.txt");
        const std::string cabecalho = fonte.LeLinha();
        SituacaoArquivo(desconectado, cabecalho, fonte, "SISTEMA\\", TComparacao::SoOQueSeriaGravado);
        FAIL() << "a lookup without a connection must fail";
    } catch (const EErro& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Banco de Dados Inválido! ", 0), 0u) << e.what();
    }
}

}  // namespace

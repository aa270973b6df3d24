#include "URepositorio.h"

#include "UCampos.h"
#include "UTexto.h"

TCabecalho ExtraiCabecalho(const std::string& linhaCabecalho)
{
    return {ExtraiCampo(linhaCabecalho, ";", 0), Apara(ExtraiCampo(linhaCabecalho, ";", 1))};
}

std::string PastaRepositorioDe(const std::string& argumento)
{
    return Apara(argumento) + "\\";
}

std::string NomeRepositorio(const std::string& pastaRepositorio, const std::string& nome)
{
    return MaiusculasAZ(pastaRepositorio + nome);
}

std::string ComandoBusca(const std::string& nomeRepositorio)
{
    return "SELECT * FROM REPOSITORIO WHERE ARQUIVO=" + AspasSql(nomeRepositorio);
}

std::string ComandoCorpo(std::int64_t id)
{
    return "SELECT ID,SEQUENCIA,DADOS FROM REPOSITORIO_DADOS WHERE ID=" + std::to_string(id) + " ORDER BY SEQUENCIA";
}

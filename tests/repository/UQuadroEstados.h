#pragma once
// A small repository and list with one entry in each state a look can report, shared by
// the tests of the read-only looks and of the terminal front end.
#include "UBancoTeste.h"
#include "UPastaTemporaria.h"

#include <string>

using namespace std::string_literals;

// The list's entries, in order, and what a run would do with each.
//   novo.txt       not stored                          2 lines to insert
//   desat.txt      stored older, 4 rows                1 update, 1 delete
//   igual.txt      same stamp, same body
//   maisnovo.txt   stored newer
//   falta.txt      no such file
//   a<ç><ã>o.txt   not stored; its name in Windows-1252 bytes
constexpr auto CarimboQuadro = "20240305140709";

inline void MontaQuadroEstados(TBancoTeste& banco, const TPastaTemporaria& pasta)
{
    banco.Executa("INSERT INTO REPOSITORIO VALUES (1, 'SISTEMA\\DESAT.TXT', '2024-01-01 00:00:00')");
    banco.Executa("INSERT INTO REPOSITORIO_DADOS VALUES (1, 1, 'um')");
    banco.Executa("INSERT INTO REPOSITORIO_DADOS VALUES (1, 2, 'velha')");
    banco.Executa("INSERT INTO REPOSITORIO_DADOS VALUES (1, 3, 'tres')");
    banco.Executa("INSERT INTO REPOSITORIO_DADOS VALUES (1, 4, 'sobra')");
    banco.Executa("INSERT INTO REPOSITORIO VALUES (2, 'SISTEMA\\IGUAL.TXT', '2024-03-05 14:07:09')");
    banco.Executa("INSERT INTO REPOSITORIO_DADOS VALUES (2, 1, 'a')");
    banco.Executa("INSERT INTO REPOSITORIO_DADOS VALUES (2, 2, 'b')");
    banco.Executa("INSERT INTO REPOSITORIO VALUES (3, 'SISTEMA\\MAISNOVO.TXT', '2030-01-01 00:00:00')");
    banco.Executa("INSERT INTO REPOSITORIO_DADOS VALUES (3, 1, 'futuro')");

    const std::string carimbo = CarimboQuadro;
    pasta.Escreve("novo.txt", "novo.txt;" + carimbo + "\r\nn1\r\nn2\r\n");
    pasta.Escreve("desat.txt", "desat.txt;" + carimbo + "\num\nnova\ntres\n");
    pasta.Escreve("igual.txt", "igual.txt;" + carimbo + "\na\nb\n");
    pasta.Escreve("maisnovo.txt", "maisnovo.txt;" + carimbo + "\nx\n");
    pasta.Escreve("acao.txt", "a\xe7\xe3o.txt;"s + carimbo + "\nlinha\n");
    pasta.Escreve("ListaArquivos.txt", "novo.txt\r\ndesat.txt\r\nigual.txt\r\nmaisnovo.txt\r\nfalta.txt\r\nacao.txt\r\n");
}

// Both tables as text, every column, in key order: equal before and after means nothing changed.
inline std::string ConteudoRepositorio(TBancoTeste& banco)
{
    std::string texto;
    for (const char* sql : {"SELECT ID, ARQUIVO, DATA_HORA FROM REPOSITORIO ORDER BY ID",
                            "SELECT ID, SEQUENCIA, DADOS FROM REPOSITORIO_DADOS ORDER BY ID, SEQUENCIA"}) {
        for (const TLinhaLida& linha : banco.Consulta(sql)) {
            for (const auto& valor : linha) texto += valor.value_or("<null>") + "|";
            texto += "\n";
        }
    }
    return texto;
}

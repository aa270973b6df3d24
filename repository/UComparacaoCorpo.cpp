#include "UComparacaoCorpo.h"

#include <algorithm>

TComparacaoCorpo ComparaCorpo(const std::vector<TLinhaArmazenada>& armazenadas, const std::vector<std::string>& linhas)
{
    TComparacaoCorpo comparacao;
    const std::size_t comuns = std::min(armazenadas.size(), linhas.size());
    for (std::size_t i = 0; i < comuns; ++i) {
        const TLinhaArmazenada& armazenada = armazenadas[i];
        // A gap in the stored numbering is a difference too: the writer renumbers from 1.
        const bool igual = armazenada.Sequencia == static_cast<std::int64_t>(i + 1) && armazenada.Dados == linhas[i];
        if (igual) continue;
        ++comparacao.Atualizadas;
        if (!comparacao.PrimeiraDivergente) comparacao.PrimeiraDivergente = static_cast<int>(i + 1);
    }
    if (linhas.size() > comuns) comparacao.Inseridas = static_cast<int>(linhas.size() - comuns);
    if (armazenadas.size() > comuns) comparacao.Apagadas = static_cast<int>(armazenadas.size() - comuns);
    if (!comparacao.PrimeiraDivergente && armazenadas.size() != linhas.size())
        comparacao.PrimeiraDivergente = static_cast<int>(comuns + 1);
    return comparacao;
}

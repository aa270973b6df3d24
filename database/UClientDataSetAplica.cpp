#include "UAplicaAlteracoes.h"
#include "UClientDataSetImpl.h"
#include "UConexao.h"
#include "UConexaoImpl.h"
#include "UErro.h"
#include "ULoteAlteracoes.h"

#include <algorithm>

// The apply step: which changes go together in a batch and which by their own statement,
// and how their outcome reaches the cached set.
int TClientDataSetImpl::Aplica(int maxErros)
{
    VerificaAtivo();
    PostaPendente();
    FUltimoErro.clear();

    struct TPendencia {
        std::uint64_t Ordem;
        bool Exclusao;
        std::size_t Indice;   // into FExclusoes or FLinhas
    };
    std::vector<TPendencia> pendencias;
    for (std::size_t i = 0; i < FLinhas.size(); ++i)
        if (FLinhas[i].Alteracao) pendencias.push_back({FLinhas[i].Alteracao->Ordem, false, i});
    for (std::size_t i = 0; i < FExclusoes.size(); ++i) pendencias.push_back({FExclusoes[i].Ordem, true, i});
    if (pendencias.empty()) return 0;
    std::sort(pendencias.begin(), pendencias.end(), [](const TPendencia& a, const TPendencia& b) { return a.Ordem < b.Ordem; });

    TConexaoImpl& conexao = Conexao().Impl();
    conexao.Anexo();
    TTransacaoDoComando transacao(conexao);
    TAplicaAlteracoes aplicador(conexao, FColunas, transacao.Handle());

    int falhas = 0;
    std::vector<bool> aplicada(pendencias.size(), false);
    std::vector<std::optional<TRegistro>> gravadas(pendencias.size());
    const auto mudanca = [&](const TPendencia& p) {
        if (p.Exclusao) return TMudanca{TMudanca::TTipo::Exclui, &FExclusoes[p.Indice].Original};
        const TLinha& linha = FLinhas[p.Indice];
        if (linha.Alteracao->Situacao == TSituacao::Inserida)
            return TMudanca{TMudanca::TTipo::Insere, nullptr, &linha.Atual, &linha.Alteracao->Atribuidas};
        return TMudanca{TMudanca::TTipo::Atualiza, &linha.Alteracao->Original, &linha.Atual};
    };
    // The single-row way: a change by its own statement. Tells whether to go on.
    const auto umaAUma = [&](std::size_t i) {
        const TMudanca m = mudanca(pendencias[i]);
        try {
            switch (m.Tipo) {
            case TMudanca::TTipo::Exclui: aplicador.Exclui(*m.Original); break;
            case TMudanca::TTipo::Insere: gravadas[i] = aplicador.Insere(*m.Atual, *m.Atribuidas); break;
            case TMudanca::TTipo::Atualiza: aplicador.Atualiza(*m.Original, *m.Atual); break;
            }
            aplicada[i] = true;
        } catch (const EErro& e) {
            FUltimoErro = e.what();
            ++falhas;
            if (maxErros >= 0 && falhas > maxErros) return false;
        }
        return true;
    };
    TLoteAlteracoes lote(conexao, FColunas, aplicador, transacao.Handle(), umaAUma, [&](std::size_t i) { aplicada[i] = true; });
    // Consecutive changes of one shape share a request; any other change first sends the
    // queue, so the order in which changes were made is the order the server sees.
    bool segue = true;
    for (std::size_t i = 0; i < pendencias.size() && segue; ++i) {
        const TMudanca m = mudanca(pendencias[i]);
        segue = lote.Cabe(m) ? lote.Acrescenta(i, m) : lote.Envia() && umaAUma(i);
    }
    if (segue) lote.Envia();

    if (transacao.Propria()) {
        if (maxErros >= 0 && falhas > maxErros) {
            // Nothing reached the database, so every change stays in the log.
            transacao.Cancela();
            return falhas;
        }
        transacao.Confirma();
    }

    std::vector<bool> exclusaoFeita(FExclusoes.size(), false);
    for (std::size_t i = 0; i < pendencias.size(); ++i) {
        if (!aplicada[i]) continue;
        if (pendencias[i].Exclusao) exclusaoFeita[pendencias[i].Indice] = true;
        else {
            TLinha& linha = FLinhas[pendencias[i].Indice];
            if (gravadas[i]) linha.Atual = std::move(*gravadas[i]);
            linha.Alteracao.reset();
        }
    }
    std::vector<TExclusao> restantes;
    for (std::size_t i = 0; i < FExclusoes.size(); ++i)
        if (!exclusaoFeita[i]) restantes.push_back(std::move(FExclusoes[i]));
    FExclusoes = std::move(restantes);
    return falhas;
}

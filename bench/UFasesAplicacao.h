#pragma once
// What the apply-step benchmark measures in each round, phase by phase, for its report.
#include "UMedicao.h"

#include <array>
#include <cstdint>

enum TFase { Insercao, Atualizacao, Exclusao, TotalFases };
inline constexpr std::array<const char*, TotalFases> NomesFases{"insert", "update", "delete"};

// Our layer, as the writer drives it.
struct TMedidaNossa {
    TMedida Postagem;    // Append / Edit / Delete, field writes and Post: the cache only
    TMedida Aplicacao;   // IniciaTransacao, ApplyUpdates(0), ConfirmaTransacao
    std::uint64_t Executados = 0;
    std::uint64_t Preparados = 0;
    std::uint64_t Voltas = 0;   // through the relay only
};

struct TRodadaNossa {
    std::array<TMedidaNossa, TotalFases> Fases;
    TMedida Leitura;   // Open of the inserted rows before they are edited
};

// The plain fbclient loop of the same statements.
struct TRodadaSimples {
    std::array<TMedida, TotalFases> Fases;
};

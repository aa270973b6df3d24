#pragma once
// The apply-step benchmark's report: rows/s and ratios of each way, round trips, and each
// target with PASS or FAIL, on standard output.
#include "UFasesAplicacao.h"

#include <array>
#include <string>
#include <vector>

// Cores and processor model, for the heading.
std::string Maquina();

// linhas: rows per phase; viaRelay: batched, then per-row, counted through the relay.
void Relata(int linhas, const std::vector<TRodadaNossa>& nossas, const std::vector<TRodadaSimples>& simples,
            const std::vector<TRodadaSimples>& contando, const std::vector<TRodadaNossa>& emLotes,
            const std::array<TRodadaNossa, 2>& viaRelay);

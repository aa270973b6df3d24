#pragma once

// How an update run ended, as the run returns it. An error that ends the run otherwise is
// thrown instead, and front ends treat it as an early end.
enum class TFimAtualizacao {
    Completa,            // the whole list went through and every file is up to date
    CompletaComFalhas,   // the whole list went through, but a writer message was shown
    Cancelada,           // the user asked to stop; the run ended between two files
    FalhaConexao,        // the early ends: nothing more was done
    ListaAusente,
    BancoInvalido,
};

// The exit status both front ends give the parent application.
constexpr int CodigoCompleta = 0;
constexpr int CodigoComFalhas = 1;
constexpr int CodigoCancelada = 2;   // also: the window closed before any run completed
constexpr int CodigoInterrompida = 3;

constexpr int CodigoSaida(TFimAtualizacao fim)
{
    switch (fim) {
    case TFimAtualizacao::Completa: return CodigoCompleta;
    case TFimAtualizacao::CompletaComFalhas: return CodigoComFalhas;
    case TFimAtualizacao::Cancelada: return CodigoCancelada;
    default: return CodigoInterrompida;
    }
}

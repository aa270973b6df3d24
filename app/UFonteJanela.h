#pragma once
#include <QStringList>

// The window is laid out in pixels for MS Sans Serif 8 pt, as its form says. Where that
// face is missing, Qt takes the first of the substitutes that is installed, before any
// fallback of its own: scripts/install-deps installs Liberation Sans, which has Arial's
// widths, close to MS Sans Serif's, so every caption fits the place the window gives it.

constexpr auto FonteJanela = "MS Sans Serif";

QStringList SubstitutasFonteJanela();

// Registers the substitutes with Qt. Needed before the window's font is first resolved;
// calling it again changes nothing.
void DefineSubstitutasFonteJanela();

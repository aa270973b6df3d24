#include "UFonteJanela.h"

#include <QFont>

QStringList SubstitutasFonteJanela()
{
    // Microsoft Sans Serif first: it is MS Sans Serif's own outline face, where there is one.
    return {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")};
}

void DefineSubstitutasFonteJanela()
{
    QFont::insertSubstitutions(QString::fromLatin1(FonteJanela), SubstitutasFonteJanela());
}

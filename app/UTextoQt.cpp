#include "UTextoQt.h"

#include "UTextoUtf8.h"

#include <QByteArray>
#include <cstddef>

QString ParaQString(const std::string& bytes)
{
    const std::string utf8 = ParaUtf8(bytes);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string DeQString(const QString& texto)
{
    const QByteArray utf8 = texto.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

std::string BytesDoCampo(const QString& texto, const std::string& original)
{
    return texto == ParaQString(original) ? original : DeQString(texto);
}

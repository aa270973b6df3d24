#pragma once
#include <QString>
#include <string>

// The window's edge between the program's byte texts and Qt's QString.

// Each valid UTF-8 sequence is read as UTF-8 and every other byte as Windows-1252, the
// code page of the parent application and the data files, so a message that joins the
// program's own texts with a name from outside shows both parts right.
QString ParaQString(const std::string& bytes);

// The text as UTF-8 bytes.
std::string DeQString(const QString& texto);

// The bytes behind a field's text: the bytes it was filled with while the text still shows
// them, so a name in the machine's code page reaches the database unchanged; otherwise
// the edited text in UTF-8.
std::string BytesDoCampo(const QString& texto, const std::string& original);

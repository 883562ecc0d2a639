#pragma once

#include <QByteArray>
#include <QString>

// The 8-bit code page of every text file and adapter text the program reads or writes.
namespace Win1251 {

// Characters with no place in the code page become '?'.
QByteArray encode(const QString& text);
QString decode(const QByteArray& bytes);

// The text's lines joined with CR LF, each line ended by CR LF, encoded.
QByteArray encodeLines(const QStringList& lines);

} // namespace Win1251

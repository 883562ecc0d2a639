#pragma once

#include <QByteArray>
#include <QtGlobal>

// The two text routines that take data bytes out of an adapter answer.
namespace HexText {

// The text without its space characters (0x20); tabs and everything else stay.
QByteArray stripSpaces(const QByteArray& text);

// The text read as a hexadecimal number in 32-bit two's complement: only the last eight
// digits count, 2^31 and above come out negative, the empty text gives 0. A character that
// is not a hex digit counts as 0.
qint32 hexToInt(const QByteArray& text);

} // namespace HexText

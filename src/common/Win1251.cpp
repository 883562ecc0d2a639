#include "Win1251.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>


namespace Win1251 {

namespace {
constexpr const char* kCodec = "windows-1251";
}

// A Qt built without the code page still keeps ASCII right; everything else becomes '?'.
QByteArray encode(const QString& text)
{
    QStringEncoder encoder(kCodec);
    if (encoder.isValid())
        return encoder.encode(text);
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text)
        out.append(c.unicode() < 0x80 ? char(c.unicode()) : '?');
    return out;
}

QString decode(const QByteArray& bytes)
{
    QStringDecoder decoder(kCodec);
    if (decoder.isValid())
        return decoder.decode(bytes);
    QString out;
    out.reserve(bytes.size());
    for (char c : bytes)
        out.append(static_cast<unsigned char>(c) < 0x80 ? QChar(c) : QChar(u'?'));
    return out;
}

QByteArray encodeLines(const QStringList& lines)
{
    QByteArray out;
    for (const QString& line : lines) {
        out += encode(line);
        out += "\r\n";
    }
    return out;
}

} // namespace Win1251

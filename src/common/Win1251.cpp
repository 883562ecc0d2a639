#include "Win1251.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

#include <stdexcept>

namespace Win1251 {

namespace {
constexpr const char* kCodec = "windows-1251";
}

QByteArray encode(const QString& text)
{
    QStringEncoder encoder(kCodec);
    if (!encoder.isValid())
        throw std::runtime_error("the windows-1251 codec is missing from this Qt build");
    QByteArray out = encoder.encode(text);
    return out;
}

QString decode(const QByteArray& bytes)
{
    QStringDecoder decoder(kCodec);
    if (!decoder.isValid())
        throw std::runtime_error("the windows-1251 codec is missing from this Qt build");
    return decoder.decode(bytes);
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

#include "link/HexText.h"

namespace HexText {

QByteArray stripSpaces(const QByteArray& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (char c : text) {
        if (c != ' ')
            out.append(c);
    }
    return out;
}

qint32 hexToInt(const QByteArray& text)
{
    quint32 result = 0;
    quint32 weight = 1;
    for (qsizetype i = text.size() - 1; i >= 0 && weight != 0; --i) {
        const char c = text[i];
        quint32 digit = 0;
        if (c >= '0' && c <= '9')
            digit = quint32(c - '0');
        else if (c >= 'A' && c <= 'F')
            digit = quint32(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f')
            digit = quint32(c - 'a' + 10);
        result += digit * weight;
        weight *= 16; // becomes 0 after the eighth digit: only the last eight count
    }
    return static_cast<qint32>(result);
}

} // namespace HexText

#include "NumberFormat.h"

#include <QRegularExpression>

#include <cmath>
#include <cstdio>
#include <limits>

namespace NumberFormat {

ConversionError::ConversionError(const QString& message)
    : std::runtime_error(message.toStdString())
{
}

namespace {

// Decimal digits of |value| to 18 significant digits, with the exponent of the first digit.
struct Digits
{
    QByteArray digits; // exactly 18 digits, first non-zero unless the value is zero
    int exponent = 0;  // value = 0.d1d2...d18 * 10^(exponent + 1)
};

Digits significantDigits(double absValue)
{
    char buf[64];
    // %.17e gives one digit before the point and 17 after: 18 significant digits, rounded
    // correctly by the C library.
    std::snprintf(buf, sizeof buf, "%.17e", absValue);
    Digits d;
    const char* p = buf;
    d.digits.append(*p++);
    if (*p == '.')
        ++p;
    while (*p >= '0' && *p <= '9')
        d.digits.append(*p++);
    if (*p == 'e' || *p == 'E')
        d.exponent = std::atoi(p + 1);
    return d;
}

} // namespace

QString fixed(double value, int decimals)
{
    decimals = qBound(0, decimals, 18);
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");

    const bool negative = std::signbit(value);
    const Digits d = significantDigits(std::fabs(value));

    // Lay the 18 digits out as integer part and fraction, padded with zeros so that the
    // fraction has at least decimals + 1 digits (one more to decide the rounding).
    QByteArray intPart;
    QByteArray fracPart;
    if (d.exponent >= 0) {
        const int intLen = d.exponent + 1;
        if (intLen >= d.digits.size()) {
            intPart = d.digits + QByteArray(intLen - d.digits.size(), '0');
        } else {
            intPart = d.digits.left(intLen);
            fracPart = d.digits.mid(intLen);
        }
    } else {
        intPart = "0";
        fracPart = QByteArray(-d.exponent - 1, '0') + d.digits;
    }
    if (fracPart.size() < decimals + 1)
        fracPart += QByteArray(decimals + 1 - fracPart.size(), '0');

    // Keep integer part plus `decimals` fraction digits, round on the next digit: half (5)
    // or more goes up, away from zero, whatever follows.
    QByteArray kept = intPart + fracPart.left(decimals);
    if (fracPart.at(decimals) >= '5') {
        int i = kept.size() - 1;
        while (i >= 0 && kept[i] == '9') {
            kept[i] = '0';
            --i;
        }
        if (i >= 0)
            kept[i] = char(kept[i] + 1);
        else
            kept.prepend('1');
    }
    const int intDigits = kept.size() - decimals;
    QByteArray out = kept.left(intDigits);
    // Drop leading zeros of the integer part but keep one.
    int lead = 0;
    while (lead < out.size() - 1 && out[lead] == '0')
        ++lead;
    out = out.mid(lead);
    if (decimals > 0)
        out += '.' + kept.mid(intDigits);

    const bool allZero = !kept.contains('1') && !kept.contains('2') && !kept.contains('3')
                         && !kept.contains('4') && !kept.contains('5') && !kept.contains('6')
                         && !kept.contains('7') && !kept.contains('8') && !kept.contains('9');
    if (negative && !allZero)
        out.prepend('-');
    return QString::fromLatin1(out);
}

qint64 roundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double kMax = 9.2233720368547748e18; // first double above INT64_MAX
    if (value >= kMax)
        return std::numeric_limits<qint64>::max();
    if (value < -kMax)
        return std::numeric_limits<qint64>::min();
    const double r = std::nearbyint(value); // default rounding mode: to nearest, ties to even
    return static_cast<qint64>(r);
}

std::optional<qint32> tryParseWholeNumber(const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    int i = 0;
    bool negative = false;
    if (text[0] == u'+' || text[0] == u'-') {
        negative = text[0] == u'-';
        i = 1;
    }
    if (i >= text.size())
        return std::nullopt;
    qint64 v = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        v = v * 10 + (c - u'0');
        if (v > qint64(std::numeric_limits<qint32>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        v = -v;
    if (v > std::numeric_limits<qint32>::max() || v < std::numeric_limits<qint32>::min())
        return std::nullopt;
    return static_cast<qint32>(v);
}

qint32 parseWholeNumber(const QString& text)
{
    if (auto v = tryParseWholeNumber(text))
        return *v;
    throw ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

std::optional<double> tryParseDecimal(const QString& text)
{
    static const QRegularExpression kPattern(
        QStringLiteral("^\\s*([+-]?(?:\\d+(?:\\.\\d*)?|\\.\\d+)(?:[eE][+-]?\\d+)?)\\s*$"));
    const auto m = kPattern.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    bool ok = false;
    const double v = m.captured(1).toDouble(&ok); // QString::toDouble uses the C locale
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

double parseDecimal(const QString& text)
{
    if (auto v = tryParseDecimal(text))
        return *v;
    throw ConversionError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

} // namespace NumberFormat

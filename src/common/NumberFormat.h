#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>
#include <stdexcept>

// The number conventions every display text and settings value follows: a point as the
// decimal separator, fixed decimals rounded half away from zero after taking the value to
// 18 significant digits, real-to-integer conversion half to even, and strict whole-number
// parsing.
namespace NumberFormat {

// A text that should hold a number but does not. what() is a message fit for the user.
class ConversionError : public std::runtime_error
{
public:
    explicit ConversionError(const QString& message);
    QString message() const { return QString::fromUtf8(what()); }
};

// "%0.<decimals>f": the value taken to 18 significant digits, then rounded at the wanted
// decimal place with an exact half going away from zero (1726.5 -> "1727", 0.125 -> "0.13").
// A result that rounds to zero is written without a minus sign. decimals: 0 to 18.
QString fixed(double value, int decimals);

// Nearest integer, an exact half to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
// Values beyond the 64-bit range saturate; NaN gives 0.
qint64 roundHalfEven(double value);

// Decimal whole number: an optional sign and the digits 0-9, nothing else (no blanks, no
// empty text), within the signed 32-bit range. Throws ConversionError naming the text.
qint32 parseWholeNumber(const QString& text);
std::optional<qint32> tryParseWholeNumber(const QString& text);

// Decimal number with a point: blanks around it are allowed, then an optional sign, digits
// with an optional fraction, an optional exponent. No group separators, no inf or nan.
// Throws ConversionError naming the text.
double parseDecimal(const QString& text);
std::optional<double> tryParseDecimal(const QString& text);

} // namespace NumberFormat

#include "SpinEdit.h"

#include "common/NumberFormat.h"

#include <QtGlobal>

#include <cmath>

SpinEdit::SpinEdit(double minimum, double maximum, double increment, int decimals, double value)
    : m_minimum(minimum), m_maximum(maximum), m_increment(increment),
      m_decimals(qBound(0, decimals, 18)), m_value(minimum)
{
    setValue(value);
}

QString SpinEdit::text() const
{
    return NumberFormat::fixed(m_value, m_decimals);
}

bool SpinEdit::setValue(double value)
{
    if (std::isnan(value))
        return false;
    const double bounded = qBound(m_minimum, value, m_maximum);
    // Round through the shown text so that value() and text() never disagree.
    const double rounded = NumberFormat::parseDecimal(NumberFormat::fixed(bounded, m_decimals));
    if (rounded == m_value)
        return false;
    m_value = rounded;
    return true;
}

bool SpinEdit::setText(const QString& text)
{
    const auto parsed = NumberFormat::tryParseDecimal(text);
    if (!parsed)
        return false;
    return setValue(*parsed);
}

bool SpinEdit::stepUp()
{
    return setValue(m_value + m_increment);
}

bool SpinEdit::stepDown()
{
    return setValue(m_value - m_increment);
}

#pragma once

#include <QString>

// The value of a numeric spin edit as the settings page holds it: a range, a step and a
// number of decimals. The value is always inside the range and rounded to the decimals,
// whatever is put in, so the text shown and the text saved are the same.
class SpinEdit
{
public:
    SpinEdit(double minimum, double maximum, double increment, int decimals, double value);

    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }
    double increment() const { return m_increment; }
    int decimals() const { return m_decimals; }
    double value() const { return m_value; }

    // The value with its decimals, a point as separator: "1.00", "75".
    QString text() const;

    // Limits the value to the range and rounds it to the decimals. NaN is ignored.
    // Returns whether the value changed.
    bool setValue(double value);

    // A text that reads as a decimal number sets the value as setValue() does; any other
    // text leaves the value as it is. Returns whether the value changed.
    bool setText(const QString& text);

    // One increment up or down, stopping at the ends of the range.
    bool stepUp();
    bool stepDown();

    friend bool operator==(const SpinEdit&, const SpinEdit&) = default;

private:
    double m_minimum;
    double m_maximum;
    double m_increment;
    int m_decimals;
    double m_value;
};

#pragma once

#include <QColor>
#include <QList>
#include <QMetaType>

// A coloured stretch beside a scale. Bands are laid end to end from the scale minimum in list
// order, each covering `fraction` of the scale's length; a band that would pass the maximum is
// cut there, and bands after it are not drawn.
struct ColorBand
{
    Q_GADGET
    Q_PROPERTY(QColor color MEMBER color)
    Q_PROPERTY(double fraction MEMBER fraction)

public:
    QColor color;
    double fraction = 0;

    friend bool operator==(const ColorBand&, const ColorBand&) = default;
};

// A band as laid out: from and to are fractions of the scale, 0 at the minimum, 1 at the maximum.
struct BandSpan
{
    double from = 0;
    double to = 0;
    QColor color;

    friend bool operator==(const BandSpan&, const BandSpan&) = default;
};

// Lays the bands end to end and cuts them at the maximum. Bands of no length (a fraction of
// zero or less, or one starting at the maximum) give no span.
QList<BandSpan> layOutBands(const QList<ColorBand>& bands);

Q_DECLARE_METATYPE(ColorBand)

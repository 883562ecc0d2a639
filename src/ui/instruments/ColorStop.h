#pragma once

#include <QColor>
#include <QList>
#include <QMetaType>

// A colour of a segmented bar. Stops are listed from the bottom of the scale up; each colour
// holds from the previous stop's position (the minimum for the first) up to its own position,
// and the last colour goes on to the maximum. Neighbouring colours are blended across their
// boundary; a discrete stop instead switches to its colour sharply at the previous position.
// A discrete stop with no stretch of its own (the same position as the one before) holds its
// colour for one blend length from there, then gives way to the next colour as usual.
struct ColorStop
{
    Q_GADGET
    Q_PROPERTY(double position MEMBER position)
    Q_PROPERTY(QColor color MEMBER color)
    Q_PROPERTY(bool discrete MEMBER discrete)

public:
    double position = 0;
    QColor color;
    bool discrete = false;

    friend bool operator==(const ColorStop&, const ColorStop&) = default;
};

// The colour at `fraction` of the scale (0 the minimum, 1 the maximum). `blend` is the length of
// a smooth change between two colours, as a fraction of the scale, centred on their boundary;
// it never reaches past the middle of either colour's stretch. Colours blend round the colour
// wheel. Without stops the result is an invalid colour.
QColor colorAtFraction(const QList<ColorStop>& stops, double fraction, double blend);

Q_DECLARE_METATYPE(ColorStop)

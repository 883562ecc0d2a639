#include "ui/instruments/ColorBand.h"

#include <algorithm>

QList<BandSpan> layOutBands(const QList<ColorBand>& bands)
{
    QList<BandSpan> spans;
    double from = 0;
    for (const ColorBand& band : bands) {
        if (!(band.fraction > 0)) // also skips NaN
            continue;
        if (from >= 1)
            break;
        const double to = std::min(1.0, from + band.fraction);
        spans.append({from, to, band.color});
        from = to;
    }
    return spans;
}

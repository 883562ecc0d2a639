#include "ui/instruments/ColorStop.h"

#include <algorithm>
#include <cmath>

namespace {

struct Anchor
{
    double at;
    QColor color;
};

// Blends round the colour wheel rather than straight through RGB, so that orange turns green
// through yellow instead of through olive. Greys, which have no hue, blend in RGB.
QColor mix(const QColor& a, const QColor& b, double t)
{
    const QColor ha = a.toHsv();
    const QColor hb = b.toHsv();
    const auto lerp = [t](double x, double y) { return x + (y - x) * t; };
    if (ha.hsvHueF() < 0 || hb.hsvHueF() < 0) {
        const QColor ra = a.toRgb();
        const QColor rb = b.toRgb();
        return QColor::fromRgbF(
            float(lerp(ra.redF(), rb.redF())), float(lerp(ra.greenF(), rb.greenF())),
            float(lerp(ra.blueF(), rb.blueF())), float(lerp(ra.alphaF(), rb.alphaF())));
    }
    double from = ha.hsvHueF();
    double to = hb.hsvHueF();
    if (to - from > 0.5) // the short way round
        from += 1;
    else if (from - to > 0.5)
        to += 1;
    const double hue = std::fmod(lerp(from, to), 1.0);
    return QColor::fromHsvF(float(hue), float(lerp(ha.hsvSaturationF(), hb.hsvSaturationF())),
                            float(lerp(ha.valueF(), hb.valueF())),
                            float(lerp(ha.alphaF(), hb.alphaF())));
}

} // namespace

QColor colorAtFraction(const QList<ColorStop>& stops, double fraction, double blend)
{
    if (stops.isEmpty())
        return {};
    blend = std::max(0.0, blend);
    const double half = blend / 2;

    // Each colour's stretch of the scale.
    const qsizetype count = stops.size();
    QList<double> starts(count);
    QList<double> ends(count);
    double start = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const bool last = i + 1 == count;
        double end = last ? std::max(1.0, stops[i].position) : std::max(start, stops[i].position);
        if (stops[i].discrete && end == start && !last)
            end = std::max(end, std::min(start + blend, stops[i + 1].position));
        starts[i] = start;
        ends[i] = end;
        start = end;
    }

    // The stretches become anchors of a piecewise linear ramp: every colour is held flat over its
    // stretch and ramps into its neighbour across the boundary, each side giving at most half
    // its own stretch. A sharp switch is two anchors at one position.
    QList<Anchor> anchors;
    anchors.reserve(count * 2);
    for (qsizetype i = 0; i < count; ++i) {
        const double reach = std::min(half, (ends[i] - starts[i]) / 2);
        const double low = i == 0 || stops[i].discrete ? starts[i] : starts[i] + reach;
        const double high =
            i + 1 == count || stops[i + 1].discrete ? ends[i] : std::max(low, ends[i] - reach);
        anchors.append({low, stops[i].color});
        anchors.append({high, stops[i].color});
    }

    if (fraction <= anchors.front().at)
        return anchors.front().color;
    for (qsizetype i = 1; i < anchors.size(); ++i) {
        const Anchor& a = anchors[i - 1];
        const Anchor& b = anchors[i];
        if (fraction <= b.at) {
            if (b.at <= a.at)
                return a.color; // at a sharp switch the lower colour keeps its own boundary
            return mix(a.color, b.color, (fraction - a.at) / (b.at - a.at));
        }
    }
    return anchors.back().color;
}

#include "ui/instruments/LinearGauge.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

// Light falls from the upper left: the pointer's shadow lies to the lower right, in pixels
// per pixel of the width.
constexpr double kShadowOffset = 0.02;
constexpr QColor kShadowColor{0, 0, 0, 110};

QColor towards(const QColor& from, const QColor& to, double t)
{
    return QColor::fromRgbF(float(from.redF() + (to.redF() - from.redF()) * t),
                            float(from.greenF() + (to.greenF() - from.greenF()) * t),
                            float(from.blueF() + (to.blueF() - from.blueF()) * t),
                            float(from.alphaF() + (to.alphaF() - from.alphaF()) * t));
}

} // namespace

LinearGauge::LinearGauge(QWidget* parent)
    : InstrumentWidget(0, kDefaultMaximum, QColor::fromRgba(kCardColor), parent)
{
    layOut();
}

double LinearGauge::levelOf(double fraction) const
{
    return m_scaleBottom - fraction * (m_scaleBottom - m_scaleTop);
}

void LinearGauge::layOut()
{
    const double w = width();
    const double h = height();
    const double railTop = (1 - m_railLength) / 2 * h;
    m_rail = QRectF(m_railPosition * w, railTop, m_railWidth * w, m_railLength * h);
    const double tipHalf = m_pointerTipWidth * h / 2;
    m_scaleTop = m_rail.top() + tipHalf;
    m_scaleBottom = std::max(m_scaleTop, m_rail.bottom() - tipHalf);
}

void LinearGauge::paintFace(QPainter& painter)
{
    const double w = width();
    const double h = height();

    // A lowered bevel: the shadow of the upper left edge falls inside, the lower right catches
    // a little light.
    const QRectF outer(rect());
    const double radius = m_bevelRadius * w;
    const double bevel = m_bevelWidth * w;
    QLinearGradient ring(outer.topLeft(), outer.bottomRight());
    ring.setColorAt(0, m_bevelColor);
    ring.setColorAt(0.55, m_bevelColor);
    ring.setColorAt(1, towards(m_bevelColor, Qt::white, 0.22));
    painter.setPen(Qt::NoPen);
    painter.setBrush(ring);
    painter.drawRoundedRect(outer, radius, radius);
    const QRectF inner = outer.adjusted(bevel, bevel, -bevel, -bevel);
    const double innerRadius = std::max(0.0, radius - bevel);
    painter.setBrush(backgroundColor());
    painter.drawRoundedRect(inner, innerRadius, innerRadius);
    QLinearGradient lip(inner.topLeft(), inner.bottomRight());
    lip.setColorAt(0, QColor(0, 0, 0, 160));
    lip.setColorAt(0.5, QColor(0, 0, 0, 0));
    lip.setColorAt(1, QColor(255, 255, 255, 40));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QBrush(lip), std::max(1.0, bevel / 3)));
    const double lipInset = std::max(1.0, bevel / 3) / 2;
    painter.drawRoundedRect(inner.adjusted(lipInset, lipInset, -lipInset, -lipInset),
                            std::max(0.0, innerRadius - lipInset),
                            std::max(0.0, innerRadius - lipInset));

    painter.setPen(Qt::NoPen);
    painter.setBrush(m_railColor);
    painter.drawRoundedRect(m_rail, m_rail.width() / 2, m_rail.width() / 2);
    painter.fillRect(
        QRectF(m_bandPosition * w, m_scaleTop, m_bandWidth * w, m_scaleBottom - m_scaleTop),
        m_bandColor);

    const double foot = m_scalePosition * w;
    const int majors = std::max(m_majorTickCount, 2);
    const int minors = std::max(m_minorTickCount, 0);
    const auto tick = [&](double fraction, double length, double thickness, const QColor& color) {
        const double y = levelOf(fraction);
        painter.fillRect(QRectF(foot, y - thickness * h / 2, length * w, thickness * h), color);
    };
    forEachTick(majors, minors, [&](double fraction, bool major) {
        if (major)
            tick(fraction, m_majorTickLength, m_majorTickThickness, m_majorTickColor);
        else
            tick(fraction, m_minorTickLength, m_minorTickThickness, m_minorTickColor);
    });

    if (m_numbersVisible) {
        const QFont font = scaledFont(m_numberFont, m_numberSize, w);
        const QFontMetricsF metrics(font);
        painter.setFont(font);
        painter.setPen(m_numberColor);
        const QStringList labels = scaleLabels(minimum(), maximum(), majors);
        for (int i = 0; i < majors; ++i) {
            const QPointF anchor(m_numberPosition * w, levelOf(double(i) / (majors - 1)));
            painter.drawText(textOrigin(metrics, labels[i], anchor, false), labels[i]);
        }
    }
}

void LinearGauge::paintMovingPart(QPainter& painter)
{
    const double w = width();
    const double h = height();
    const double y = levelOf(valueFraction());
    const double tail = m_railPosition * w;
    const double tip = tail + m_pointerLength * w;
    const double head = std::max(tail, tip - m_pointerTipLength * w);
    const double bodyHalf = m_pointerWidth * h / 2;
    const double headHalf = m_pointerTipWidth * h / 2;
    // The notch never reaches past the head's base, so the shape stays a simple arrow.
    const double notch = tail + std::min(m_pointerTailIndent * w, (head - tail) * 0.8);

    // Upper and lower halves, the upper one lit.
    const QPolygonF upper{
        {tip, y}, {head, y - headHalf}, {head, y - bodyHalf}, {tail, y - bodyHalf}, {notch, y}};
    const QPolygonF lower{
        {tip, y}, {head, y + headHalf}, {head, y + bodyHalf}, {tail, y + bodyHalf}, {notch, y}};

    const QPolygonF outline{
        {tip, y},   {head, y - headHalf}, {head, y - bodyHalf}, {tail, y - bodyHalf},
        {notch, y}, {tail, y + bodyHalf}, {head, y + bodyHalf}, {head, y + headHalf}};

    painter.setPen(Qt::NoPen);
    const QPointF shadow(kShadowOffset * w, kShadowOffset * w);
    painter.setBrush(kShadowColor);
    painter.drawPolygon(outline.translated(shadow));
    painter.setBrush(m_pointerColor.lighter(130));
    painter.drawPolygon(upper);
    painter.setBrush(m_pointerColor.darker(115));
    painter.drawPolygon(lower);
}

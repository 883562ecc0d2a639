#include "ui/instruments/AngularGauge.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Adjacent bands overlap by this much so that no seam of background shows between them.
constexpr double kBandOverlapDegrees = 0.5;

// The least room between a number and the inner end of the ticks, of the radius.
constexpr double kNumberClearance = 0.03;

// Light falls from the upper left: the needle's shadow lies to the lower right.
constexpr QPointF kShadowOffset{0.012, 0.02};
constexpr double kShadowAlpha = 90 / 255.0;
constexpr QColor kShadowColor{0, 0, 0, 90};

} // namespace

AngularGauge::AngularGauge(QWidget* parent)
    : InstrumentWidget(0, kDefaultMaximum, QColor::fromRgba(kCardColor), parent)
{
    m_captionText.setTextFormat(Qt::PlainText);
    m_captionText.setText(m_caption);
    layOut();
}

void AngularGauge::setCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    m_captionText.setText(caption);
    layOutCaption();
    update();
    Q_EMIT captionChanged(m_caption);
}

double AngularGauge::angleOf(double value) const
{
    return -m_sweepAngle / 2 + m_sweepAngle * fractionOf(value);
}

QPointF AngularGauge::pointAt(double radius, double degrees) const
{
    const double a = degrees * kPi / 180;
    return m_center + QPointF(radius * std::sin(a), -radius * std::cos(a));
}

void AngularGauge::layOut()
{
    m_center = QRectF(rect()).center();
    // The shadow falls almost wholly on the card: on an opaque one it is drawn as an opaque
    // colour, which fills far faster than a translucent one.
    const QColor card = backgroundColor();
    m_shadowColor = card.alpha() < 255 ? kShadowColor
                                       : QColor::fromRgbF(float(card.redF() * (1 - kShadowAlpha)),
                                                          float(card.greenF() * (1 - kShadowAlpha)),
                                                          float(card.blueF() * (1 - kShadowAlpha)));
    m_radius = std::min(width(), height()) / 2.0;

    const double hub = std::max(m_hubSize, m_hubCapSize) * m_radius + 1;
    m_hubRect = QRectF(m_center - QPointF(hub, hub), QSizeF(2 * hub, 2 * hub));
    layOutCaption();
}

void AngularGauge::layOutCaption()
{
    m_captionPixelFont = scaledFont(m_captionFont, m_captionSize, m_radius);
    m_captionText.prepare(QTransform(), m_captionPixelFont);
    const QFontMetricsF metrics(m_captionPixelFont);
    const QPointF anchor = m_center + m_captionPosition * m_radius;
    m_captionOrigin = textOrigin(metrics, m_caption, anchor, true) - QPointF(0, metrics.ascent());
}

void AngularGauge::paintFace(QPainter& painter)
{
    const double r = m_radius;
    const double start = -m_sweepAngle / 2;
    const auto arc = [this](double radius, double from, double to) {
        const QRectF box(m_center - QPointF(radius, radius), QSizeF(2 * radius, 2 * radius));
        QPainterPath path;
        path.arcMoveTo(box, 90 - from);
        path.arcTo(box, 90 - from, -(to - from));
        return path;
    };

    const QList<BandSpan> spans = layOutBands(m_bands);
    const double bandRadius = (m_scaleRadius + m_bandOffset + m_bandWidth / 2) * r;
    for (qsizetype i = 0; i < spans.size(); ++i) {
        const double from = start + spans[i].from * m_sweepAngle;
        double to = start + spans[i].to * m_sweepAngle;
        if (i + 1 < spans.size())
            to += kBandOverlapDegrees;
        painter.strokePath(arc(bandRadius, from, to),
                           QPen(spans[i].color, m_bandWidth * r, Qt::SolidLine, Qt::FlatCap));
    }

    const double ring = m_scaleRadius * r;
    painter.strokePath(arc(ring, start, start + m_sweepAngle),
                       QPen(m_scaleColor, m_minorTickThickness * r, Qt::SolidLine, Qt::FlatCap));

    const int majors = std::max(m_majorTickCount, 2);
    const int minors = std::max(m_minorTickCount, 0);
    const auto tick = [&](double fraction, double length, double thickness, const QColor& color) {
        const double angle = start + fraction * m_sweepAngle;
        painter.setPen(QPen(color, thickness * r, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(pointAt(ring - length * r, angle), pointAt(ring, angle));
    };
    forEachTick(majors, minors, [&](double fraction, bool major) {
        if (major)
            tick(fraction, m_majorTickLength, m_majorTickThickness, m_majorTickColor);
        else
            tick(fraction, m_minorTickLength, m_minorTickThickness, m_minorTickColor);
    });

    if (m_numbersVisible) {
        const QFont font = scaledFont(m_numberFont, m_numberSize, r);
        const QFontMetricsF metrics(font);
        painter.setFont(font);
        painter.setPen(m_numberColor);
        const QStringList labels = scaleLabels(minimum(), maximum(), majors);
        const double tickInner =
            ring - std::max(m_majorTickLength, m_minorTickLength) * r - kNumberClearance * r;
        for (int i = 0; i < majors; ++i) {
            const double angle = start + m_sweepAngle * i / (majors - 1);
            // A wide number beside the dial is pulled in just far enough to clear the ticks.
            const double a = angle * kPi / 180;
            const double reach = metrics.horizontalAdvance(labels[i]) / 2 * std::abs(std::sin(a)) +
                                 metrics.capHeight() / 2 * std::abs(std::cos(a));
            const double radius = std::min(m_numberRadius * r, tickInner - reach);
            painter.drawText(textOrigin(metrics, labels[i], pointAt(radius, angle), true),
                             labels[i]);
        }
    }
}

void AngularGauge::paintHub(QPainter& painter) const
{
    const double r = m_radius;
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_hubColor);
    const double lower = m_hubSize * r;
    painter.drawEllipse(m_center, lower, lower);

    // A domed metal cap: lit at the upper left, falling off to a darker rim.
    const double cap = m_hubCapSize * r;
    QRadialGradient dome(m_center, cap, m_center - QPointF(cap, cap) * 0.4);
    dome.setColorAt(0, m_hubCapColor.lighter(170));
    dome.setColorAt(0.5, m_hubCapColor);
    dome.setColorAt(1, m_hubCapColor.darker(150));
    painter.setBrush(dome);
    painter.setPen(QPen(m_hubCapColor.darker(250), std::max(0.5, 0.008 * r)));
    painter.drawEllipse(m_center, cap, cap);
}

void AngularGauge::faceRebuilt()
{
    m_hub = renderLayer(m_hubRect, [this](QPainter& painter) { paintHub(painter); });
}

void AngularGauge::paintMovingPart(QPainter& painter)
{
    const double r = m_radius;
    const double tipHalf = m_needleTipWidth * r / 2;
    const double tailHalf = m_needleTailWidth * r / 2;
    const double tip = -m_needleLength * r;
    const double tail = m_needleTailLength * r;
    const double notch = tail - std::min(m_needleTailIndent * r, tail);
    // Pointing up, the needle's two halves: the left one catches the light.
    const QPolygonF left{{0, tip}, {-tipHalf, tip}, {-tailHalf, 0}, {-tailHalf, tail}, {0, notch}};
    const QPolygonF right{{0, tip}, {tipHalf, tip}, {tailHalf, 0}, {tailHalf, tail}, {0, notch}};
    const QPolygonF outline{{-tipHalf, tip}, {tipHalf, tip},    {tailHalf, 0}, {tailHalf, tail},
                            {0, notch},      {-tailHalf, tail}, {-tailHalf, 0}};
    const double angle = angleOf(value());

    painter.setPen(Qt::NoPen);
    QTransform shadow;
    shadow.translate(m_center.x() + kShadowOffset.x() * r, m_center.y() + kShadowOffset.y() * r);
    shadow.rotate(angle);
    painter.setBrush(m_shadowColor);
    painter.drawPolygon(shadow.map(outline));

    QTransform needle;
    needle.translate(m_center.x(), m_center.y());
    needle.rotate(angle);
    painter.setBrush(m_needleColor.lighter(130));
    painter.drawPolygon(needle.map(left));
    painter.setBrush(m_needleColor);
    painter.drawPolygon(needle.map(right));

    painter.drawPixmap(m_hubRect.topLeft(), m_hub);

    if (!m_caption.isEmpty()) {
        painter.setFont(m_captionPixelFont);
        painter.setPen(m_captionColor);
        painter.drawStaticText(m_captionOrigin, m_captionText);
    }
}

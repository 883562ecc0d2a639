#include "ui/instruments/Thermometer.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace {

// Proportions of the glass and the margins, as fractions of the width (across) or the height
// (along the tube).
constexpr double kGlassRim = 0.03;     // of the width
constexpr double kTubeLeft = 0.3;      // the tube's centre line at the least, of the width
constexpr double kTickGap = 0.03;      // between the glass and the foot of the ticks, width
constexpr double kNumberGap = 0.04;    // between the tick tips or band and the numbers, width
constexpr double kTopMargin = 0.02;    // above the glass, of the height
constexpr double kBottomMargin = 0.01; // below the bulb, of the height
constexpr double kScaleTop = 0.07;     // the top of the scale, of the height
constexpr double kNeck = 0.03;         // between the scale's foot and the bulb, of the height

constexpr QColor kGlassEdge{0x8C, 0x8C, 0x8C};
constexpr QColor kGlassBody{0x38, 0x38, 0x38};
constexpr QColor kGlint{255, 255, 255, 46};

} // namespace

Thermometer::Thermometer(QWidget* parent) : InstrumentWidget(0, kDefaultMaximum, Qt::black, parent)
{
    layOut();
}

double Thermometer::levelOf(double fraction) const
{
    return m_scaleBottom - fraction * (m_scaleBottom - m_scaleTop);
}

void Thermometer::layOut()
{
    const double w = width();
    const double h = height();
    const double rim = kGlassRim * w;
    m_columnHalf = m_columnWidth * w / 2;
    m_glassHalf = m_columnHalf + rim;
    m_bulbRadius = std::max(m_bulbSize * h / 2, m_glassHalf + rim);
    m_tubeX = std::max(kTubeLeft * w, m_bulbRadius + 1);
    m_bulbCenter = QPointF(m_tubeX, h - kBottomMargin * h - m_bulbRadius);
    m_tubeTop = kTopMargin * h;
    m_scaleTop = kScaleTop * h;
    m_scaleBottom = std::max(m_scaleTop, m_bulbCenter.y() - m_bulbRadius - kNeck * h);
    m_tickFoot = m_tubeX + m_glassHalf + kTickGap * w;

    // The column is a cylinder: lit left of its middle, darker at both edges.
    // On whole device pixels, so that the column is blitted without scaling.
    const qreal dpr = devicePixelRatioF();
    const auto down = [dpr](double v) { return std::floor(v * dpr) / dpr; };
    const auto up = [dpr](double v) { return std::ceil(v * dpr) / dpr; };
    m_columnArea = QRectF(QPointF(down(m_tubeX - m_columnHalf), down(m_scaleTop)),
                          QPointF(up(m_tubeX + m_columnHalf), up(m_scaleBottom + 1)));

    QLinearGradient cylinder(m_tubeX - m_columnHalf, 0, m_tubeX + m_columnHalf, 0);
    cylinder.setColorAt(0, m_columnColor.darker(150));
    cylinder.setColorAt(0.35, m_columnColor.lighter(140));
    cylinder.setColorAt(1, m_columnColor.darker(180));
    m_columnBrush = QBrush(cylinder);
}

void Thermometer::paintFace(QPainter& painter)
{
    const double w = width();
    const double h = height();

    const QList<BandSpan> spans = layOutBands(m_bands);
    const double bandRight = m_tickFoot + m_bandPosition * w;
    for (const BandSpan& span : spans) {
        const double top = levelOf(span.to);
        const double bottom = levelOf(span.from);
        painter.fillRect(QRectF(bandRight - m_bandWidth * w, top, m_bandWidth * w, bottom - top),
                         span.color);
    }

    const int majors = std::max(m_majorTickCount, 2);
    const int minors = std::max(m_minorTickCount, 0);
    const auto tick = [&](double fraction, double length, double thickness, const QColor& color) {
        const double y = levelOf(fraction);
        painter.fillRect(QRectF(m_tickFoot, y - thickness * h / 2, length * w, thickness * h),
                         color);
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
        const double x = std::max(m_tickFoot + m_majorTickLength * w, bandRight) + kNumberGap * w;
        const QStringList labels = scaleLabels(minimum(), maximum(), majors);
        for (int i = 0; i < majors; ++i) {
            const QPointF anchor(x, levelOf(double(i) / (majors - 1)));
            painter.drawText(textOrigin(metrics, labels[i], anchor, false), labels[i]);
        }
    }

    // Glass: the tube with a rounded top, joined to the bulb.
    const auto tubeShape = [this](double half, double radius) {
        QPainterPath path;
        path.addRoundedRect(QRectF(m_tubeX - half, m_tubeTop + m_glassHalf - half, 2 * half,
                                   m_bulbCenter.y() - m_tubeTop),
                            half, half);
        path.addEllipse(m_bulbCenter, radius, radius);
        return path.simplified();
    };
    const double rim = m_glassHalf - m_columnHalf;
    QLinearGradient glass(m_bulbCenter.x() - m_bulbRadius, 0, m_bulbCenter.x() + m_bulbRadius, 0);
    glass.setColorAt(0, kGlassEdge);
    glass.setColorAt(0.45, kGlassBody);
    glass.setColorAt(1, kGlassEdge.darker(130));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glass);
    painter.drawPath(tubeShape(m_glassHalf, m_bulbRadius));
    painter.setBrush(m_tubeColor);
    painter.drawPath(tubeShape(m_columnHalf, m_bulbRadius - rim));

    // The bulb and the neck up to the foot of the scale are always full.
    painter.fillRect(QRectF(m_tubeX - m_columnHalf, m_scaleBottom, 2 * m_columnHalf,
                            m_bulbCenter.y() - m_scaleBottom),
                     m_columnBrush);
    const double liquid = m_bulbRadius - rim;
    QRadialGradient ball(m_bulbCenter, liquid, m_bulbCenter - QPointF(liquid, liquid) * 0.35);
    ball.setColorAt(0, m_columnColor.lighter(170));
    ball.setColorAt(0.55, m_columnColor);
    ball.setColorAt(1, m_columnColor.darker(170));
    painter.setBrush(ball);
    painter.drawEllipse(m_bulbCenter, liquid, liquid);
    paintGlint(painter);
}

// A glint on the glass, over the column and the empty tube alike.
void Thermometer::paintGlint(QPainter& painter) const
{
    painter.fillRect(QRectF(m_tubeX - m_columnHalf * 0.75, m_tubeTop + m_glassHalf,
                            m_columnHalf * 0.3, m_bulbCenter.y() - m_bulbRadius - m_tubeTop),
                     kGlint);
}

void Thermometer::faceRebuilt()
{
    // The full column painted over its piece of the face: exact at the antialiased edges, and
    // as opaque as the face, so that the live blit is a plain copy.
    const qreal dpr = face().devicePixelRatio();
    m_column =
        face().copy(QRectF(m_columnArea.topLeft() * dpr, m_columnArea.size() * dpr).toRect());
    m_column.setDevicePixelRatio(dpr);
    QPainter painter(&m_column);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(-m_columnArea.topLeft());
    painter.fillRect(
        QRectF(m_tubeX - m_columnHalf, m_columnArea.top(), 2 * m_columnHalf, m_columnArea.height()),
        m_columnBrush);
    paintGlint(painter);
}

void Thermometer::paintMovingPart(QPainter& painter)
{
    // The part of the full column from the level down, its top on a whole device pixel.
    const qreal dpr = m_column.devicePixelRatio();
    const double level = std::round(levelOf(valueFraction()) * dpr) / dpr;
    const QRectF target(m_columnArea.left(), level, m_columnArea.width(),
                        m_columnArea.bottom() - level);
    if (target.height() <= 0)
        return;
    const QRectF source(0, std::round((level - m_columnArea.top()) * dpr), m_column.width(),
                        std::round(target.height() * dpr));
    painter.drawPixmap(target, m_column, source);
}

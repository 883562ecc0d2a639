#include "ui/instruments/InstrumentWidget.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>

InstrumentWidget::InstrumentWidget(double minimum, double maximum, const QColor& background,
                                   QWidget* parent)
    : QWidget(parent), m_minimum(minimum), m_maximum(maximum), m_value(minimum),
      m_backgroundColor(background)
{
    setAttribute(Qt::WA_OpaquePaintEvent, background.alpha() == 255);
}

void InstrumentWidget::setValue(double value)
{
    const double clamped = std::isnan(value) ? m_minimum : std::clamp(value, m_minimum, m_maximum);
    if (clamped == m_value)
        return;
    m_value = clamped;
    update();
    Q_EMIT valueChanged(m_value);
}

void InstrumentWidget::setRange(double minimum, double maximum)
{
    if (!std::isfinite(minimum) || !std::isfinite(maximum))
        return;
    if (minimum > maximum)
        std::swap(minimum, maximum);
    if (minimum == m_minimum && maximum == m_maximum)
        return;
    m_minimum = minimum;
    m_maximum = maximum;
    faceChanged();
    Q_EMIT rangeChanged(m_minimum, m_maximum);
    const double clamped = std::clamp(m_value, m_minimum, m_maximum);
    if (clamped != m_value) {
        m_value = clamped;
        Q_EMIT valueChanged(m_value);
    }
}

void InstrumentWidget::setMinimum(double minimum)
{
    setRange(minimum, std::max(minimum, m_maximum));
}

void InstrumentWidget::setMaximum(double maximum)
{
    setRange(std::min(m_minimum, maximum), maximum);
}

void InstrumentWidget::setBackgroundColor(const QColor& color)
{
    if (color == m_backgroundColor)
        return;
    setAttribute(Qt::WA_OpaquePaintEvent, color.alpha() == 255);
    setFaceSetting(m_backgroundColor, color);
}

QFont InstrumentWidget::defaultFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arimo"), QStringLiteral("Nimbus Sans"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    return font;
}

void InstrumentWidget::forEachTick(int majors, int minors,
                                   const std::function<void(double, bool)>& visit)
{
    for (int i = 0; i + 1 < majors; ++i) {
        for (int m = 1; m <= minors; ++m)
            visit((i + double(m) / (minors + 1)) / (majors - 1), false);
    }
    for (int i = 0; i < majors; ++i)
        visit(double(i) / (majors - 1), true);
}

QStringList InstrumentWidget::scaleLabels(double minimum, double maximum, int count)
{
    QStringList labels;
    if (count <= 0)
        return labels;
    QList<double> values;
    for (int i = 0; i < count; ++i)
        values.append(count == 1 ? minimum : minimum + (maximum - minimum) * i / (count - 1));

    int decimals = 0;
    for (; decimals < 3; ++decimals) {
        const double scale = std::pow(10.0, decimals);
        const bool exact = std::all_of(values.begin(), values.end(), [scale](double v) {
            return std::abs(std::round(v * scale) / scale - v) <= 1e-9 * std::max(1.0, std::abs(v));
        });
        if (exact)
            break;
    }
    const double scale = std::pow(10.0, decimals);
    for (double v : values) {
        if (std::round(v * scale) == 0)
            v = 0; // no "-0" on a scale
        labels.append(QString::number(v, 'f', decimals));
    }
    return labels;
}

double InstrumentWidget::fractionOf(double value) const
{
    const double span = m_maximum - m_minimum;
    if (span <= 0)
        return 0;
    return std::clamp((value - m_minimum) / span, 0.0, 1.0);
}

void InstrumentWidget::faceChanged()
{
    m_faceValid = false;
    layOut();
    update();
    Q_EMIT appearanceChanged();
}

QPixmap InstrumentWidget::renderLayer(const QRectF& area,
                                      const std::function<void(QPainter&)>& paint,
                                      const QColor& fill) const
{
    const qreal dpr = devicePixelRatioF();
    const QSize pixels(int(std::ceil(area.width() * dpr)), int(std::ceil(area.height() * dpr)));
    if (pixels.isEmpty())
        return {};
    QPixmap layer(pixels);
    layer.setDevicePixelRatio(dpr);
    layer.fill(fill.alpha() == 255 ? fill : QColor(Qt::transparent));
    QPainter painter(&layer);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    painter.translate(-area.topLeft());
    paint(painter);
    return layer;
}

QFont InstrumentWidget::scaledFont(const QFont& font, double fraction, double reference)
{
    QFont scaled = font;
    scaled.setPixelSize(std::max(1, int(std::lround(fraction * reference))));
    return scaled;
}

QPointF InstrumentWidget::textOrigin(const QFontMetricsF& metrics, const QString& text,
                                     const QPointF& anchor, bool centred)
{
    const double x = centred ? anchor.x() - metrics.horizontalAdvance(text) / 2 : anchor.x();
    return {x, anchor.y() + metrics.capHeight() / 2};
}

void InstrumentWidget::rebuildFace()
{
    m_face = renderLayer(
        rect(),
        [this](QPainter& painter) {
            painter.fillRect(rect(), m_backgroundColor);
            paintFace(painter);
        },
        m_backgroundColor);
    m_faceSize = size();
    m_faceValid = true;
    faceRebuilt();
}

void InstrumentWidget::paintEvent(QPaintEvent*)
{
    if (width() <= 0 || height() <= 0)
        return;
    // A widget moved to a screen of another pixel ratio needs a sharper or smaller face.
    if (!m_faceValid || m_face.devicePixelRatio() != devicePixelRatioF())
        rebuildFace();
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_face);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    paintMovingPart(painter);
}

void InstrumentWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layOut();
    // Resize events also come without a change of size (a hidden widget gets one with every
    // grab, layouts re-apply geometry): those keep the face.
    if (event->size() != m_faceSize)
        m_faceValid = false;
}

void InstrumentWidget::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::StyleChange:
    case QEvent::PaletteChange:
    case QEvent::FontChange:
        m_faceValid = false;
        update();
        break;
    default:
        break;
    }
}

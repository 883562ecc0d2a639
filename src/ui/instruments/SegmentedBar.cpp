#include "ui/instruments/SegmentedBar.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>

SegmentedBar::SegmentedBar(QWidget* parent)
    : InstrumentWidget(0, kDefaultMaximum, Qt::black, parent)
{
    layOut();
}

int SegmentedBar::litBlockCount() const
{
    const int count = blockCount();
    // Rounded up, so that any value above the minimum lights a block; the tolerance keeps an
    // exact fill such as 50 % of 24 blocks at 12.
    return std::clamp(int(std::ceil(valueFraction() * count - 1e-9)), 0, count);
}

void SegmentedBar::layOut()
{
    const qreal dpr = devicePixelRatioF();
    const auto snap = [dpr](double v) { return std::round(v * dpr) / dpr; };
    const double w = width();
    const double h = height();

    const double border = m_borderGap > 0 ? std::max(1 / dpr, snap(m_borderGap * w)) : 0;
    m_inner = QRectF(QPointF(border, border), QPointF(w - border, h - border));
    m_blocks.clear();
    if (m_inner.width() <= 0 || m_inner.height() <= 0)
        return;

    const double block = std::max(m_blockSize * h, 1 / dpr);
    const double gap = std::max(m_blockGap * h, 0.0);
    const int count = std::max(1, int((m_inner.height() + gap) / (block + gap)));
    // Stretched a little so that the blocks fill the inner height exactly.
    const double stretch = m_inner.height() / (count * block + (count - 1) * gap);
    for (int i = 0; i < count; ++i) {
        const double bottom = snap(m_inner.bottom() - i * (block + gap) * stretch);
        const double top = snap(m_inner.bottom() - (i * (block + gap) + block) * stretch);
        m_blocks.append(
            QRectF(m_inner.left(), top, m_inner.width(), std::max(bottom - top, 1 / dpr)));
    }
}

void SegmentedBar::paintBlocks(QPainter& painter, bool lit) const
{
    painter.fillRect(m_inner, m_controlColor);
    const int count = blockCount();
    for (int i = 0; i < count; ++i) {
        const QRectF& r = m_blocks[i];
        if (!lit) {
            painter.fillRect(r, m_emptyBlockColor);
            continue;
        }
        const QColor color = colorAtFraction(m_colorStops, (i + 0.5) / count, m_stopBlend);
        if (!m_metallic) {
            painter.fillRect(r, color);
            continue;
        }
        // Polished metal lit from above: a bright upper lip, the colour itself across the
        // middle, falling off to a darker foot.
        QLinearGradient metal(r.topLeft(), r.bottomLeft());
        metal.setColorAt(0, color.lighter(170));
        metal.setColorAt(0.25, color.lighter(115));
        metal.setColorAt(0.55, color);
        metal.setColorAt(1, color.darker(160));
        painter.fillRect(r, metal);
    }
}

void SegmentedBar::paintFace(QPainter& painter)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_controlColor);
    const double radius = m_cornerRadius * width();
    painter.drawRoundedRect(QRectF(rect()), radius, radius);
    paintBlocks(painter, false);
}

void SegmentedBar::faceRebuilt()
{
    m_lit = renderLayer(
        m_inner, [this](QPainter& painter) { paintBlocks(painter, true); }, m_controlColor);
}

void SegmentedBar::paintMovingPart(QPainter& painter)
{
    const int lit = litBlockCount();
    if (lit == 0)
        return;
    // The lit layer holds the frame colour in the gaps, so one copy covers the lit blocks.
    const double top = m_blocks[lit - 1].top();
    const QRectF target(m_inner.left(), top, m_inner.width(), m_inner.bottom() - top);
    const qreal dpr = m_lit.devicePixelRatio();
    const QRectF source((target.topLeft() - m_inner.topLeft()) * dpr, target.size() * dpr);
    painter.drawPixmap(target, m_lit, source);
}

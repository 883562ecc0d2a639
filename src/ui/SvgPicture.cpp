#include "ui/SvgPicture.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>

SvgPicture::SvgPicture(const QString& resource, bool clickable, QWidget* parent)
    : QWidget(parent)
    , m_renderer(new QSvgRenderer(resource, this))
    , m_clickable(clickable)
{
    if (clickable)
        setCursor(Qt::PointingHandCursor);
    else
        setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SvgPicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    m_renderer->render(&p, QRectF(rect()));
}

void SvgPicture::mousePressEvent(QMouseEvent* event)
{
    if (m_clickable && event->button() == Qt::LeftButton)
        m_pressed = true;
}

void SvgPicture::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        m_pressed = false;
        Q_EMIT clicked();
        return;
    }
    m_pressed = false;
}

#include "ui/FlatButton.h"

#include <QEvent>
#include <QPainter>

FlatButton::FlatButton(const QString& text, const QFont& font, QWidget* parent)
    : QAbstractButton(parent)
{
    setText(text);
    setFont(font);
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

QSize FlatButton::sizeHint() const
{
    const QFontMetrics fm = fontMetrics();
    return {fm.horizontalAdvance(text()) + 16, fm.height() + 8};
}

bool FlatButton::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::HoverEnter:
    case QEvent::HoverLeave:
        update();
        break;
    default:
        break;
    }
    return QAbstractButton::event(event);
}

void FlatButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool hovered = underMouse() || testAttribute(Qt::WA_UnderMouse);
    if (isDown() || hovered) {
        const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        const qreal radius = qMin(width(), height()) / 10.0;
        p.setPen(QPen(QColor(0x90, 0x90, 0x90), 1));
        p.setBrush(isDown() ? QColor(255, 255, 255, 40) : QColor(255, 255, 255, 12));
        p.drawRoundedRect(frame, radius, radius);
    }
    p.setPen(isEnabled() ? Qt::white : QColor(0x80, 0x80, 0x80));
    p.setFont(font());
    const QPoint shift = isDown() ? QPoint(1, 1) : QPoint();
    p.drawText(rect().translated(shift), Qt::AlignCenter, text());
}

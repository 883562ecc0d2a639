#include "ui/GroupBox.h"

#include "ui/ScalingStyle.h"

#include <QPainter>
#include <QRadioButton>

namespace {

const QColor kFrameColor(0x80, 0x80, 0x80);

} // namespace

GroupBox::GroupBox(const QString& title, const QFont& font, QWidget* parent)
    : QGroupBox(title, parent)
{
    setFont(font);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
}

void GroupBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics fm = fontMetrics();
    const int titleMiddle = fm.height() / 2;
    const QRectF frame = QRectF(rect()).adjusted(0.5, titleMiddle + 0.5, -0.5, -0.5);
    p.setPen(QPen(kFrameColor, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(frame, 3, 3);
    if (title().isEmpty())
        return;
    const int textLeft = qMax(4, fm.averageCharWidth());
    const QRect textRect(textLeft, 0, fm.horizontalAdvance(title()) + 4, fm.height());
    p.fillRect(textRect, palette().color(QPalette::Window));
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(textRect, Qt::AlignCenter, title());
}

RadioGroup::RadioGroup(const QString& title, const QStringList& items, int columns,
                       const QFont& font, const QRect& geometry, QWidget* parent)
    : GroupBox(title, font, parent)
{
    setGeometry(geometry);
    columns = qMax(1, columns);
    const int perColumn = qMax(1, int((items.size() + columns - 1) / columns));
    const int textHeight = QFontMetrics(font).height();
    const int itemArea = geometry.height() - textHeight - 5;
    const int itemHeight = qMax(1, itemArea / perColumn);
    const int topMargin = textHeight + 1 + (itemArea % perColumn) / 2;
    const int itemWidth = (geometry.width() - 10) / columns;

    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Text, Qt::black);
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        b->setPalette(pal);
        ScalingStyle::apply(b);
        b->setGeometry(i / perColumn * itemWidth + 8, i % perColumn * itemHeight + topMargin,
                       itemWidth, itemHeight);
        connect(b, &QRadioButton::clicked, this, [this, i] { Q_EMIT itemClicked(i); });
        m_buttons << b;
    }
}

int RadioGroup::selected() const
{
    for (int i = 0; i < m_buttons.size(); ++i) {
        if (m_buttons[i]->isChecked())
            return i;
    }
    return -1;
}

void RadioGroup::setSelected(int index)
{
    if (QRadioButton* b = m_buttons.value(index))
        b->setChecked(true);
}

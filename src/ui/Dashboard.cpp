#include "ui/Dashboard.h"

#include <QFontDatabase>
#include <QPainter>

namespace Dashboard {

QColor cardColor()
{
    return QColor(0x40, 0x40, 0x40);
}

namespace {

QFont withFallbacks(const QStringList& families, int pixelSize, bool bold, bool italic)
{
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setItalic(italic);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void paintBackground(QWidget* w, const QColor& background)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, background);
    pal.setColor(QPalette::WindowText, Qt::white);
    w->setPalette(pal);
}

} // namespace

QFont verdana(int pixelSize, bool bold, bool italic)
{
    return withFallbacks({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"),
                          QStringLiteral("Liberation Sans")},
                         pixelSize, bold, italic);
}

QFont tahoma(int pixelSize, bool bold)
{
    return withFallbacks({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"),
                          QStringLiteral("Liberation Sans")},
                         pixelSize, bold, false);
}

RoundedShape::RoundedShape(const QColor& color, QWidget* parent)
    : QWidget(parent)
    , m_color(color)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void RoundedShape::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(m_color);
    const qreal radius = qMin(width(), height()) / 8.0;
    p.drawRoundedRect(QRectF(rect()), radius, radius);
}

ValueLabel::ValueLabel(int rightEdge, int top, const QFont& font, const QColor& background,
                       QWidget* parent)
    : QLabel(parent)
{
    setFont(font);
    setAlignment(Qt::AlignRight | Qt::AlignTop);
    setAutoFillBackground(false);
    paintBackground(this, background);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);
    move(rightEdge, top);
    resize(0, fontMetrics().height());
}

void ValueLabel::setValueText(const QString& text)
{
    if (text == this->text())
        return;
    setText(text);
    refit();
}

void ValueLabel::refit()
{
    const int right = x() + width();
    const int w = fontMetrics().horizontalAdvance(text()) + 2;
    setGeometry(right - w, y(), w, fontMetrics().height());
}

QWidget* card(QWidget* parent, const QRect& geometry, const char* name)
{
    auto* w = new RoundedShape(cardColor(), parent);
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(geometry);
    return w;
}

QWidget* valueBox(QWidget* parent, const QRect& geometry, const char* name)
{
    auto* w = new RoundedShape(Qt::black, parent);
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(geometry);
    return w;
}

QLabel* label(QWidget* parent, int left, int top, const QString& text, const QFont& font,
              const QColor& color, const QColor& background, const char* name)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setFont(font);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, color);
    pal.setColor(QPalette::Window, background);
    l->setPalette(pal);
    l->move(left, top);
    l->adjustSize();
    return l;
}

QLabel* caption(QWidget* parent, int left, int top, const QString& text, const char* name)
{
    return label(parent, left, top, text, verdana(13, false, true), Qt::white, cardColor(), name);
}

ValueLabel* valueLabel(QWidget* parent, int rightEdge, int top, int pixelSize, bool italic,
                       const char* name, const QColor& background)
{
    auto* l = new ValueLabel(rightEdge, top, verdana(pixelSize, false, italic), background, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QLabel* unitLabel(QWidget* parent, int left, int top, const QString& text, const char* name,
                  bool bold)
{
    return label(parent, left, top, text, verdana(13, bold, true), Qt::white, Qt::black, name);
}

} // namespace Dashboard

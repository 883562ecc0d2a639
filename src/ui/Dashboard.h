#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QRect>
#include <QString>
#include <QWidget>

// The look every page shares: cards, value boxes, captions, value labels that keep their
// right edge, unit labels, and the fonts with their fallbacks. Sizes are pixels at the
// designed size; the layout scaler scales them with everything else.
namespace Dashboard {

QColor cardColor();
// "Verdana" where it exists, else a font of similar width with Cyrillic.
QFont verdana(int pixelSize, bool bold = false, bool italic = false);
QFont tahoma(int pixelSize, bool bold = false);

// A filled rounded rectangle (a card or a value box).
class RoundedShape : public QWidget
{
public:
    RoundedShape(const QColor& color, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color;
};

// A label that grows and shrinks to the left when its text changes.
class ValueLabel : public QLabel
{
public:
    ValueLabel(int rightEdge, int top, const QFont& font, const QColor& background, QWidget* parent);
    void setValueText(const QString& text);
    // Re-fits the width to the text at the current font, keeping the right edge.
    void refit();
};

QWidget* card(QWidget* parent, const QRect& geometry, const char* name);
QWidget* valueBox(QWidget* parent, const QRect& geometry, const char* name);
// Caption style: Verdana 13 px italic white on the card colour, left-aligned.
QLabel* caption(QWidget* parent, int left, int top, const QString& text, const char* name);
// White Verdana on black, right edge fixed.
ValueLabel* valueLabel(QWidget* parent, int rightEdge, int top, int pixelSize, bool italic,
                       const char* name, const QColor& background = Qt::black);
// Verdana 13 px italic white on black.
QLabel* unitLabel(QWidget* parent, int left, int top, const QString& text, const char* name,
                  bool bold = false);
// Any plain label at its place, sized to its text.
QLabel* label(QWidget* parent, int left, int top, const QString& text, const QFont& font,
              const QColor& color, const QColor& background, const char* name);

} // namespace Dashboard

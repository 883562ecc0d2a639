#pragma once

#include <QWidget>

class QSvgRenderer;

// A picture from the program's SVG artwork, stretched to the widget. Clickable ones show the
// pointing hand and report a click on release inside.
class SvgPicture : public QWidget
{
    Q_OBJECT

public:
    SvgPicture(const QString& resource, bool clickable, QWidget* parent);

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QSvgRenderer* m_renderer;
    bool m_clickable;
    bool m_pressed = false;
};

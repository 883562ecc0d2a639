#include "ui/LayoutScaler.h"

#include "common/NumberFormat.h"
#include "ui/Dashboard.h"

#include <QGroupBox>
#include <QLabel>
#include <QStackedWidget>
#include <QWidget>

LayoutScaler::LayoutScaler(QWidget& window, QWidget& panel, std::function<void()> realign,
                           QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_panel(panel)
    , m_realign(std::move(realign))
{
    m_timerSize.setInterval(kTimerSizeMs);
    connect(&m_timerSize, &QTimer::timeout, this, &LayoutScaler::TimerSizeTimer);
}

int LayoutScaler::percentFor(QSize outer, QSize panel)
{
    const double a = double(outer.width() - 4) / double(panel.width());
    const double b = double(outer.height()) / double(panel.height());
    const double f = a >= b ? b : a;
    return static_cast<int>(NumberFormat::roundHalfEven(f * 100.0));
}

int LayoutScaler::scaleEdge(int value, int percent)
{
    const qint64 product = qint64(value) * percent;
    return product >= 0 ? int((product + 50) / 100) : -int((-product + 50) / 100);
}

void LayoutScaler::FormResize()
{
    // A running timer is not restarted: one rescaling at most 200 ms after a burst began.
    if (!m_timerSize.isActive())
        m_timerSize.start();
}

void LayoutScaler::TimerSizeTimer()
{
    m_panel.hide();
    const QSize outer = m_window.frameGeometry().size();
    const int percent = percentFor(outer, m_panel.size());
    m_lastPercent = percent;

    if (percent != 100)
        scaleTree(percent);
    const int left = int(NumberFormat::roundHalfEven((outer.width() - 4 - m_panel.width()) / 2.0));
    const int top = int(NumberFormat::roundHalfEven((outer.height() - m_panel.height()) / 2.0));
    m_panel.move(left, top);
    m_timerSize.stop();
    m_panel.show();
}

bool LayoutScaler::isContainer(const QWidget* widget)
{
    // Designed controls are placed by hand inside plain containers; the inner parts of a
    // combo box, a spin box or a table are laid out by their own widget and left alone.
    return widget->metaObject() == &QWidget::staticMetaObject
           || qobject_cast<const QStackedWidget*>(widget) != nullptr
           || qobject_cast<const QGroupBox*>(widget) != nullptr
           || widget->property(kContainerProperty).toBool();
}

void LayoutScaler::collect(QWidget* widget, QList<QWidget*>& out)
{
    out << widget;
    if (!isContainer(widget))
        return;
    const auto children = widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children)
        collect(child, out);
}

void LayoutScaler::scaleTree(int percent)
{
    QList<QWidget*> widgets;
    collect(&m_panel, widgets);
    for (QWidget* widget : widgets)
        scaleWidget(widget, percent);
    if (m_realign)
        m_realign();
    const QList<QWidget*> children = widgets.mid(1);
    // Labels sized to their text fit it again at the new font size.
    for (QWidget* child : children) {
        if (auto* value = dynamic_cast<Dashboard::ValueLabel*>(child))
            value->refit();
        else if (auto* label = qobject_cast<QLabel*>(child); label && !label->hasScaledContents())
            label->adjustSize();
    }
}

void LayoutScaler::scaleWidget(QWidget* widget, int percent)
{
    const QRect g = widget->geometry();
    const int left = scaleEdge(g.x(), percent);
    const int top = scaleEdge(g.y(), percent);
    const int right = scaleEdge(g.x() + g.width(), percent);
    const int bottom = scaleEdge(g.y() + g.height(), percent);
    widget->setGeometry(left, top, right - left, bottom - top);
    if (widget->testAttribute(Qt::WA_SetFont)) {
        QFont font = widget->font();
        if (font.pixelSize() > 0)
            font.setPixelSize(qMax(1, scaleEdge(font.pixelSize(), percent)));
        else if (font.pointSizeF() > 0)
            font.setPointSizeF(font.pointSizeF() * percent / 100.0);
        widget->setFont(font);
    }
}

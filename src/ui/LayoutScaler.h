#pragma once

#include <QList>
#include <QObject>
#include <QSize>
#include <QTimer>

#include <functional>

class QWidget;

// Fits the layout, designed at a fixed size, to whatever size the window has: keeps the
// proportions, centres it, and scales positions, sizes and font sizes of every control by an
// integer percentage. Resize events only start a 200 ms one-shot timer, so a burst of them
// leads to one rescaling; each rescaling works on the current layout, so its rounding
// accumulates and a second one at the same size changes nothing.
class LayoutScaler : public QObject
{
    Q_OBJECT

public:
    static constexpr int kTimerSizeMs = 200;
    // Set to true on a widget whose children are designed controls placed by hand (pages,
    // panels); plain QWidgets, stacked widgets and group boxes count as such anyway.
    static constexpr const char* kContainerProperty = "layoutContainer";

    // window: the top-level; panel: PanelMain, the root of the scaled tree; realign: puts the
    // controls aligned to an edge of their parent back in place after a scaling.
    LayoutScaler(QWidget& window, QWidget& panel, std::function<void()> realign,
                 QObject* parent = nullptr);

    // The percentage for a window of outer size `outer` and a panel of size `panel`.
    static int percentFor(QSize outer, QSize panel);
    // One edge coordinate scaled by percent, halves away from zero.
    static int scaleEdge(int value, int percent);

    // FormResize.
    void FormResize();
    // TimerSizeTimer.
    void TimerSizeTimer();
    // Scales the panel and everything inside it by percent/100.
    void scaleTree(int percent);

    QTimer& timerSize() { return m_timerSize; }
    int lastPercent() const { return m_lastPercent; }

private:
    static bool isContainer(const QWidget* widget);
    static void collect(QWidget* widget, QList<QWidget*>& out);
    void scaleWidget(QWidget* widget, int percent);

    QWidget& m_window;
    QWidget& m_panel;
    std::function<void()> m_realign;
    QTimer m_timerSize;
    int m_lastPercent = 100;
};

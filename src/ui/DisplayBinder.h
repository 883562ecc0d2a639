#pragma once

#include <QObject>

#include <functional>
#include <unordered_map>
#include <vector>

class AngularGauge;
class DisplayState;
class InstrumentWidget;
class QLabel;
class QStackedWidget;
class QWidget;
enum class DisplayId : int;

namespace Dashboard {
class ValueLabel;
}

// Keeps widgets showing what the display state holds: a widget is bound to an item once and
// follows every change of it. Widgets never write the display state.
class DisplayBinder : public QObject
{
    Q_OBJECT

public:
    explicit DisplayBinder(DisplayState& display, QObject* parent = nullptr);

    // A label's text (and visibility).
    void bindText(QLabel* label, DisplayId id);
    void bindText(Dashboard::ValueLabel* label, DisplayId id);
    // An instrument's value; the dial's caption too.
    void bindValue(InstrumentWidget* instrument, DisplayId id);
    void bindDial(AngularGauge* dial, DisplayId id);
    // Shown or hidden.
    void bindVisibility(QWidget* widget, DisplayId id);
    // A lamp: lit or dark picture.
    void bindLamp(QLabel* lamp, DisplayId id, const QPixmap& off, const QPixmap& on);
    // The page control's active page.
    void bindPage(QStackedWidget* pages, DisplayId id);
    // Anything else.
    void bind(DisplayId id, std::function<void()> update);

private:
    void onChanged(DisplayId id);

    DisplayState& m_display;
    std::unordered_map<int, std::vector<std::function<void()>>> m_updaters;
};

#include "ui/DisplayBinder.h"

#include "display/DisplayState.h"
#include "ui/Dashboard.h"
#include "ui/instruments/AngularGauge.h"
#include "ui/instruments/InstrumentWidget.h"

#include <QLabel>
#include <QStackedWidget>

DisplayBinder::DisplayBinder(DisplayState& display, QObject* parent)
    : QObject(parent)
    , m_display(display)
{
    connect(&m_display, &DisplayState::changed, this, &DisplayBinder::onChanged);
}

void DisplayBinder::bind(DisplayId id, std::function<void()> update)
{
    update();
    m_updaters[static_cast<int>(id)].push_back(std::move(update));
}

void DisplayBinder::onChanged(DisplayId id)
{
    const auto it = m_updaters.find(static_cast<int>(id));
    if (it == m_updaters.end())
        return;
    for (const auto& update : it->second)
        update();
}

void DisplayBinder::bindText(QLabel* label, DisplayId id)
{
    bind(id, [this, label, id] {
        label->setText(m_display.text(id));
        label->adjustSize();
        label->setVisible(m_display.isVisible(id));
    });
}

void DisplayBinder::bindText(Dashboard::ValueLabel* label, DisplayId id)
{
    bind(id, [this, label, id] {
        label->setValueText(m_display.text(id));
        label->setVisible(m_display.isVisible(id));
    });
}

void DisplayBinder::bindValue(InstrumentWidget* instrument, DisplayId id)
{
    instrument->setRange(DisplayState::minimum(id), DisplayState::maximum(id));
    bind(id, [this, instrument, id] { instrument->setValue(m_display.value(id)); });
}

void DisplayBinder::bindDial(AngularGauge* dial, DisplayId id)
{
    bindValue(dial, id);
    bind(id, [this, dial, id] { dial->setCaption(m_display.caption(id)); });
}

void DisplayBinder::bindVisibility(QWidget* widget, DisplayId id)
{
    bind(id, [this, widget, id] { widget->setVisible(m_display.isVisible(id)); });
}

void DisplayBinder::bindLamp(QLabel* lamp, DisplayId id, const QPixmap& off, const QPixmap& on)
{
    bind(id, [this, lamp, id, off, on] { lamp->setPixmap(m_display.isLit(id) ? on : off); });
}

void DisplayBinder::bindPage(QStackedWidget* pages, DisplayId id)
{
    bind(id, [this, pages, id] { pages->setCurrentIndex(m_display.index(id)); });
}

#include "trip/TripStatistics.h"

#include "platform/Clock.h"
#include "trip/TripLog.h"
#include "trip/TripSummary.h"

TripStatistics::TripStatistics(TripLog& log, DisplayState& display, Clock& clock, QObject* parent)
    : QObject(parent), m_log(log), m_display(display), m_clock(clock), m_model(log),
      m_selected(display.index(DisplayId::RadioGroup1))
{
    m_model.setFilter(TripLogFilter::fromItem(m_selected, m_clock.now().date()));
    connect(&m_display, &DisplayState::changed, this, &TripStatistics::displayChanged);
}

void TripStatistics::displayChanged(DisplayId id)
{
    // changed() also reports the group's other properties: only a new item is a click.
    if (id != DisplayId::RadioGroup1 || m_display.index(id) == m_selected)
        return;
    RadioGroup1Click();
}

void TripStatistics::RadioGroup1Click()
{
    const int item = m_display.index(DisplayId::RadioGroup1);
    m_selected = item;
    const TripLogFilter filter = TripLogFilter::fromItem(item, m_clock.now().date());
    m_model.setFilter(filter);

    if (filter.isAll()) {
        const QString zero = QStringLiteral("0.0");
        setSummaryLabels(zero, zero, zero, zero, zero);
        m_display.setText(DisplayId::LabelRezult, QStringLiteral("Текущая поездка"));
        return;
    }

    QList<TripRecord> records;
    for (const TripLogEntry& entry : m_log.records(filter))
        records.append(entry.record);
    const TripSummary s = SummariseTripLog(records);
    setSummaryLabels(s.fuel, s.distance, s.consumption, s.maxSpeed, s.averageSpeed);

    switch (filter.period()) {
    case TripLogFilter::Period::Day:
        m_display.setText(DisplayId::LabelRezult, QStringLiteral("Суточный итог"));
        break;
    case TripLogFilter::Period::Week:
        m_display.setText(DisplayId::LabelRezult, QStringLiteral("Недельный итог"));
        break;
    case TripLogFilter::Period::Month:
        m_display.setText(DisplayId::LabelRezult, QStringLiteral("Месячный итог"));
        break;
    case TripLogFilter::Period::All:
        break;
    }
}

void TripStatistics::PngSpeedButton7Click()
{
    m_log.clear();
}

void TripStatistics::setSummaryLabels(const QString& fuel, const QString& distance,
                                      const QString& consumption, const QString& maxSpeed,
                                      const QString& averageSpeed)
{
    m_display.setText(DisplayId::LabelTopl2, fuel);
    m_display.setText(DisplayId::LabelDistance2, distance);
    m_display.setText(DisplayId::LabelRashod2, consumption);
    m_display.setText(DisplayId::LabelSpeedMax, maxSpeed);
    m_display.setText(DisplayId::LabelSpeedSr, averageSpeed);
}

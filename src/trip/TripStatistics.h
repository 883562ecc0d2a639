#pragma once

#include "display/DisplayState.h"
#include "trip/TripLogModel.h"

#include <QObject>

class Clock;
class TripLog;

// The trip log on the statistics page: the period filter RadioGroup1 with the summary labels,
// the grid's model and the button that empties the log.
//
// Choosing an item of RadioGroup1 (its index in the display state) sets the filter of the grid
// and, for a period, writes the summary of its trips into the five labels once: later trips
// show in the grid, the labels keep their values until another item is chosen. The first item
// puts "0.0" in the five labels, which the running trip then fills.
class TripStatistics : public QObject
{
    Q_OBJECT

public:
    TripStatistics(TripLog& log, DisplayState& display, Clock& clock, QObject* parent = nullptr);

    TripLogModel& model() { return m_model; }
    TripLogFilter filter() const { return m_model.filter(); }

    // Runs when RadioGroup1's selected item changes; "today" is read from the clock now.
    void RadioGroup1Click();
    // "Очистить таблицу": removes every trip; the filter and the labels stay as they are.
    void PngSpeedButton7Click();

private:
    void displayChanged(DisplayId id);
    void setSummaryLabels(const QString& fuel, const QString& distance, const QString& consumption,
                          const QString& maxSpeed, const QString& averageSpeed);

    TripLog& m_log;
    DisplayState& m_display;
    Clock& m_clock;
    TripLogModel m_model;
    int m_selected;
};

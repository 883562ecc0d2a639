#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

struct LiveReadings;
struct TripTotals;
class DisplayState;
class ErrorReporter;
class SettingsState;

// The fuel-flow model, run after every manifold-pressure or air-flow answer. The adapter never
// reports fuel: the air flow (measured, or by speed density from the manifold pressure), the
// fuel flow, the fuel burnt since the previous speed sample and both consumptions come from
// here. It has no state of its own: it reads the settings and the readings afresh at every
// pass and writes the readings, the trip totals and the display.
class FuelModel
{
public:
    FuelModel(LiveReadings& readings, TripTotals& totals, SettingsState& settings,
              DisplayState& display, ErrorReporter& errors);

    // One pass. A correction or displacement text that is no whole number (MAP method) stops
    // the pass before anything changes and is reported.
    void UpdateFuelModel();

    // l/100 km onto the 0..100 consumption bar: 0..30 fill the first 60, 30..100 the rest.
    static double ConsumptionToBar(double consumption);

private:
    // The setting's text as a whole number, or nothing after reporting why not.
    std::optional<qint32> wholeSetting(const QString& what, const QString& text);

    LiveReadings& m_readings;
    TripTotals& m_totals;
    SettingsState& m_settings;
    DisplayState& m_display;
    ErrorReporter& m_errors;
};

#pragma once

#include "link/TripHooks.h"
#include "trip/FuelModel.h"
#include "trip/TripAccounting.h"
#include "trip/TripTotals.h"

struct LiveReadings;
class Clock;
class DisplayState;
class ErrorReporter;
class SettingsState;
class TripRecordSink;

// What the link calls: the fuel model and the trip accounting over one set of trip totals
// and the link's live readings.
class TripComputer : public TripHooks
{
public:
    TripComputer(LiveReadings& readings, SettingsState& settings, DisplayState& display,
                 Clock& clock, ErrorReporter& errors, TripRecordSink& log);

    TripTotals& totals() { return m_totals; }
    const TripTotals& totals() const { return m_totals; }
    FuelModel& fuelModel() { return m_fuelModel; }
    TripAccounting& accounting() { return m_accounting; }

    void startTrip() override;
    void endTrip() override;
    bool tripActive() const override;
    void setTripActive(bool active) override;
    double fuelUsed() const override;
    void portOpened() override;
    void processSpeedSample(quint32 sampleTime, int speed) override;
    void updateFuelModel() override;

private:
    TripTotals m_totals;
    FuelModel m_fuelModel;
    TripAccounting m_accounting;
};

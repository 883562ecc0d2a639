#include "trip/TripComputer.h"

TripComputer::TripComputer(LiveReadings& readings, SettingsState& settings, DisplayState& display,
                           Clock& clock, ErrorReporter& errors, TripRecordSink& log)
    : m_fuelModel(readings, m_totals, settings, display, errors),
      m_accounting(m_totals, settings, display, clock, log)
{
}

void TripComputer::startTrip()
{
    m_accounting.StartTrip();
}

void TripComputer::endTrip()
{
    m_accounting.EndTrip();
}

bool TripComputer::tripActive() const
{
    return m_totals.tripActive;
}

void TripComputer::setTripActive(bool active)
{
    m_totals.tripActive = active;
}

double TripComputer::fuelUsed() const
{
    return m_totals.fuelUsed;
}

void TripComputer::portOpened()
{
    m_accounting.PortOpened();
}

void TripComputer::processSpeedSample(quint32 sampleTime, int speed)
{
    m_accounting.ProcessSpeedSample(sampleTime, speed);
}

void TripComputer::updateFuelModel()
{
    m_fuelModel.UpdateFuelModel();
}

#include "trip/TripAccounting.h"

#include "common/NumberFormat.h"
#include "display/DisplayState.h"
#include "platform/Clock.h"
#include "settings/SettingsState.h"
#include "trip/TripLogConversion.h"
#include "trip/TripRecordSink.h"
#include "trip/TripTotals.h"

#include <QTime>

#include <cstdlib>

namespace {

constexpr double kMsPerHour = 3600000;
constexpr qint64 kMsPerDay = 86400000;
constexpr int kMovingAbove = 2;            // km/h
constexpr double kFuelUsedToRecord = 0.01; // l; a trip that used this or less leaves no record
constexpr double kTankReserve = 0.9;       // the distance to empty holds back a tenth of the tank

} // namespace

TripAccounting::TripAccounting(TripTotals& totals, SettingsState& settings, DisplayState& display,
                               Clock& clock, TripRecordSink& log, QObject* parent)
    : QObject(parent), m_totals(totals), m_settings(settings), m_display(display), m_clock(clock),
      m_log(log)
{
    m_timerTraff.setInterval(kTimerTraffIntervalMs);
    connect(&m_timerTraff, &QTimer::timeout, this, &TripAccounting::TimerTraffTimer);
    connect(&m_display, &DisplayState::editTankChanged, this, &TripAccounting::EditTankChange);
}

bool TripAccounting::currentTripShown() const
{
    // On the other filter items the statistics labels hold the log's summary.
    return m_display.index(DisplayId::RadioGroup1) == 0;
}

void TripAccounting::resetMaxSpeedSent()
{
    if (onMaxSpeedSentReset)
        onMaxSpeedSentReset();
}

void TripAccounting::RestoreTank(double litresInTank)
{
    m_totals.movingTimeMs = 0;
    m_totals.fuelUsedMoving = 0;
    m_totals.maxSpeed = 0;
    resetMaxSpeedSent();
    m_totals.fuelInTank = litresInTank;
    m_display.setTankValue(litresInTank);
    // The edit signals only a change of its text; the level is due at start-up either way.
    EditTankChange();
}

void TripAccounting::StartTrip()
{
    m_totals.movingTimeMs = 0;
    m_totals.tripActive = true;
    m_totals.tripStart = m_clock.now();
    ResetTripDisplay();
    m_totals.fuelInTank -= m_settings.progrev().value();
    m_display.setTankValue(m_totals.fuelInTank);
    // The reset above emptied the tank bar; when the edit's text did not change it would
    // otherwise read 0 % until the fuel model moves the edit.
    EditTankChange();
}

void TripAccounting::ResetTripDisplay()
{
    m_totals.maxSpeed = 0;
    resetMaxSpeedSent();
    // The moving fuel, the moving time, the tank and the instantaneous consumption stay.
    m_totals.distance = 0;
    m_totals.fuelUsed = 0;
    m_totals.averageSpeed = 0;

    const QString zero = QStringLiteral("0");
    const QString zeroOne = QStringLiteral("0.0");
    m_display.setText(DisplayId::LabelDistance, zeroOne);
    m_display.setText(DisplayId::LabelTopl, QStringLiteral("0.00"));
    m_display.setText(DisplayId::LabelRashod, zeroOne);
    m_display.setText(DisplayId::LabelTime, QStringLiteral("00:00:00"));
    m_display.setText(DisplayId::LabelTempEng, zero);
    m_display.setText(DisplayId::LabelTank, zero);
    m_display.setText(DisplayId::LabelSpeed, zero);
    m_display.setText(DisplayId::Pressure, zero);
    m_display.setText(DisplayId::airTemp, zero);
    m_display.setText(DisplayId::LabelRPM, zero);
    m_display.setText(DisplayId::LabelSpeedSrOut, zeroOne);
    m_display.setText(DisplayId::LabelSpeedMaxOut, zeroOne);
    m_display.setText(DisplayId::LabelFuel, zeroOne);
    m_display.setText(DisplayId::MPG1, zeroOne);
    m_display.setText(DisplayId::MPGLabel, zeroOne);
    if (currentTripShown()) {
        // No fuel over no distance yet: the average consumption is off the scale.
        m_display.setText(DisplayId::LabelRashod2, QStringLiteral(">>>"));
        m_display.setText(DisplayId::LabelSpeedSr, zeroOne);
        m_display.setText(DisplayId::LabelSpeedMax, zeroOne);
    }

    for (DisplayId gauge :
         {DisplayId::ThermometerEng, DisplayId::ProgressBarFuel, DisplayId::GaugePressure,
          DisplayId::ThermometerAirTemp, DisplayId::GaugeRPM, DisplayId::GaugeMPG,
          DisplayId::GaugeMPG1, DisplayId::GaugeAirMPG})
        m_display.setValue(gauge, 0);
}

void TripAccounting::EndTrip()
{
    if (m_totals.fuelUsed <= kFuelUsedToRecord)
        return;
    // The totals are cleared whether the log took the record or not.
    m_log.append(TripLogConversion::recordFromTotals(m_totals));

    m_totals.movingTimeMs = 0;
    m_totals.fuelUsedMoving = 0;
    m_display.setText(DisplayId::LabelRPM, QStringLiteral("0"));
    m_display.setValue(DisplayId::GaugeRPM, 0);
    m_totals.maxSpeed = 0;
    resetMaxSpeedSent();
    m_totals.distance = 0;
    m_totals.fuelUsed = 0;
    m_totals.averageSpeed = 0;
}

void TripAccounting::PortOpened()
{
    m_totals.previousSampleTime = 0;
}

void TripAccounting::ProcessSpeedSample(quint32 sampleTime, int speed)
{
    const bool currentTrip = currentTripShown();

    if (speed > m_totals.maxSpeed)
        m_totals.maxSpeed = speed;
    const QString maxText = QString::number(m_totals.maxSpeed);
    m_display.setText(DisplayId::LabelSpeedMaxOut, maxText);
    if (currentTrip)
        m_display.setText(DisplayId::LabelSpeedMax, maxText);

    // Unsigned 32-bit: right across a wrap of the tick counter. After the port opened the
    // previous time is 0, so the interval is the whole tick count and the fuel model counts
    // nothing for it either.
    m_totals.sampleTime = sampleTime;
    m_totals.sampleInterval = sampleTime - m_totals.previousSampleTime;
    m_display.setText(DisplayId::Label3, QString::number(m_totals.sampleInterval));

    // The new speed is applied to the whole interval since the previous sample.
    if (m_totals.previousSampleTime != 0)
        m_totals.distance += speed * (m_totals.sampleInterval / kMsPerHour);
    m_totals.previousSampleTime = sampleTime;

    const QString distanceText = NumberFormat::fixed(m_totals.distance, 1);
    m_display.setText(DisplayId::LabelDistance, distanceText);
    if (currentTrip)
        m_display.setText(DisplayId::LabelDistance2, distanceText);

    // Only the time of day of the elapsed time counts, so both the text and the hours start
    // again from 0 after 24 hours.
    m_totals.elapsedMs = m_totals.tripStart.msecsTo(m_clock.now());
    const qint64 timeOfDayMs = std::llabs(m_totals.elapsedMs) % kMsPerDay;
    m_display.setText(
        DisplayId::LabelTime,
        QTime::fromMSecsSinceStartOfDay(int(timeOfDayMs)).toString(QStringLiteral("hh:mm:ss")));

    // Starting a running timer would restart its period and lose the part already run.
    if (speed > kMovingAbove) {
        if (!m_timerTraff.isActive())
            m_timerTraff.start();
    } else {
        m_timerTraff.stop();
    }

    const qint64 hours = timeOfDayMs / 3600000;
    const qint64 minutes = timeOfDayMs % 3600000 / 60000;
    if (hours == 0 && minutes == 0)
        return; // the averages start once a whole minute has passed

    m_totals.averageSpeed = m_totals.distance / ((hours * 60 + minutes) / 60.0);
    const QString averageText = NumberFormat::fixed(m_totals.averageSpeed, 1);
    m_display.setText(DisplayId::LabelSpeedSrOut, averageText);
    if (currentTrip)
        m_display.setText(DisplayId::LabelSpeedSr, averageText);

    // From the tank variable, not the edit: a tank below zero gives a negative estimate.
    if (m_totals.fuelInTank != 0 && m_totals.fuelUsed != 0 && m_totals.distance != 0) {
        const double perKm = m_totals.fuelUsed / m_totals.distance;
        m_display.setText(DisplayId::DistPred, QString::number(NumberFormat::roundHalfEven(
                                                   kTankReserve * m_totals.fuelInTank / perKm)));
    } else {
        m_display.setText(DisplayId::DistPred, QStringLiteral("--"));
    }
}

void TripAccounting::TimerTraffTimer()
{
    m_totals.movingTimeMs += m_timerTraff.interval();
}

void TripAccounting::changeTank(double litres)
{
    m_totals.fuelInTank = litres;
    m_display.setTankValue(litres);
}

void TripAccounting::SpeedButton1Click()
{
    changeTank(m_totals.fuelInTank + 10);
}

void TripAccounting::SpeedButton3Click()
{
    changeTank(m_totals.fuelInTank - 10);
}

void TripAccounting::SpeedButton2Click()
{
    changeTank(m_totals.fuelInTank + 1);
}

void TripAccounting::SpeedButton4Click()
{
    changeTank(m_totals.fuelInTank - 1);
}

void TripAccounting::SpeedButton5Click()
{
    changeTank(m_settings.fuelTank().value());
}

void TripAccounting::EditTankChange()
{
    // The level follows the edit, which holds 0..100 litres, not the tank variable.
    const double capacity = m_settings.fuelTank().value();
    const double percent = capacity != 0 ? m_display.tankValue() * 100 / capacity : 0;
    m_display.setValue(DisplayId::ProgressBarFuel, percent);
    m_display.setText(DisplayId::LabelTank, QString::number(NumberFormat::roundHalfEven(
                                                m_display.value(DisplayId::ProgressBarFuel))));
}

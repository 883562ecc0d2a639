#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

struct TripTotals;
class Clock;
class DisplayState;
class SettingsState;
class TripRecordSink;

// The running trip and the tank: starting and ending trips, the accounting after each
// vehicle-speed sample (maximum speed, distance, trip and moving time, average speed, distance
// to empty), and the tank page (the correction buttons and the level display that follows the
// tank edit).
class TripAccounting : public QObject
{
    Q_OBJECT

public:
    static constexpr int kTimerTraffIntervalMs = 250;

    TripAccounting(TripTotals& totals, SettingsState& settings, DisplayState& display, Clock& clock,
                   TripRecordSink& log, QObject* parent = nullptr);

    // Start-up, once the trip log is open: the tank content restored from its newest record.
    void RestoreTank(double litresInTank);

    // Polling begins: a fresh trip, less the warm-up allowance from the tank.
    void StartTrip();
    void ResetTripDisplay();
    // A trip that used more than 0.01 l goes to the log; then the totals are cleared,
    // whether the log took the record or not. Anything less changes nothing at all.
    void EndTrip();

    // The port opened: the next sample has no predecessor and adds no distance.
    void PortOpened();
    // One vehicle-speed answer taken at tick sampleTime, speed in km/h after the factor.
    void ProcessSpeedSample(quint32 sampleTime, int speed);
    // The moving-time timer's tick.
    void TimerTraffTimer();
    const QTimer& timerTraff() const { return m_timerTraff; }

    // The tank page's buttons: +10, -10, +1, -1 litres, and a full tank.
    void SpeedButton1Click();
    void SpeedButton3Click();
    void SpeedButton2Click();
    void SpeedButton4Click();
    void SpeedButton5Click();
    // The tank edit's shown value changed: the level bar and its percent label follow it.
    void EditTankChange();

    // The host export remembers the last text it sent per channel; this makes it send the
    // maximum speed again. Called at start-up, by ResetTripDisplay and by EndTrip.
    std::function<void()> onMaxSpeedSentReset;

private:
    void changeTank(double litres);
    void resetMaxSpeedSent();
    bool currentTripShown() const;

    TripTotals& m_totals;
    SettingsState& m_settings;
    DisplayState& m_display;
    Clock& m_clock;
    TripRecordSink& m_log;
    QTimer m_timerTraff;
};

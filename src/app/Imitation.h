#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

class DisplayState;
class NeedleAnimation;
struct LiveReadings;

// The demonstration mode: once a second it fills the display with random values, through the
// same texts and gauges the live readings use, so the host export sends them as if they were
// live. It computes nothing, changes no trip totals and talks to no adapter; of the readings
// it changes only the current and previous engine speed.
class Imitation : public QObject
{
    Q_OBJECT

public:
    static constexpr int kTimerImitationMs = 1000;

    Imitation(DisplayState& display, LiveReadings& readings, NeedleAnimation& needle,
              QObject* parent = nullptr);

    // Starts the host export (the check box starts it together with the mode).
    std::function<void()> startExport;
    // R(n): a uniformly distributed whole number from 0 to n - 1, from the platform's
    // generator seeded once at start. Replaceable for tests.
    std::function<int(int)> random;

    // The check box's handler: runs when its checked state changes.
    void CheckBoxImitationClick();
    void TimerImitationTimer();
    QTimer& timerImitation() { return m_timer; }

private:
    DisplayState& m_display;
    LiveReadings& m_readings;
    NeedleAnimation& m_needle;
    QTimer m_timer;
};

#pragma once

#include <QObject>
#include <QTimer>

class DisplayState;

// Moves the engine-speed needle from the previous to the new engine speed in 20 ms steps of
// 150 to 250 rpm instead of letting it jump. Every animation starts from the previous stored
// speed, not from where the needle stands; a new speed during an animation restarts the
// stepping with the new figures on the running timer.
class NeedleAnimation : public QObject
{
    Q_OBJECT

public:
    static constexpr int kStepMs = 20;

    explicit NeedleAnimation(DisplayState& display, QObject* parent = nullptr);

    // StartNeedleAnimation: the engine speed went from previous to current.
    void start(double previous, double current);
    // TimerRPMTimer.
    void step();

    QTimer& timer() { return m_timer; }
    int steps() const { return m_steps; }
    int stepIndex() const { return m_stepIndex; }

private:
    DisplayState& m_display;
    QTimer m_timer;
    double m_previous = 0;
    double m_current = 0;
    double m_delta = 0;
    int m_steps = 0;
    int m_stepIndex = 0;
};

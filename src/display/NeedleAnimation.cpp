#include "display/NeedleAnimation.h"

#include "common/NumberFormat.h"
#include "display/DisplayState.h"

#include <cmath>

NeedleAnimation::NeedleAnimation(DisplayState& display, QObject* parent)
    : QObject(parent)
    , m_display(display)
{
    m_timer.setInterval(kStepMs);
    connect(&m_timer, &QTimer::timeout, this, &NeedleAnimation::step);
}

void NeedleAnimation::start(double previous, double current)
{
    m_previous = previous;
    m_current = current;
    m_delta = previous - current;
    m_steps = static_cast<int>(NumberFormat::roundHalfEven(std::fabs(m_delta) / 200.0));
    m_stepIndex = 0;
    if (m_steps == 0 || m_steps == 1) {
        m_display.setValue(DisplayId::GaugeRPM, current);
        return; // a running timer goes on, its ticks doing nothing while there are no steps
    }
    if (!m_timer.isActive())
        m_timer.start();
}

void NeedleAnimation::step()
{
    if (m_steps == 0)
        return;
    ++m_stepIndex;
    m_display.setValue(DisplayId::GaugeRPM, m_previous - (m_delta / m_steps) * m_stepIndex);
    if (m_stepIndex == m_steps)
        m_timer.stop();
}

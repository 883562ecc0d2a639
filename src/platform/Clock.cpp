#include "platform/Clock.h"

#include <QThread>

#include <time.h>

SystemClock::SystemClock(quint32 tickOffset)
    : m_tickOffset(tickOffset)
{
}

SystemClock* SystemClock::fromEnvironment()
{
    bool ok = false;
    const quint32 offset = qEnvironmentVariable("TACHORA_TICK_OFFSET").toUInt(&ok);
    return new SystemClock(ok ? offset : 0);
}

quint32 SystemClock::tickMs() const
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const quint64 ms = quint64(ts.tv_sec) * 1000u + quint64(ts.tv_nsec) / 1000000u;
    return quint32(ms) + m_tickOffset;
}

QDateTime SystemClock::now() const
{
    const qint64 utcMs = QDateTime::currentMSecsSinceEpoch();
    if (!m_offsetKnown || utcMs - m_offsetCheckedAtMs >= 60'000 || utcMs < m_offsetCheckedAtMs) {
        m_offsetSeconds = QDateTime::fromMSecsSinceEpoch(utcMs).offsetFromUtc();
        m_offsetCheckedAtMs = utcMs;
        m_offsetKnown = true;
    }
    return QDateTime::fromMSecsSinceEpoch(utcMs, Qt::OffsetFromUTC, m_offsetSeconds);
}

void SystemClock::sleepMs(int ms)
{
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

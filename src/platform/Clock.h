#pragma once

#include <QDateTime>
#include <QtGlobal>

// The one source of time: the 32-bit millisecond tick counter (wraps after about 49.7 days;
// take differences as quint32), the local date-time, and the blocking sleep. Tests inject a
// clock of their own to stand just before the wrap or to cross midnight.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual quint32 tickMs() const = 0;
    virtual QDateTime now() const = 0;
    // Blocks the calling thread; no events are processed meanwhile.
    virtual void sleepMs(int ms) = 0;
};

class SystemClock : public Clock
{
public:
    // tickOffset is added to the counter (from $TACHORA_TICK_OFFSET when constructed with
    // fromEnvironment), so a run can be started just before the counter wraps.
    explicit SystemClock(quint32 tickOffset = 0);
    static SystemClock* fromEnvironment();

    quint32 tickMs() const override;
    QDateTime now() const override;
    void sleepMs(int ms) override;

private:
    quint32 m_tickOffset;
    // The local time's offset from UTC, looked up at most once a minute: asking the C
    // library for local time checks the zone file on every call, several times a second.
    mutable qint64 m_offsetCheckedAtMs = 0;
    mutable int m_offsetSeconds = 0;
    mutable bool m_offsetKnown = false;
};

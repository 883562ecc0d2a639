#pragma once

#include "platform/Clock.h"

// A clock the test moves by hand. sleepMs advances it, so a blocking pause costs no time.
class FakeClock : public Clock
{
public:
    quint32 tick = 1000;
    QDateTime dateTime = QDateTime(QDate(2026, 12, 9), QTime(15, 45, 12));
    int sleptMs = 0;

    quint32 tickMs() const override { return tick; }
    QDateTime now() const override { return dateTime; }
    void sleepMs(int ms) override
    {
        sleptMs += ms;
        advance(ms);
    }
    void advance(qint64 ms)
    {
        tick += quint32(ms);
        dateTime = dateTime.addMSecs(ms);
    }
};

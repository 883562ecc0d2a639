#include "trip/TripLogConversion.h"

#include <cmath>
#include <cstdlib>

namespace TripLogConversion {

namespace {
constexpr qint64 kMsPerDay = 24 * 60 * 60 * 1000;
}

qint64 timeTraffMs(qint64 movingTimeMs)
{
    const double m = double(movingTimeMs);
    const double h = std::trunc(m / 3600000.0);
    const double n = std::trunc((m / 1000.0 - 3600.0 * h) / 60.0);
    const double s = std::trunc(m / 1000.0 - 3600.0 * h - 60.0 * n);
    return (qint64(h) * 3600 + qint64(n) * 60 + qint64(s)) * 1000;
}

TripRecord recordFromTotals(const TripTotals& t)
{
    TripRecord r;
    if (t.tripStart.isValid()) {
        r.startDate = t.tripStart.date();
        r.startTime = t.tripStart.time();
    }
    // A date-time difference keeps its time of day unsigned, so a clock set back during the
    // trip still gives a valid duration.
    r.timeAll = QTime::fromMSecsSinceStartOfDay(int(std::llabs(t.elapsedMs) % kMsPerDay));
    r.timeTraffMs = timeTraffMs(t.movingTimeMs);
    r.distance = t.distance;
    r.rashod = t.fuelUsed;
    r.rashodTraff = t.fuelUsedMoving;
    r.fuelTank = t.fuelInTank;
    r.mpg = t.distance != 0 ? t.fuelUsed / t.distance * 100 : 0.0;
    r.mpgTraff = t.distance != 0 ? t.fuelUsedMoving / t.distance * 100 : 0.0;
    r.averageSpeed = t.averageSpeed;
    r.maxSpeed = double(t.maxSpeed);
    return r;
}

} // namespace TripLogConversion

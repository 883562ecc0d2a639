#pragma once

#include "trip/TripRecord.h"
#include "trip/TripTotals.h"

// How a finished trip becomes a trip-log record (EndTrip). Pure functions; whether the trip is
// worth a record, and the clearing of the totals afterwards, are the trip accounting's.
namespace TripLogConversion {

// StartDate and StartTime: the trip start's date and time of day. TimeAll: the elapsed time's
// time of day, whole days dropped (25 h -> 01:00:00). TimeTraff: the moving time in whole
// seconds (see timeTraffMs). The fuel figures, the tank, the speeds as they are; MPG and
// MPG_Traff the fuel over the distance x 100, or 0 with no distance.
TripRecord recordFromTotals(const TripTotals& totals);

// The moving time as it is stored: hours H, minutes N and seconds S taken apart in floating
// point and truncated (3 725 400 ms -> 01:02:05), the milliseconds dropped. 24 h and more are
// kept whole: a trip is never discarded for its length.
qint64 timeTraffMs(qint64 movingTimeMs);

} // namespace TripLogConversion

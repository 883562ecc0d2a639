#include "trip/TripSummary.h"

#include "common/NumberFormat.h"

TripSummary SummariseTripLog(const QList<TripRecord>& records)
{
    const QString zero = QStringLiteral("0.0");
    if (records.isEmpty())
        return {zero, zero, zero, zero, zero};

    double fuel = 0.0;
    double distance = 0.0;
    double speedSum = 0.0;
    qint64 highest = 0;
    for (const TripRecord& r : records) {
        if (r.rashod)
            fuel += *r.rashod;
        if (r.distance)
            distance += *r.distance;
        if (r.maxSpeed && double(highest) < *r.maxSpeed)
            highest = NumberFormat::roundHalfEven(*r.maxSpeed);
        if (r.averageSpeed)
            speedSum += *r.averageSpeed;
    }
    const qsizetype count = records.size();

    TripSummary s;
    s.fuel = NumberFormat::fixed(fuel, 1);
    s.distance = NumberFormat::fixed(distance, 1);
    s.consumption = distance != 0 ? NumberFormat::fixed(fuel / distance * 100, 1) : zero;
    s.maxSpeed = QString::number(highest);
    s.averageSpeed = NumberFormat::fixed(speedSum / double(count), 1);
    return s;
}

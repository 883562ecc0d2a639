#pragma once

#include "trip/TripRecord.h"

#include <QList>
#include <QString>

// The summary of a period's trips as the five labels of the statistics page show it.
struct TripSummary
{
    QString fuel;     // LabelTopl2: sum of Rashod, "%0.1f"
    QString distance; // LabelDistance2: sum of Distance, "%0.1f"
    QString
        consumption; // LabelRashod2: fuel sum / distance sum x 100, "%0.1f"; "0.0" with no distance
    QString maxSpeed;     // LabelSpeedMax: the highest MaxSpeed as a whole number
    QString averageSpeed; // LabelSpeedSr: sum of AverageSpeed / record count, "%0.1f"

    bool operator==(const TripSummary&) const = default;
};

// SummariseTripLog over the records in index order. Empty fields add nothing, but every record
// counts in the divisor of the average speed. The highest speed is taken by comparing the
// stored reals with the highest so far and rounding the larger one half to even (80.5 and 79
// give 80). No record at all: every text is "0.0", the maximum speed too.
TripSummary SummariseTripLog(const QList<TripRecord>& records);

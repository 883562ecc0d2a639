#pragma once

#include <QDateTime>
#include <QtGlobal>

// The running trip. The fuel in the tank is not limited: it may exceed the capacity or fall
// below zero; only the tank edit limits what it shows.
struct TripTotals
{
    double distance = 0;          // km
    double fuelUsed = 0;          // l
    double fuelUsedMoving = 0;    // l, while above 2 km/h
    double fuelInTank = 0;        // l
    qint64 movingTimeMs = 0;      // ms
    QDateTime tripStart;          // local date-time
    qint64 elapsedMs = 0;         // trip start to the latest speed sample
    double averageSpeed = 0;      // km/h
    int maxSpeed = 0;             // km/h
    quint32 sampleTime = 0;       // tick counter at the latest speed sample
    quint32 previousSampleTime = 0; // 0 after the port opened: the next sample has no predecessor
    quint32 sampleInterval = 0;   // ms between the last two samples
    bool tripActive = false;
};

#pragma once

#include <QDate>
#include <QTime>

#include <optional>

// One trip of the trip log. Every field may be empty once a user has edited the record.
struct TripRecord
{
    std::optional<QDate> startDate;
    std::optional<QTime> startTime;       // time of day, ms precision
    std::optional<QTime> timeAll;         // trip duration, whole days dropped
    std::optional<qint64> timeTraffMs;    // moving time, whole seconds, may reach 24 h and more
    std::optional<double> distance;       // km
    std::optional<double> rashod;         // l used on the trip
    std::optional<double> rashodTraff;    // l used while moving
    std::optional<double> fuelTank;       // l left in the tank
    std::optional<double> mpg;            // l/100 km
    std::optional<double> mpgTraff;       // l/100 km while moving
    std::optional<double> averageSpeed;   // km/h
    std::optional<double> maxSpeed;       // km/h, a whole number

    bool operator==(const TripRecord&) const = default;
};

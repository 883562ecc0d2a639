#pragma once

#include <QtGlobal>

// What the link needs of the trip computer, at the points of the cycle where it needs it.
class TripHooks
{
public:
    virtual ~TripHooks() = default;

    // Polling begins: a new trip.
    virtual void startTrip() = 0;
    // An error answer ended a trip that used fuel, or the window closes.
    virtual void endTrip() = 0;
    virtual bool tripActive() const = 0;
    virtual void setTripActive(bool active) = 0;
    virtual double fuelUsed() const = 0;

    // The port opened: the next speed sample has no predecessor.
    virtual void portOpened() = 0;
    // A vehicle-speed answer, taken at tick sampleTime, corrected speed in km/h.
    virtual void processSpeedSample(quint32 sampleTime, int speed) = 0;
    // A manifold-pressure or air-flow answer has been stored and the next request written.
    virtual void updateFuelModel() = 0;
};

#pragma once

#include <QtGlobal>

// The current engine readings. Nothing resets them between trips or reconnections.
struct LiveReadings
{
    double engineSpeed = 0;         // rpm
    double previousEngineSpeed = 0; // rpm, before the latest engine-speed answer
    int vehicleSpeed = 0;           // km/h, after the speed factor
    int manifoldPressure = 0;       // kPa
    int intakeAirTemperature = 0;   // °C
    double airFlow = 0;             // g/s
    double fuelFlow = 0;            // ml/h
    double instantConsumption = 0;  // l/100 km, running mean; 0 when the port opens
};

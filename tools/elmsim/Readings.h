#pragma once

// What the simulated engine unit knows at one moment, in engineering units. The answer builder
// turns these into data bytes, so rounding happens in exactly one place.
struct Readings
{
    double rpm = 0;
    double speedKmh = 0;
    double mapKpa = 0;
    double mafGs = 0;
    double intakeC = 0;
    double coolantC = 0;
    double volts = 0;
};

#pragma once

#include "Readings.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The simulated car: readings as a pure function of scenario time and seed, so a run can be
// repeated exactly and a reading never depends on how often it was asked for.
//
// Drive: ignition on with the engine off for a few seconds, then a loop of kLoopSeconds:
// idle, city stop-and-go up to about 50 km/h, highway at 100-110 km/h, slowing to a stop.
// Idle: the engine idles for ever. In both the coolant warms from the ambient temperature
// towards 90 degrees over several minutes of running.
class DriveScenario
{
public:
    enum class Kind
    {
        Drive,
        Idle
    };

    static constexpr double kLoopSeconds = 300;
    static constexpr double kEngineStartSeconds = 5;

    DriveScenario(Kind kind, std::uint32_t seed);

    static std::optional<Kind> kindFromName(std::string_view name);

    Readings at(double seconds) const;

    // Holds one reading at an exact value ("auto" gives it back to the scenario). Keys: rpm,
    // speed, map, maf, iat, coolant, volts. Returns an error text, empty on success.
    std::string pin(std::string_view key, std::string_view value);

    double ambientC() const { return m_ambientC; }

private:
    Readings model(double seconds) const;
    double noise(int channel, double seconds, double period) const;

    Kind m_kind;
    std::uint32_t m_seed;
    double m_ambientC;
    std::array<std::optional<double>, 7> m_pinned;
};

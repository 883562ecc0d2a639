#include "DriveScenario.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

struct ProfilePoint
{
    double seconds;
    double speedKmh;
};

// Speed over one loop, eased between the points so that acceleration never jumps.
// clang-format off
constexpr std::array<ProfilePoint, 18> kProfile = {{
    {0, 0},     {30, 0},    {42, 45},   {58, 48},   {68, 0},    {82, 0},
    {92, 30},   {102, 32},  {110, 0},   {122, 0},   {135, 50},  {152, 50},
    {172, 105}, {200, 108}, {225, 102}, {245, 106}, {275, 0},   {300, 0},
}};
// clang-format on
static_assert(kProfile.back().seconds == DriveScenario::kLoopSeconds);

// Engine revolutions per km/h in each gear, picked so that 5th gives about 2800 rpm at
// 105 km/h; shift points differ when accelerating, as a driver shifts up later under load.
constexpr std::array<double, 5> kGearRatio = {118, 66, 45, 34, 26.7};
constexpr std::array<double, 4> kUpshiftKmh = {17, 32, 48, 68};
constexpr std::array<double, 4> kCruiseGearKmh = {12, 24, 38, 58};

constexpr double kIdleRpm = 800;
constexpr double kDisplacementLitres = 2.3;
constexpr double kWarmCoolantC = 90;
constexpr double kWarmUpSeconds = 240;
constexpr double kBaroKpa = 99;

enum Channel
{
    kSpeedNoise = 1,
    kRpmNoise,
    kMapNoise,
    kIntakeNoise,
    kVoltsNoise,
    kCoolantNoise,
};

struct PinKey
{
    std::string_view name;
    double min;
    double max;
};
// Limits are what the data bytes can carry, so a pinned value always goes out unchanged.
constexpr std::array<PinKey, 7> kPinKeys = {{
    {"rpm", 0, 16383.75},
    {"speed", 0, 255},
    {"map", 0, 255},
    {"maf", 0, 655.35},
    {"iat", -40, 215},
    {"coolant", -40, 215},
    {"volts", 0, 99.9},
}};

std::uint64_t mix(std::uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// Uniform in [0, 1).
double unit(std::uint64_t key)
{
    return static_cast<double>(mix(key) >> 11) * 0x1.0p-53;
}

double smoothstep(double f)
{
    return f * f * (3 - 2 * f);
}

void speedAt(double loopSeconds, double& speedKmh, double& accelKmhPerS)
{
    std::size_t i = 0;
    while (i + 2 < kProfile.size() && loopSeconds >= kProfile[i + 1].seconds)
        ++i;
    const ProfilePoint& from = kProfile[i];
    const ProfilePoint& to = kProfile[i + 1];
    const double span = to.seconds - from.seconds;
    const double f = std::clamp((loopSeconds - from.seconds) / span, 0.0, 1.0);
    const double delta = to.speedKmh - from.speedKmh;
    speedKmh = from.speedKmh + delta * smoothstep(f);
    accelKmhPerS = delta * 6 * f * (1 - f) / span;
}

int gearFor(double speedKmh, bool accelerating)
{
    const auto& limits = accelerating ? kUpshiftKmh : kCruiseGearKmh;
    int gear = 0;
    for (std::size_t i = 0; i < limits.size(); ++i) {
        if (speedKmh > limits[i])
            gear = static_cast<int>(i) + 1;
    }
    return gear;
}

} // namespace

DriveScenario::DriveScenario(Kind kind, std::uint32_t seed)
    : m_kind(kind), m_seed(seed), m_ambientC(16 + 6 * unit(seed))
{
}

std::optional<DriveScenario::Kind> DriveScenario::kindFromName(std::string_view name)
{
    if (name == "drive")
        return Kind::Drive;
    if (name == "idle")
        return Kind::Idle;
    return std::nullopt;
}

double DriveScenario::noise(int channel, double seconds, double period) const
{
    // Smooth value noise: random levels at whole periods, eased in between, so a reading
    // wanders a little instead of jumping between two polls.
    const double x = seconds / period;
    const double k = std::floor(x);
    const std::uint64_t stream = mix((std::uint64_t(m_seed) << 8) | std::uint64_t(channel));
    const auto level = [&](double step) {
        return 2 * unit(stream + static_cast<std::uint64_t>(static_cast<std::int64_t>(step))) - 1;
    };
    return std::lerp(level(k), level(k + 1), smoothstep(x - k));
}

Readings DriveScenario::model(double seconds) const
{
    Readings r;
    const double engineStart = m_kind == Kind::Drive ? kEngineStartSeconds : 0;
    if (seconds < engineStart) {
        // Ignition on, engine not yet started: the manifold sits at barometric pressure.
        r.mapKpa = kBaroKpa + 0.3 * noise(kMapNoise, seconds, 1.7);
        r.intakeC = m_ambientC + 4;
        r.coolantC = m_ambientC;
        r.volts = 12.4 + 0.02 * noise(kVoltsNoise, seconds, 2.3);
        return r;
    }

    const double running = seconds - engineStart;
    double speed = 0;
    double accel = 0;
    if (m_kind == Kind::Drive)
        speedAt(std::fmod(running, kLoopSeconds), speed, accel);
    if (speed > 0.5)
        speed =
            std::max(0.0, speed + 0.4 * noise(kSpeedNoise, running, 3) * std::min(1.0, speed / 20));

    const double warm = 1 - std::exp(-running / kWarmUpSeconds);
    double coolant = m_ambientC + (kWarmCoolantC - m_ambientC) * warm;
    // Once the thermostat opens the temperature swings gently around its set point.
    const double thermostat = std::clamp((coolant - 85) / 5, 0.0, 1.0);
    coolant += 1.5 * thermostat * std::sin(2 * std::numbers::pi * running / 97);
    r.coolantC = coolant + 0.2 * noise(kCoolantNoise, running, 5);

    const double idleRpm = kIdleRpm + 12 * noise(kRpmNoise, running, 2.5);
    const bool accelerating = accel > 0.3;
    // Standing still, or rolling to a stop with the clutch down.
    const bool idling = (speed < 0.5 && !accelerating) || (accel < -0.3 && speed < 12);
    double load;
    if (idling) {
        r.rpm = idleRpm;
        load = 0.08;
    } else {
        double rpm = speed * kGearRatio[gearFor(speed, accelerating)];
        if (accelerating && speed < 10)
            rpm = std::max(rpm, 1100 + 40 * speed); // pulling away on the clutch
        r.rpm = std::max(rpm + 10 * noise(kRpmNoise, running, 1.3), idleRpm);
        // Road load plus what the acceleration takes; braking harder than the car rolls out
        // closes the throttle and cuts the fuel.
        load = accel < -1 ? 0.03 : 0.1 + 0.3 * std::pow(speed / 110, 2) + 0.1 * accel;
    }
    load = std::clamp(load, 0.03, 1.0);
    r.speedKmh = speed;
    r.mapKpa = std::clamp(28 + 70 * load + 0.8 * noise(kMapNoise, running, 1.7), 30.0, 100.0);

    // Air warms in the engine bay while the car stands and cools again with the head wind.
    r.intakeC = m_ambientC + 4 + 9 * warm * (1 - std::min(speed, 80.0) / 80) +
                0.3 * noise(kIntakeNoise, running, 7);

    // Speed-density: what a 2.3 l engine draws at this pressure, temperature and speed.
    const double density = 1.2929 * 273.15 / (273.15 + r.intakeC) * r.mapKpa / 101.325;
    const double efficiency = 0.65 + 0.25 * load;
    r.mafGs = efficiency * density * kDisplacementLitres * r.rpm / 120;

    r.volts = 14.0 + 0.2 * std::clamp((r.rpm - kIdleRpm) / 1600, 0.0, 1.0) +
              0.03 * noise(kVoltsNoise, running, 2.3);
    return r;
}

Readings DriveScenario::at(double seconds) const
{
    Readings r = model(std::max(0.0, seconds));
    double* fields[] = {&r.rpm,     &r.speedKmh, &r.mapKpa, &r.mafGs,
                        &r.intakeC, &r.coolantC, &r.volts};
    for (std::size_t i = 0; i < m_pinned.size(); ++i) {
        if (m_pinned[i])
            *fields[i] = *m_pinned[i];
    }
    return r;
}

std::string DriveScenario::pin(std::string_view key, std::string_view value)
{
    const auto it = std::find_if(kPinKeys.begin(), kPinKeys.end(),
                                 [&](const PinKey& k) { return k.name == key; });
    if (it == kPinKeys.end())
        return "unknown key '" + std::string(key) + "' (rpm, speed, map, maf, iat, coolant, volts)";
    std::optional<double>& slot = m_pinned[it - kPinKeys.begin()];
    if (value == "auto") {
        slot.reset();
        return {};
    }
    double number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error != std::errc() || end != value.data() + value.size() || value.empty() ||
        !std::isfinite(number))
        return "not a number: '" + std::string(value) + "'";
    if (number < it->min || number > it->max) {
        char range[64];
        std::snprintf(range, sizeof range, "%g..%g", it->min, it->max);
        return std::string(key) + " must be within " + range;
    }
    slot = number;
    return {};
}

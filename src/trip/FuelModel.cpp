#include "trip/FuelModel.h"

#include "common/ErrorReporter.h"
#include "common/NumberFormat.h"
#include "display/DisplayState.h"
#include "link/LiveReadings.h"
#include "settings/SettingsState.h"
#include "trip/TripTotals.h"

#include <optional>

namespace {

constexpr double kChargeDivisor = 2000;       // cm3 per two revolutions -> charge per revolution
constexpr double kAirMolarMass = 28.98;       // g/mol
constexpr double kZeroCelsius = 273.15;       // K
constexpr double kGasConstant = 8.31441;      // J/(mol K)
constexpr double kTempCorrection = 0.001;     // per degree from kReferenceTemp
constexpr int kReferenceTemp = 20;            // °C
constexpr double kFuelFlowDivisor = 122.22;   // g/s of air -> ml/h of fuel, with 10 x 3600
constexpr double kConsumptionDivisor = 11172; // instantaneous l/100 km
constexpr quint32 kLongestInterval = 2400;    // ms; a longer gap between samples counts no fuel
constexpr double kMsPerHour = 3600000;
constexpr int kMovingAbove = 2;   // km/h
constexpr double kOffScale = 100; // l/100 km shown as ">>>"

QString offScaleText()
{
    return QStringLiteral(">>>");
}

// The stored text of a label read back as the number a gauge shows.
std::optional<double> readBack(const DisplayState& display, DisplayId label)
{
    return NumberFormat::tryParseDecimal(display.text(label));
}

} // namespace

FuelModel::FuelModel(LiveReadings& readings, TripTotals& totals, SettingsState& settings,
                     DisplayState& display, ErrorReporter& errors)
    : m_readings(readings), m_totals(totals), m_settings(settings), m_display(display),
      m_errors(errors)
{
}

double FuelModel::ConsumptionToBar(double consumption)
{
    if (consumption > 30)
        return (consumption - 30) * 0.57 + 60;
    return consumption * 2;
}

std::optional<qint32> FuelModel::wholeSetting(const QString& what, const QString& text)
{
    try {
        return NumberFormat::parseWholeNumber(text);
    } catch (const NumberFormat::ConversionError& e) {
        // The message names the text, so a fault that recurs with every answer is reported
        // once until the text changes.
        m_errors.report(what + QStringLiteral(": ") + e.message());
        return std::nullopt;
    }
}

void FuelModel::UpdateFuelModel()
{
    const int airTemp = m_readings.intakeAirTemperature;

    // Speed density: half the displacement per revolution, filled to kor percent at the
    // manifold pressure and the intake temperature. With MAF the measured flow stands.
    if (m_settings.mapMaf() == SettingsState::kMap) {
        const auto kor =
            wholeSetting(QStringLiteral("Volumetric correction"), m_settings.kor().text());
        if (!kor)
            return;
        const auto vd = wholeSetting(QStringLiteral("Engine displacement"), m_settings.vd());
        if (!vd)
            return;
        const double a =
            (*kor / 100.0) * (m_readings.engineSpeed / 60) * m_readings.manifoldPressure;
        m_readings.airFlow =
            (*vd / kChargeDivisor) * a * kAirMolarMass / ((airTemp + kZeroCelsius) * kGasConstant);
    }
    const double airFlow = m_readings.airFlow;

    // The gauges show the label's text, not the unrounded figure.
    m_display.setText(DisplayId::MPGLabel, NumberFormat::fixed(airFlow, 1));
    if (const auto shown = readBack(m_display, DisplayId::MPGLabel))
        m_display.setValue(DisplayId::GaugeAirMPG, *shown);

    // The temperature difference is whole degrees.
    const double tempFactor = 1 + (airTemp - kReferenceTemp) * kTempCorrection;
    m_readings.fuelFlow = tempFactor * 10 * 3600 * airFlow / kFuelFlowDivisor;
    const double fuelFlow = m_readings.fuelFlow;

    m_display.setText(DisplayId::MPG1, NumberFormat::fixed(fuelFlow / 1000, 1));
    if (const auto shown = readBack(m_display, DisplayId::MPG1))
        m_display.setValue(DisplayId::GaugeMPG1, *shown);

    const bool currentTripShown = m_display.index(DisplayId::RadioGroup1) == 0;
    const int speed = m_readings.vehicleSpeed;

    // The first sample after the port opened has the whole tick count as its interval, so
    // it counts nothing.
    if (m_totals.sampleInterval < kLongestInterval) {
        const double burnt = (fuelFlow / 1000) * m_totals.sampleInterval / kMsPerHour;
        m_totals.fuelUsed += burnt;
        m_totals.fuelInTank -= burnt;
        if (speed > kMovingAbove)
            m_totals.fuelUsedMoving += burnt;
        m_display.setText(DisplayId::LabelTopl, NumberFormat::fixed(m_totals.fuelUsed, 2));
        if (currentTripShown)
            m_display.setText(DisplayId::LabelTopl2, NumberFormat::fixed(m_totals.fuelUsed, 1));
    }

    // A running mean; while standing the last value is kept and the bar shows full.
    if (speed >= 1) {
        const double fresh = tempFactor * 3600 * airFlow * 100 / kConsumptionDivisor / speed;
        double& mean = m_readings.instantConsumption;
        mean = mean != 0 ? (fresh + mean) / 2 : fresh;
        m_display.setText(DisplayId::LabelFuel,
                          mean >= kOffScale ? offScaleText() : NumberFormat::fixed(mean, 1));
        m_display.setValue(DisplayId::GaugeMPG, ConsumptionToBar(mean));
    } else {
        m_display.setValue(DisplayId::GaugeMPG, 100);
        m_display.setText(DisplayId::LabelFuel, offScaleText());
    }

    if (m_totals.distance != 0) {
        const double average = m_totals.fuelUsed / m_totals.distance * 100;
        const QString text =
            average >= kOffScale ? offScaleText() : NumberFormat::fixed(average, 1);
        m_display.setText(DisplayId::LabelRashod, text);
        if (currentTripShown)
            m_display.setText(DisplayId::LabelRashod2, text);
    }

    // Every pass, counted or not; the edit clamps to 0..100 and the level follows it.
    m_display.setTankText(NumberFormat::fixed(m_totals.fuelInTank, 2));
}

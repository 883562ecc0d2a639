#include "app/Imitation.h"

#include "common/NumberFormat.h"
#include "display/DisplayState.h"
#include "display/NeedleAnimation.h"
#include "link/LiveReadings.h"
#include "trip/FuelModel.h"

#include <QTime>

#include <cstdlib>

using NumberFormat::fixed;

Imitation::Imitation(DisplayState& display, LiveReadings& readings, NeedleAnimation& needle,
                     QObject* parent)
    : QObject(parent)
    , m_display(display)
    , m_readings(readings)
    , m_needle(needle)
{
    random = [](int n) { return n > 0 ? std::rand() % n : 0; };
    m_timer.setInterval(kTimerImitationMs);
    connect(&m_timer, &QTimer::timeout, this, &Imitation::TimerImitationTimer);
    connect(&m_display, &DisplayState::changed, this, [this](DisplayId id) {
        if (id == DisplayId::CheckBoxImitation)
            CheckBoxImitationClick();
    });
}

void Imitation::CheckBoxImitationClick()
{
    if (m_display.isChecked(DisplayId::CheckBoxImitation)) {
        if (startExport)
            startExport();
        if (!m_timer.isActive())
            m_timer.start();
    } else {
        m_timer.stop(); // the export goes on
    }
}

void Imitation::TimerImitationTimer()
{
    DisplayState& d = m_display;
    auto R = [this](int n) { return random(n); };
    auto number = [&d](DisplayId id) { return NumberFormat::tryParseDecimal(d.text(id)).value_or(0.0); };

    d.setText(DisplayId::LabelSpeed, QString::number(R(200)));
    d.setText(DisplayId::LabelSpeedMaxOut, QString::number(R(200)));
    d.setText(DisplayId::LabelSpeedMax, d.text(DisplayId::LabelSpeedMaxOut));
    d.setText(DisplayId::Pressure, QString::number(R(33)));
    d.setValue(DisplayId::GaugePressure, number(DisplayId::Pressure));
    d.setText(DisplayId::airTemp, QString::number(R(75)));
    d.setValue(DisplayId::ThermometerAirTemp, number(DisplayId::airTemp));
    d.setText(DisplayId::LabelTempEng, QString::number(R(95)));
    d.setText(DisplayId::LabelTempEng1, d.text(DisplayId::LabelTempEng));
    d.setValue(DisplayId::ThermometerTempEng1, number(DisplayId::LabelTempEng));
    d.setValue(DisplayId::ThermometerEng, R(95));
    m_readings.previousEngineSpeed = m_readings.engineSpeed;
    m_readings.engineSpeed = R(7000);
    d.setText(DisplayId::LabelNapr, fixed(R(25) / 2.0, 1));
    d.setValue(DisplayId::GaugeNapr, number(DisplayId::LabelNapr));
    d.setText(DisplayId::LabelRPM, fixed(m_readings.engineSpeed, 0));
    m_needle.start(m_readings.previousEngineSpeed, m_readings.engineSpeed);
    d.setCaption(DisplayId::GaugeRPM, fixed(m_readings.engineSpeed, 0));
    const int n = R(100);
    d.setText(DisplayId::LabelTank, QString::number(n));
    d.setValue(DisplayId::ProgressBarFuel, n);
    d.setText(DisplayId::LabelDistance, fixed(R(500) / 7.0, 1));
    d.setText(DisplayId::LabelDistance2, fixed(R(500) / 7.0, 1));
    d.setText(DisplayId::LabelSpeedSr, fixed(R(500) / 7.0, 1));
    d.setText(DisplayId::LabelSpeedSrOut, d.text(DisplayId::LabelSpeedSr));
    d.setText(DisplayId::LabelTopl, fixed(R(15) / 3.0 * 5, 2));
    d.setText(DisplayId::LabelTopl2, fixed(R(15) / 3.0 * 5, 1));
    d.setText(DisplayId::LabelRashod, fixed(R(10) / 3.0 * 10, 1));
    d.setText(DisplayId::LabelRashod2, fixed(R(10) / 3.0 * 10, 1));
    const double c = R(300) / 3.0;
    d.setText(DisplayId::LabelFuel, fixed(c, 1));
    // The tank edit's change handler recomputes the tank bar and LabelTank from it.
    d.setTankValue(R(50));
    d.setText(DisplayId::DistPred, fixed(R(400) / 2.0, 1));
    d.setValue(DisplayId::GaugeMPG, FuelModel::ConsumptionToBar(c));
    d.setText(DisplayId::MPG1, fixed(R(13) / 3.0 * 5, 1));
    d.setValue(DisplayId::GaugeMPG1, number(DisplayId::MPG1));
    d.setText(DisplayId::MPGLabel, fixed(R(66) / 3.0 * 5, 1));
    d.setValue(DisplayId::GaugeAirMPG, number(DisplayId::MPGLabel));
    QTime time = QTime::fromString(d.text(DisplayId::LabelTime), QStringLiteral("hh:mm:ss"));
    if (!time.isValid())
        time = QTime(0, 0);
    d.setText(DisplayId::LabelTime, time.addSecs(1).toString(QStringLiteral("hh:mm:ss")));
}

#include "link/PidPoller.h"

#include "common/NumberFormat.h"
#include "common/Win1251.h"
#include "display/DisplayState.h"
#include "link/HexText.h"
#include "link/SerialLink.h"
#include "link/TripHooks.h"
#include "platform/Clock.h"
#include "settings/SettingsState.h"

#include <QLocale>

#include <algorithm>
#include <limits>

namespace {

constexpr int kPollPeriod = 31;

qint32 wrapSub(qint32 value, qint32 sub)
{
    return static_cast<qint32>(static_cast<quint32>(value) - static_cast<quint32>(sub));
}

int toInt(qint64 v)
{
    return static_cast<int>(std::clamp<qint64>(v, std::numeric_limits<int>::min(),
                                               std::numeric_limits<int>::max()));
}

} // namespace

PidPoller::PidPoller(SerialLink& link, SettingsState& settings, DisplayState& display,
                     Clock& clock, QObject* parent)
    : QObject(parent)
    , m_link(link)
    , m_settings(settings)
    , m_display(display)
    , m_clock(clock)
{
}

PidPoller::Reading PidPoller::recognise(const QByteArray& a)
{
    if (a.contains("41 0C") || a.contains("61 0C"))
        return Reading::EngineSpeed;
    if (a.contains("41 0D") || a.contains("61 0D"))
        return Reading::VehicleSpeed;
    if (a.contains("41 0B") || a.contains("61 0B"))
        return Reading::ManifoldPressure;
    if (a.contains("41 10") || a.contains("61 10"))
        return Reading::AirFlow;
    if (a.contains("41 0F") || a.contains("61 0F"))
        return Reading::IntakeAir;
    if (a.contains("41 05") || a.contains("61 05"))
        return Reading::Coolant;
    if (a.contains("at rv"))
        return Reading::Voltage;
    return Reading::None;
}

QByteArray PidPoller::dataDigits(const QByteArray& answer, bool fastPolling, int dataBytes)
{
    const QByteArray stripped = HexText::stripSpaces(answer);
    const int header = fastPolling ? 9 : 8;
    return stripped.mid(header, 2 * dataBytes);
}

qint32 PidPoller::dataValue(const QByteArray& answer, int dataBytes) const
{
    return HexText::hexToInt(dataDigits(answer, m_settings.fastPulling(), dataBytes));
}

QByteArray PidPoller::pidRequest(const QByteArray& pid) const
{
    QByteArray request = m_settings.toyota21() ? QByteArrayLiteral("21 ") : QByteArrayLiteral("01 ");
    request += pid;
    if (m_settings.fastPulling())
        request += " 1";
    request += '\r';
    return request;
}

void PidPoller::sendPid(const QByteArray& pid)
{
    m_link.sendText(pidRequest(pid));
    ++m_requests;
}

void PidPoller::handlePolling(QByteArray& answer)
{
    switch (recognise(answer)) {
    case Reading::EngineSpeed:
        decodeEngineSpeed(answer);
        break;
    case Reading::VehicleSpeed:
        decodeVehicleSpeed(answer);
        break;
    case Reading::ManifoldPressure:
        decodeManifoldPressure(answer);
        break;
    case Reading::AirFlow:
        decodeAirFlow(answer);
        break;
    case Reading::IntakeAir:
        decodeIntakeAir(answer);
        break;
    case Reading::Coolant:
        decodeCoolant(answer);
        break;
    case Reading::Voltage:
        decodeVoltage(answer);
        break;
    case Reading::None:
        // Not recognised: no request follows and the cycle rests.
        break;
    }
}

void PidPoller::handleOutsidePolling(QByteArray& answer)
{
    if (answer.contains("at rv"))
        decodeVoltage(answer);
}

void PidPoller::decodeEngineSpeed(QByteArray& answer)
{
    const qint32 raw = dataValue(answer, 2);
    m_readings.previousEngineSpeed = m_readings.engineSpeed;
    m_readings.engineSpeed = raw / 4.0;
    const QString text = NumberFormat::fixed(m_readings.engineSpeed, 0);
    m_display.setText(DisplayId::LabelRPM, text);
    Q_EMIT engineSpeedDecoded();
    m_display.setCaption(DisplayId::GaugeRPM, text);
    m_link.lightLamp(SerialLink::Lamp::Ecu);
    answer.clear();
    m_link.sendText(QByteArrayLiteral("at rv\r"));
    ++m_requests;
    ++m_pollCounter;
    if (m_pollCounter == kPollPeriod)
        m_pollCounter = 0;
}

void PidPoller::decodeVehicleSpeed(QByteArray& answer)
{
    const quint32 sampleTime = m_clock.tickMs();
    const qint32 raw = dataValue(answer, 1);
    const int speed = toInt(NumberFormat::roundHalfEven(m_settings.kSpeed().value() * raw));
    m_readings.vehicleSpeed = speed;
    m_display.setText(DisplayId::LabelSpeed, QString::number(speed));
    answer.clear();
    if (m_trip)
        m_trip->processSpeedSample(sampleTime, speed);
    sendPid(m_settings.mapMaf() == SettingsState::kMap ? QByteArrayLiteral("0B")
                                                       : QByteArrayLiteral("10"));
}

void PidPoller::decodeManifoldPressure(QByteArray& answer)
{
    m_readings.manifoldPressure = dataValue(answer, 1);
    const QString text = QString::number(m_readings.manifoldPressure);
    m_display.setText(DisplayId::Pressure, text);
    m_display.setValue(DisplayId::GaugePressure, m_readings.manifoldPressure);
    answer.clear();
    if (m_pollCounter == 0)
        sendPid(QByteArrayLiteral("0F"));
    else if (m_pollCounter == 15)
        sendPid(QByteArrayLiteral("05"));
    else
        sendPid(QByteArrayLiteral("0C"));
    // The next request is on its way; the model computes while the adapter works.
    if (m_trip)
        m_trip->updateFuelModel();
}

void PidPoller::decodeAirFlow(QByteArray& answer)
{
    m_readings.airFlow = dataValue(answer, 2) / 100.0;
    answer.clear();
    if (m_pollCounter == 0)
        sendPid(QByteArrayLiteral("0F"));
    else if (m_pollCounter == 30)
        sendPid(QByteArrayLiteral("05"));
    else
        sendPid(QByteArrayLiteral("0C"));
    if (m_trip)
        m_trip->updateFuelModel();
}

void PidPoller::decodeIntakeAir(QByteArray& answer)
{
    m_readings.intakeAirTemperature = wrapSub(dataValue(answer, 1), 40);
    m_display.setText(DisplayId::airTemp, QString::number(m_readings.intakeAirTemperature));
    m_display.setValue(DisplayId::ThermometerAirTemp, m_readings.intakeAirTemperature);
    answer.clear();
    sendPid(QByteArrayLiteral("0C"));
}

void PidPoller::decodeCoolant(QByteArray& answer)
{
    const qint32 t = wrapSub(dataValue(answer, 1), 40);
    const QString text = QString::number(t);
    m_display.setText(DisplayId::LabelTempEng, text);
    m_display.setValue(DisplayId::ThermometerEng, t);
    m_display.setText(DisplayId::LabelTempEng1, m_display.text(DisplayId::LabelTempEng));
    m_display.setValue(DisplayId::ThermometerTempEng1, t);
    answer.clear();
    sendPid(QByteArrayLiteral("0C"));
}

void PidPoller::decodeVoltage(QByteArray& answer)
{
    // The echo "at rv" goes, then the unit letter; blanks stay.
    QByteArray rest = answer.mid(5);
    const qsizetype v = rest.indexOf('V');
    if (v >= 0)
        rest.remove(v, 1);
    const QString text = Win1251::decode(rest);
    m_display.setText(DisplayId::LabelNapr, text);
    if (const auto volts = NumberFormat::tryParseDecimal(text))
        m_display.setValue(DisplayId::GaugeNapr, *volts);
    else
        QLocale::setDefault(QLocale::c()); // the adapter writes its numbers with a point
    sendPid(QByteArrayLiteral("0D"));
}

#pragma once

#include "link/LiveReadings.h"

#include <QByteArray>
#include <QObject>

class Clock;
class DisplayState;
class SerialLink;
class SettingsState;
class TripHooks;

// The reading cycle: each recognised answer is decoded, shown, handed to the trip computer
// where it needs it, and followed by exactly one request. No timer paces it; an answer that
// is not recognised stops it until the connection enters polling again.
class PidPoller : public QObject
{
    Q_OBJECT

public:
    enum class Reading { None, EngineSpeed, VehicleSpeed, ManifoldPressure, AirFlow, IntakeAir,
                         Coolant, Voltage };

    PidPoller(SerialLink& link, SettingsState& settings, DisplayState& display, Clock& clock,
              QObject* parent = nullptr);

    void setTripHooks(TripHooks* hooks) { m_trip = hooks; }

    // Which reading an answer holds, by the first marker found in the fixed order.
    static Reading recognise(const QByteArray& answer);
    // The data bytes of a reading after the echo and header (8 characters, 9 with fast
    // polling, once the blanks are gone), limited to the reading's own size so that a second
    // control unit's reply is not read into the number.
    static QByteArray dataDigits(const QByteArray& answer, bool fastPolling, int dataBytes);

    // "01 " or "21 ", the PID, " 1" with fast polling, CR.
    QByteArray pidRequest(const QByteArray& pid) const;
    void sendPid(const QByteArray& pid);

    // In Polling: all seven recognitions. Elsewhere: only the voltage.
    void handlePolling(QByteArray& lastAnswer);
    void handleOutsidePolling(QByteArray& lastAnswer);

    int pollCounter() const { return m_pollCounter; }
    void setPollCounter(int value) { m_pollCounter = value; }
    LiveReadings& readings() { return m_readings; }
    const LiveReadings& readings() const { return m_readings; }
    quint64 requestsSent() const { return m_requests; }

Q_SIGNALS:
    // A new engine speed is stored; the needle moves from the previous one.
    void engineSpeedDecoded();

private:
    void decodeEngineSpeed(QByteArray& answer);
    void decodeVehicleSpeed(QByteArray& answer);
    void decodeManifoldPressure(QByteArray& answer);
    void decodeAirFlow(QByteArray& answer);
    void decodeIntakeAir(QByteArray& answer);
    void decodeCoolant(QByteArray& answer);
    void decodeVoltage(QByteArray& answer);
    qint32 dataValue(const QByteArray& answer, int dataBytes) const;

    SerialLink& m_link;
    SettingsState& m_settings;
    DisplayState& m_display;
    Clock& m_clock;
    TripHooks* m_trip = nullptr;
    LiveReadings m_readings;
    int m_pollCounter = 0;
    quint64 m_requests = 0;
};

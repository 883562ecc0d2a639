#pragma once

#include "link/LinkState.h"

#include <QObject>
#include <QTimer>

#include <functional>

class AnswerFraming;
class Clock;
class DisplayState;
class ErrorReporter;
class PidPoller;
class SerialLink;
class SettingsState;
class TraceLog;
class TripHooks;

// Brings the link from a closed port to polling and back whenever something goes wrong.
// The initialisation timer does what needs no answer (reopen the port, send the protocol
// commands, probe the ECU); the answers move the state on through the dispatcher. Error
// answers, and a device that fails while open, send it back to Reconnect.
class AdapterConnection : public QObject
{
    Q_OBJECT

public:
    static constexpr int kTimerIniMs = 400;
    static constexpr int kWatchdogCheckMs = 250;

    AdapterConnection(SerialLink& link, AnswerFraming& framing, PidPoller& poller,
                      SettingsState& settings, DisplayState& display, TraceLog& trace,
                      ErrorReporter& errors, Clock& clock, QObject* parent = nullptr);

    void setTripHooks(TripHooks* hooks) { m_trip = hooks; }

    // How long an answer may take before the adapter counts as gone: an adapter that falls
    // silent, or an answer the cycle does not recognise, would otherwise stop the link for
    // good. Generous where the adapter searches for the protocol.
    struct AnswerTimeouts
    {
        int waitAdapterMs = 10000;
        int setProtocolMs = 10000;
        int waitEcuMs = 30000;
        int pollingMs = 5000;
    };
    void setAnswerTimeouts(const AnswerTimeouts& timeouts) { m_timeouts = timeouts; }
    QTimer& answerWatchdog() { return m_answerWatchdog; }

    LinkState linkState() const { return m_state; }
    void setLinkState(LinkState state) { m_state = state; }
    int initLineIndex() const { return m_initLineIndex; }
    QTimer& timerIni() { return m_timerIni; }

    // The start-up's own open: a failure is swallowed and the link stays in Reconnect with
    // the timer off, waiting for the user or a resume.
    void openAtStartup();
    // The user changed the port or the rate text on the settings page.
    void ComPortBaudChange();
    // The window closes: the port is closed (its close handler runs).
    void closePort();

    // The program is closing: no tick reopens the port or sends any more.
    void stopTimers();

    // Enabling a running timer does not restart its period.
    void enableTimerIni();

    // Handlers.
    void TimerIniTimer();
    void ApdComPort1PortOpen();
    void AnswerDispatcher();

Q_SIGNALS:
    // Polling begins: the export timer starts and the imitation stops.
    void pollingStarted();

private:
    void reconnectBlock();
    void setProtocolBlock();
    void waitEcuBlock();
    void handleErrorAnswer(bool timerFirst);
    void startPolling();
    void onDeviceFailed(const QString& reason);
    void armAnswerWatchdog();
    int answerTimeoutMs() const;
    void onAnswerOverdue();
    void runHandler(const char* name, const std::function<void()>& body);

    SerialLink& m_link;
    AnswerFraming& m_framing;
    PidPoller& m_poller;
    SettingsState& m_settings;
    DisplayState& m_display;
    TraceLog& m_trace;
    ErrorReporter& m_errors;
    Clock& m_clock;
    TripHooks* m_trip = nullptr;

    LinkState m_state = LinkState::Reconnect;
    QTimer m_timerIni;
    QTimer m_answerWatchdog;
    quint32 m_lastActivity = 0;
    bool m_watching = false;
    AnswerTimeouts m_timeouts;
    int m_initLineIndex = 0;
};

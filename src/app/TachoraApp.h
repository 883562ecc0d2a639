#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include "link/SerialPortDevice.h"

#include <memory>

class Clock;
class DisplayState;
class ErrorReporter;
class InstanceGuard;
class PowerEvents;
class SettingsState;
class TraceLog;

class SerialLink;
class AnswerFraming;
class PidPoller;
class AdapterConnection;
class TripLog;
class NeedleAnimation;
class Imitation;
class Navigation;
class TripComputer;
class TripStatistics;
class HostExport;
class LocalHostTransport;

// The composition root of the trip computer without its window: it owns every core part,
// runs the start-up steps in their order, the shutdown, and the power-event handling. The
// window (ui/) is a view on top; tests drive this class directly.
class TachoraApp : public QObject
{
    Q_OBJECT

public:
    struct Paths
    {
        QString workingDir; // settings, trip log and trace files
        QString runtimeDir; // instance lock and host socket
    };

    // device: the serial device under the link; the real serial port when null.
    TachoraApp(Clock& clock, Paths paths, std::unique_ptr<SerialPortDevice> device = {},
               QObject* parent = nullptr);
    ~TachoraApp() override;

    enum class StartResult { Running, SecondInstance };
    // The start-up steps, in order. A failing step is reported and start-up goes on with the
    // next one. SecondInstance: another instance runs; the caller ends the process at once.
    StartResult formCreate(const QStringList& arguments);
    // The shutdown steps, in order; the window is closing.
    void formClose();

    // The save button: writes the settings file; a failure is reported.
    void Button1Click();

    // logind's sleep notifications.
    void suspendQuery();
    void resume();

    // Waits at least ms milliseconds by the clock while the event loop keeps running.
    void delayWithMessages(quint32 ms);

    bool testMode() const { return m_testMode; }
    Clock& clock() { return m_clock; }
    DisplayState& display() { return *m_display; }
    SettingsState& settings() { return *m_settings; }
    ErrorReporter& errors() { return *m_errors; }
    TraceLog& trace() { return *m_trace; }
    const Paths& paths() const { return m_paths; }
    SerialLink& link() { return *m_link; }
    AnswerFraming& framing() { return *m_framing; }
    PidPoller& poller() { return *m_poller; }
    AdapterConnection& connection() { return *m_connection; }
    TripLog& tripLog() { return *m_tripLog; }
    TripComputer& trip() { return *m_trip; }
    TripStatistics& statistics() { return *m_statistics; }
    NeedleAnimation& needle() { return *m_needle; }
    Navigation& navigation() { return *m_navigation; }
    HostExport& hostExport() { return *m_hostExport; }
    LocalHostTransport& hostTransport() { return *m_hostTransport; }
    Imitation& imitation() { return *m_imitation; }

private:
    void listPorts();
    void readSettings();
    void readInitCommands();
    void applyMapMaf();
    void openTripLog();

    Clock& m_clock;
    Paths m_paths;
    bool m_testMode = false;
    bool m_closing = false;
    std::unique_ptr<ErrorReporter> m_errors;
    std::unique_ptr<DisplayState> m_display;
    std::unique_ptr<SettingsState> m_settings;
    std::unique_ptr<TraceLog> m_trace;
    std::unique_ptr<InstanceGuard> m_guard;
    std::unique_ptr<PowerEvents> m_power;
    std::unique_ptr<SerialPortDevice> m_device;
    std::unique_ptr<SerialLink> m_link;
    std::unique_ptr<AnswerFraming> m_framing;
    std::unique_ptr<PidPoller> m_poller;
    std::unique_ptr<AdapterConnection> m_connection;
    std::unique_ptr<TripLog> m_tripLog;
    std::unique_ptr<TripComputer> m_trip;
    std::unique_ptr<TripStatistics> m_statistics;
    std::unique_ptr<NeedleAnimation> m_needle;
    std::unique_ptr<Navigation> m_navigation;
    std::unique_ptr<LocalHostTransport> m_hostTransport;
    std::unique_ptr<HostExport> m_hostExport;
    std::unique_ptr<Imitation> m_imitation;
};

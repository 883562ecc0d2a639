#include "app/TachoraApp.h"

#include "app/Imitation.h"

#include "common/ErrorReporter.h"
#include "display/DisplayState.h"
#include "display/Navigation.h"
#include "display/NeedleAnimation.h"
#include "host/HostExport.h"
#include "host/LocalHostTransport.h"
#include "link/AdapterConnection.h"
#include "link/AnswerFraming.h"
#include "link/PidPoller.h"
#include "link/QtSerialPortDevice.h"
#include "link/SerialLink.h"
#include "platform/Clock.h"
#include "platform/InstanceGuard.h"
#include "platform/PortNames.h"
#include "platform/PowerEvents.h"
#include "platform/RuntimeDir.h"
#include "platform/TraceLog.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsState.h"
#include "trip/TripAccounting.h"
#include "trip/TripComputer.h"
#include "trip/TripLog.h"
#include "trip/TripStatistics.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QLocale>
#include <QTimer>

#include <cstdlib>
#include <exception>

TachoraApp::TachoraApp(Clock& clock, Paths paths, std::unique_ptr<SerialPortDevice> device,
                       QObject* parent)
    : QObject(parent)
    , m_clock(clock)
    , m_paths(std::move(paths))
    , m_errors(std::make_unique<ErrorReporter>())
    , m_display(std::make_unique<DisplayState>())
    , m_settings(std::make_unique<SettingsState>())
    , m_trace(std::make_unique<TraceLog>(clock, m_paths.workingDir))
    , m_guard(std::make_unique<InstanceGuard>())
    , m_device(device ? std::move(device) : std::make_unique<QtSerialPortDevice>())
{
    m_link = std::make_unique<SerialLink>(*m_device, *m_settings, *m_display, *m_trace);
    m_framing = std::make_unique<AnswerFraming>();
    m_poller = std::make_unique<PidPoller>(*m_link, *m_settings, *m_display, m_clock);
    m_connection = std::make_unique<AdapterConnection>(*m_link, *m_framing, *m_poller, *m_settings,
                                                       *m_display, *m_trace, *m_errors, m_clock);
    m_tripLog = std::make_unique<TripLog>(
        QDir(m_paths.workingDir).filePath(TripLog::defaultFileName()), m_clock, *m_errors);
    m_trip = std::make_unique<TripComputer>(m_poller->readings(), *m_settings, *m_display, m_clock,
                                            *m_errors, *m_tripLog);
    m_statistics = std::make_unique<TripStatistics>(*m_tripLog, *m_display, m_clock);
    m_poller->setTripHooks(m_trip.get());
    m_needle = std::make_unique<NeedleAnimation>(*m_display);
    m_navigation = std::make_unique<Navigation>(*m_display);
    m_imitation = std::make_unique<Imitation>(*m_display, m_poller->readings(), *m_needle);
    // Polling stops the imitation; the check box stays as it is.
    connect(m_connection.get(), &AdapterConnection::pollingStarted, m_imitation.get(),
            [this] { m_imitation->timerImitation().stop(); });
    connect(m_poller.get(), &PidPoller::engineSpeedDecoded, this, [this] {
        m_needle->start(m_poller->readings().previousEngineSpeed, m_poller->readings().engineSpeed);
    });
    m_connection->setTripHooks(m_trip.get());
    m_hostTransport = std::make_unique<LocalHostTransport>();
    m_hostExport = std::make_unique<HostExport>(*m_display, *m_hostTransport, *m_errors);
    connect(m_connection.get(), &AdapterConnection::pollingStarted, m_hostExport.get(),
            &HostExport::enableTimerSendHost);
    m_imitation->startExport = [this] { m_hostExport->enableTimerSendHost(); };
    // Start-up (through RestoreTank), the trip reset and the end of a trip make the export
    // send the maximum speed again.
    m_trip->accounting().onMaxSpeedSentReset = [this] { m_hostExport->resetMaxSpeedSent(); };
    // The MAP group of the settings page is shown only for the manifold-pressure method.
    connect(m_settings.get(), &SettingsState::mapMafChanged, this, &TachoraApp::applyMapMaf);
}

TachoraApp::~TachoraApp() = default;

TachoraApp::StartResult TachoraApp::formCreate(const QStringList& arguments)
{
    // Numbers are written and read with a point whatever the user's locale says.
    QLocale::setDefault(QLocale::c());

    listPorts();

    if (!arguments.isEmpty() && arguments.first() == QLatin1String("test")) {
        m_testMode = true;
        try {
            m_trace->create();
        } catch (const std::exception& e) {
            m_errors->report(QString::fromUtf8(e.what()));
        }
    }

    // Only one instance drives the adapter and owns the trip log.
    const QString runtimeError = RuntimeDir::ensure(m_paths.runtimeDir);
    if (!runtimeError.isEmpty()) {
        m_errors->report(runtimeError);
    } else {
        switch (m_guard->tryAcquire(m_paths.runtimeDir)) {
        case InstanceGuard::Result::Acquired:
            break;
        case InstanceGuard::Result::HeldElsewhere:
            return StartResult::SecondInstance;
        case InstanceGuard::Result::Failed:
            // Not knowing whether another instance runs is no reason to leave a driver
            // without the trip computer: report it and go on.
            m_errors->report(m_guard->error());
            break;
        }
        // The host socket; a stale one is taken over only under the instance lock.
        const QString hostError = m_hostTransport->listen(m_paths.runtimeDir, m_guard->isHeld());
        if (!hostError.isEmpty())
            m_errors->report(hostError);
    }

    std::srand(static_cast<unsigned>(m_clock.now().toMSecsSinceEpoch()));
    m_trip->setTripActive(false);

    readSettings();
    readInitCommands();
    applyMapMaf();

    // The trip log, and the tank as the newest trip left it.
    openTripLog();

    m_connection->setLinkState(LinkState::Reconnect);
    m_connection->openAtStartup();

    m_power = std::make_unique<PowerEvents>();
    connect(m_power.get(), &PowerEvents::suspendQuery, this, &TachoraApp::suspendQuery);
    connect(m_power.get(), &PowerEvents::resumed, this, &TachoraApp::resume);
    return StartResult::Running;
}

void TachoraApp::formClose()
{
    // Nothing may reopen the port or send after this: the window is going.
    m_closing = true;
    m_connection->stopTimers();
    m_imitation->timerImitation().stop();
    // The trip first: it decides itself whether it is worth a record.
    m_trip->endTrip();
    m_connection->closePort();
    m_trace->writeLine(TraceLog::closedText());
}

void TachoraApp::Button1Click()
{
    try {
        SettingsFile(m_paths.workingDir).saveSettings(*m_settings);
    } catch (const std::exception& e) {
        m_errors->report(QString::fromUtf8(e.what()));
    }
}

void TachoraApp::suspendQuery()
{
    m_trace->writeLine(TraceLog::sleepText());
    // The port stays open and the trip goes on; answers that still come are no longer read.
    m_connection->setLinkState(LinkState::Reconnect);
    delayWithMessages(500);
}

void TachoraApp::resume()
{
    m_connection->setLinkState(LinkState::Reconnect);
    m_trip->totals().movingTimeMs = 0;
    // The next tick closes the port, waits the pause and opens it again.
    m_connection->enableTimerIni();
    m_trip->totals().tripStart = m_clock.now();
    m_tripLog->reopen();
}

void TachoraApp::delayWithMessages(quint32 ms)
{
    const quint32 start = m_clock.tickMs();
    do {
        // Wait for events in small slices so that the clock, not the event loop's own timer,
        // decides when the delay is over.
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
        // A window closed meanwhile (or SIGTERM) ends the wait: the program is going.
        if (m_closing || QCoreApplication::closingDown())
            return;
    } while (quint32(m_clock.tickMs() - start) < ms);
}

void TachoraApp::listPorts()
{
    m_settings->setComPortNumItems(PortNames::availablePorts());
    m_settings->setComPortNumText(QString());
}

void TachoraApp::readSettings()
{
    try {
        SettingsFile(m_paths.workingDir).loadSettings(*m_settings);
    } catch (const std::exception& e) {
        m_errors->report(QString::fromUtf8(e.what()));
    }
}

void TachoraApp::readInitCommands()
{
    try {
        SettingsFile(m_paths.workingDir).loadInitCommands(*m_settings);
    } catch (const std::exception& e) {
        m_errors->report(QString::fromUtf8(e.what()));
    }
}

void TachoraApp::openTripLog()
{
    // A log that cannot be read is reported by the log itself, which then starts a fresh one.
    const double tank = m_tripLog->open();
    m_trip->accounting().RestoreTank(tank);
}

void TachoraApp::applyMapMaf()
{
    m_display->setVisible(DisplayId::GroupBoxMAP, m_settings->mapMaf() == 0);
}

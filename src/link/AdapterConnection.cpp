#include "link/AdapterConnection.h"

#include "common/ErrorReporter.h"
#include "common/NumberFormat.h"
#include "common/Win1251.h"
#include "display/DisplayState.h"
#include "link/AnswerFraming.h"
#include "link/LinkError.h"
#include "link/PidPoller.h"
#include "link/SerialLink.h"
#include "link/TripHooks.h"
#include "platform/Clock.h"
#include "platform/PortNames.h"
#include "platform/TraceLog.h"
#include "settings/SettingsState.h"

#include <exception>

AdapterConnection::AdapterConnection(SerialLink& link, AnswerFraming& framing, PidPoller& poller,
                                     SettingsState& settings, DisplayState& display,
                                     TraceLog& trace, ErrorReporter& errors, Clock& clock,
                                     QObject* parent)
    : QObject(parent)
    , m_link(link)
    , m_framing(framing)
    , m_poller(poller)
    , m_settings(settings)
    , m_display(display)
    , m_trace(trace)
    , m_errors(errors)
    , m_clock(clock)
{
    m_timerIni.setInterval(kTimerIniMs);
    connect(&m_timerIni, &QTimer::timeout, this, [this] { runHandler("TimerIni", [this] { TimerIniTimer(); }); });

    // A slow periodic check against the time of the last request or answer: restarting a
    // timer at every exchange would cost more than handling the answer itself.
    m_answerWatchdog.setInterval(kWatchdogCheckMs);
    connect(&m_answerWatchdog, &QTimer::timeout, this,
            [this] { runHandler("answer watchdog", [this] { onAnswerOverdue(); }); });
    m_link.onSent = [this] { armAnswerWatchdog(); };

    m_link.onPortOpened = [this] { ApdComPort1PortOpen(); };
    m_link.onData = [this](const QByteArray& bytes) {
        runHandler("ApdComPort1TriggerAvail", [this, &bytes] { m_framing.receive(bytes); });
    };
    m_link.onDeviceFailed = [this](const QString& reason) {
        runHandler("device failure", [this, &reason] { onDeviceFailed(reason); });
    };

    m_framing.onBatch = [this] {
        m_link.lightLamp(SerialLink::Lamp::Port);
        m_link.lightLamp(SerialLink::Lamp::Adapter);
    };
    m_framing.onAnswerReceived = [this](const QByteArray& received) {
        // Counted afresh from every answer too: an answer that no request follows (one the
        // cycle does not recognise) must not leave the link waiting for ever.
        armAnswerWatchdog();
        if (m_trace.isEnabled())
            m_trace.writeLine(TraceLog::answerText(static_cast<int>(m_state), received));
    };
    m_framing.dispatch = [this] { AnswerDispatcher(); };
}

void AdapterConnection::runHandler(const char*, const std::function<void()>& body)
{
    // A handler stops at its failure and the user is told; nothing escapes into the event
    // loop.
    try {
        body();
    } catch (const std::exception& e) {
        m_errors.report(QString::fromUtf8(e.what()));
    }
}

void AdapterConnection::openAtStartup()
{
    m_state = LinkState::Reconnect;
    try {
        m_link.open();
    } catch (const std::exception&) {
        m_state = LinkState::Reconnect;
    }
}

void AdapterConnection::closePort()
{
    m_link.close();
}

void AdapterConnection::ComPortBaudChange()
{
    runHandler("ComPortBaudChange", [this] {
        QString portText = m_settings.comPortNumText();
        quint16 number = 0;
        QString path;
        if (PortNames::isPath(portText)) {
            path = portText;
        } else {
            if (portText.contains(QLatin1String("COM")))
                portText.remove(0, 3);
            const qint32 n = NumberFormat::parseWholeNumber(portText);
            if (n < 0 || n > 65535)
                throw NumberFormat::ConversionError(
                    QStringLiteral("'%1' is not a valid port number").arg(portText));
            number = static_cast<quint16>(n);
        }
        m_settings.setPortPath(path);
        if (path.isEmpty())
            m_settings.setPortNumber(number);
        const qint32 baud = NumberFormat::parseWholeNumber(m_settings.comPortBaudText());
        m_settings.setBaudRate(baud);

        m_link.close();
        m_link.configure(m_settings.portNumber(), m_settings.portPath(), m_settings.baudRate());
        m_link.open();
        m_trace.writeLine(TraceLog::portChangedText(m_link.portText(), m_settings.comBaud()));
    });
}

void AdapterConnection::ApdComPort1PortOpen()
{
    m_trace.writeLine(TraceLog::portOpenedText());
    m_state = LinkState::WaitAdapter;
    m_link.lightLamp(SerialLink::Lamp::Port);
    m_link.sendText(QByteArrayLiteral("atz\r"));
    if (m_trip)
        m_trip->portOpened();
    m_poller.readings().instantConsumption = 0.0;
}

void AdapterConnection::TimerIniTimer()
{
    // The four blocks are tested one after the other, so a state reached within the tick is
    // served in the same tick.
    if (m_state == LinkState::Reconnect)
        reconnectBlock();
    if (m_state == LinkState::WaitAdapter) {
        m_link.lightLamp(SerialLink::Lamp::Port);
        m_link.dimLamp(SerialLink::Lamp::Adapter);
        m_link.dimLamp(SerialLink::Lamp::Ecu);
    }
    if (m_state == LinkState::SetProtocol)
        setProtocolBlock();
    if (m_state == LinkState::WaitEcu)
        waitEcuBlock();
}

void AdapterConnection::reconnectBlock()
{
    try {
        m_link.resetLamps();
        m_link.configure(m_settings.portNumber(), m_settings.portPath(), m_settings.baudRate());
        m_link.close();
        m_clock.sleepMs(m_settings.pauseMs());
        m_link.open();
    } catch (const std::exception&) {
        // Tried again at the next tick, for as long as it fails.
        m_state = LinkState::Reconnect;
    }
}

void AdapterConnection::setProtocolBlock()
{
    const int index = m_settings.comboBoxProtokol();
    if (index == 0) {
        m_link.sendText(QByteArrayLiteral("AT DP\r"));
    } else if (index >= 1 && index <= 9) {
        m_link.sendText("AT SP" + QByteArray::number(index) + '\r');
    } else {
        const QStringList lines = m_settings.listBox1();
        if (m_initLineIndex < lines.size()) {
            const QByteArray line = Win1251::encode(lines.at(m_initLineIndex));
            ++m_initLineIndex;
            m_link.sendText(line + '\r');
        } else {
            m_timerIni.stop();
        }
    }
}

void AdapterConnection::waitEcuBlock()
{
    m_link.sendText(QByteArrayLiteral("01 00 1\r"));
    m_timerIni.stop();
    m_poller.setPollCounter(0);
    m_link.lightLamp(SerialLink::Lamp::Port);
    m_link.lightLamp(SerialLink::Lamp::Adapter);
    m_link.dimLamp(SerialLink::Lamp::Ecu);
}

void AdapterConnection::AnswerDispatcher()
{
    QByteArray& answer = m_framing.lastAnswer();
    if (answer.contains("RESET")) {
        handleErrorAnswer(false);
    } else if (answer.contains("UNABLE TO CONNECT")) {
        handleErrorAnswer(true);
    } else if (answer.contains("NO DATA")) {
        handleErrorAnswer(false);
    } else if (answer.contains("STOP") || answer.contains("ERROR")) {
        handleErrorAnswer(false);
    } else if (m_state == LinkState::WaitAdapter && answer.contains("ELM")) {
        m_state = LinkState::SetProtocol;
        m_initLineIndex = 0;
        answer.clear();
        enableTimerIni();
    } else if (m_state == LinkState::SetProtocol
               && (answer.contains("AT DP") || answer.contains("AT SP"))) {
        m_state = LinkState::WaitEcu;
        answer.clear();
    } else if ((m_state == LinkState::SetProtocol || m_state == LinkState::WaitEcu)
               && (answer.contains("41 00") || answer.contains("7F ")
                   || (answer.contains("BUS INIT:") && answer.contains("OK")))) {
        startPolling();
    } else if (m_state == LinkState::Polling) {
        m_poller.handlePolling(answer);
    } else {
        m_poller.handleOutsidePolling(answer);
    }
}

void AdapterConnection::handleErrorAnswer(bool timerFirst)
{
    m_state = LinkState::Reconnect;
    if (timerFirst)
        enableTimerIni();
    if (m_trip && m_trip->tripActive() && m_trip->fuelUsed() > 0.0) {
        m_trip->endTrip();
        m_trip->setTripActive(false);
    }
    enableTimerIni();
}

void AdapterConnection::enableTimerIni()
{
    // Enabling a running timer does not restart its period.
    if (!m_timerIni.isActive())
        m_timerIni.start();
}

void AdapterConnection::stopTimers()
{
    m_timerIni.stop();
    m_answerWatchdog.stop();
}

int AdapterConnection::answerTimeoutMs() const
{
    switch (m_state) {
    case LinkState::Reconnect:
        break;
    case LinkState::WaitAdapter:
        return m_timeouts.waitAdapterMs;
    case LinkState::SetProtocol:
        return m_timeouts.setProtocolMs;
    case LinkState::WaitEcu:
        return m_timeouts.waitEcuMs;
    case LinkState::Polling:
        return m_timeouts.pollingMs;
    }
    return 0;
}

void AdapterConnection::armAnswerWatchdog()
{
    m_lastActivity = m_clock.tickMs();
    m_watching = m_state != LinkState::Reconnect;
    if (m_watching && !m_answerWatchdog.isActive())
        m_answerWatchdog.start();
}

void AdapterConnection::onAnswerOverdue()
{
    if (!m_watching || m_state == LinkState::Reconnect || !m_link.isOpen()) {
        m_answerWatchdog.stop();
        return;
    }
    if (quint32(m_clock.tickMs() - m_lastActivity) < quint32(answerTimeoutMs()))
        return;
    // The event loop may have been held (a slow host, a blocking pause): read what waits at
    // the port before deciding the adapter is gone.
    const quint32 lastActivity = m_lastActivity;
    const quint64 before = m_link.bytesRead();
    m_link.pollDevice();
    if (m_lastActivity != lastActivity)
        return; // an answer came
    if (m_link.bytesRead() != before) {
        armAnswerWatchdog(); // the adapter is talking; its answer is not complete yet
        return;
    }
    // Nothing came back for the last request: the adapter is handled as if it had answered
    // with an error, so the connection starts again from the reset.
    m_watching = false;
    handleErrorAnswer(false);
}

void AdapterConnection::onDeviceFailed(const QString&)
{
    // The port was closed by the link. Handled like an error answer, so the link comes back
    // by itself once the device returns.
    handleErrorAnswer(false);
}

void AdapterConnection::startPolling()
{
    Q_EMIT pollingStarted();
    m_state = LinkState::Polling;
    m_poller.sendPid(QByteArrayLiteral("0F"));
    m_framing.lastAnswer().clear();
    if (m_trip)
        m_trip->startTrip();
}

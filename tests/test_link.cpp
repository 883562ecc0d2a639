#include "common/ErrorReporter.h"
#include "common/Win1251.h"
#include "display/DisplayState.h"
#include "link/AdapterConnection.h"
#include "link/AnswerFraming.h"
#include "link/HexText.h"
#include "link/PidPoller.h"
#include "link/SerialLink.h"
#include "platform/TraceLog.h"
#include "settings/SettingsState.h"
#include "support/FakeClock.h"
#include "support/FakeSerialDevice.h"

#include <QFile>
#include <QHash>
#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(LinkState)

namespace {

using Lamp = SerialLink::Lamp;

QByteArray w1251(const QString& text)
{
    return Win1251::encode(text);
}

// The link wired as the application wires it, over a fake device, with a fake trip computer.
// The settings name COM2 at 38400 baud, as a settings file would.
struct Rig
{
    FakeClock clock;
    QTemporaryDir dir;
    ErrorReporter errors;
    DisplayState display;
    SettingsState settings;
    TraceLog trace{clock, dir.path()};
    FakeSerialDevice device;
    SerialLink link{device, settings, display, trace};
    AnswerFraming framing;
    PidPoller poller{link, settings, display, clock};
    AdapterConnection connection{link, framing, poller, settings, display, trace, errors, clock};
    FakeTripHooks trip;

    Rig()
    {
        settings.setPortNumber(2);
        settings.setComNumber(2);
        settings.setBaudRate(38400);
        settings.setComBaud(38400);
        poller.setTripHooks(&trip);
        connection.setTripHooks(&trip);
    }

    void enableTrace() { trace.create(); }

    // The trace lines as written: elapsed milliseconds and text.
    QByteArrayList traceLines() const
    {
        QFile file(trace.fileName());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QByteArrayList lines = file.readAll().split('\n');
        lines.removeLast(); // after the last line end
        for (QByteArray& line : lines)
            line.chop(1); // CR
        return lines;
    }

    // The trace texts without their elapsed milliseconds.
    QByteArrayList traceTexts() const
    {
        QByteArrayList texts = traceLines();
        for (QByteArray& t : texts) {
            qsizetype digits = 0;
            while (digits < t.size() && t[digits] >= '0' && t[digits] <= '9')
                ++digits;
            t.remove(0, digits);
        }
        return texts;
    }

    void openAtStartup()
    {
        connection.setLinkState(LinkState::Reconnect);
        connection.openAtStartup();
    }

    void answer(const QByteArray& bytes) { device.receive(bytes); }

    // Start-up open, banner, automatic protocol, probe, and the ECU's answer; then the
    // wire and the trip calls are cleared. The first request "01 0F" has just gone out.
    bool toPolling()
    {
        openAtStartup();
        answer("atz\r\rELM327 v1.5\r\r>");
        connection.TimerIniTimer();
        answer("AT DP\rAUTO\r\r>");
        connection.TimerIniTimer();
        answer("01 00 1\r41 00 BE 3F A8 13 \r\r>");
        const bool polling = connection.linkState() == LinkState::Polling
                             && device.writes.last() == "01 0F\r";
        device.writes.clear();
        trip.calls.clear();
        return polling;
    }

    QList<bool> lamps() const
    {
        return {link.isLit(Lamp::Port), link.isLit(Lamp::Adapter), link.isLit(Lamp::Ecu)};
    }
};

// An adapter with its echo on: the request as echoed, the reply line, the prompt. Requests
// outside the reading cycle get no answer.
QByteArray adapterAnswer(const QByteArray& request)
{
    static const QHash<QByteArray, QByteArray> kData{
        {"0C", "1A F8 "}, {"0D", "32 "}, {"0B", "23 "}, {"10", "01 F4 "}, {"0F", "3C "}, {"05", "7B "}};
    const QByteArray echo = request.chopped(1);
    if (echo == "at rv")
        return echo + "\r12.6V\r\r>";
    const QByteArray pid = echo.mid(3, 2);
    if (!echo.startsWith("01 ") || !kData.contains(pid))
        return {};
    return echo + "\r41 " + pid + " " + kData.value(pid) + "\r\r>";
}

double reading(const LiveReadings& r, const QString& name)
{
    if (name == QLatin1String("engineSpeed"))
        return r.engineSpeed;
    if (name == QLatin1String("vehicleSpeed"))
        return r.vehicleSpeed;
    if (name == QLatin1String("manifoldPressure"))
        return r.manifoldPressure;
    if (name == QLatin1String("intakeAirTemperature"))
        return r.intakeAirTemperature;
    if (name == QLatin1String("airFlow"))
        return r.airFlow;
    qFatal("unknown reading %s", qPrintable(name));
}

DisplayId displayId(const QString& name)
{
    const auto id = DisplayState::idFromName(name);
    if (!id)
        qFatal("unknown display item %s", qPrintable(name));
    return *id;
}

} // namespace

class TestLink : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale::c()); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // ---- Answer framing -------------------------------------------------------------------

    void anAnswerIsClosedOnlyByAPromptThatEndsItsBatch_data()
    {
        QTest::addColumn<QByteArrayList>("batches");
        QTest::addColumn<QByteArrayList>("dispatched");
        QTest::addColumn<QByteArray>("left");

        QTest::newRow("reply line, blank, two CRs, prompt")
            << QByteArrayList{"41 0C 1A F8 \r\r>"} << QByteArrayList{"41 0C 1A F8 "} << QByteArray();
        QTest::newRow("one answer in three batches")
            << QByteArrayList{"01 0C\r", "41 0C 1A", " F8 \r\r>"} << QByteArrayList{"01 0C41 0C 1A F8 "}
            << QByteArray();
        QTest::newRow("the prompt alone") << QByteArrayList{">"} << QByteArrayList{""} << QByteArray();
        QTest::newRow("a CR after the prompt")
            << QByteArrayList{"41 0D 32 \r>\r"} << QByteArrayList{} << QByteArray("41 0D 32 >");
        QTest::newRow("that prompt stays a character of the next answer")
            << QByteArrayList{"41 0D 32 \r>\r", ">"} << QByteArrayList{"41 0D 32 >"} << QByteArray();
        QTest::newRow("a prompt inside a batch")
            << QByteArrayList{"AB>CD\r>"} << QByteArrayList{"AB>CD"} << QByteArray();
        QTest::newRow("control bytes dropped, 0x20 to 0xFF kept")
            << QByteArrayList{QByteArray("\x00\x1F\x20\x7F\x80\xFF\n\t>", 9)}
            << QByteArrayList{QByteArray(" \x7F\x80\xFF")} << QByteArray();
        QTest::newRow("two answers") << QByteArrayList{"A\r>", "B\r>"} << QByteArrayList{"A", "B"}
                                     << QByteArray();
        QTest::newRow("an unfinished answer waits")
            << QByteArrayList{"41 0C 1A"} << QByteArrayList{} << QByteArray("41 0C 1A");
    }
    void anAnswerIsClosedOnlyByAPromptThatEndsItsBatch()
    {
        QFETCH(QByteArrayList, batches);
        QFETCH(QByteArrayList, dispatched);
        QFETCH(QByteArray, left);

        AnswerFraming framing;
        QByteArrayList answers;
        framing.dispatch = [&] { answers << framing.lastAnswer(); };
        for (const QByteArray& batch : batches)
            framing.receive(batch);
        QCOMPARE(answers, dispatched);
        QCOMPARE(framing.rxBuffer(), left);
    }

    void theBufferKeepsItsNewest4096Characters()
    {
        AnswerFraming framing;
        QByteArrayList answers;
        framing.dispatch = [&] { answers << framing.lastAnswer(); };
        QByteArray flood;
        for (int i = 0; i < 5000; ++i)
            flood += char('A' + i % 26);

        framing.receive(flood);
        QCOMPARE(framing.rxBuffer().size(), qsizetype(4096));
        QCOMPARE(framing.rxBuffer(), flood.right(4096));

        framing.receive(">");
        QCOMPARE(answers, QByteArrayList{flood.right(4095)});
        QCOMPARE(framing.rxBuffer(), QByteArray());
    }

    void anEmptyBatchOnlyLightsThePortAndAdapterLamps()
    {
        Rig rig;
        rig.openAtStartup();
        rig.answer("41 0C");
        rig.link.resetLamps();
        rig.device.writes.clear();

        rig.answer(QByteArray());
        QCOMPARE(rig.lamps(), (QList<bool>{true, true, false}));
        QCOMPARE(rig.framing.rxBuffer(), QByteArray("41 0C"));
        QCOMPARE(rig.framing.answerCount(), quint64(0));
        QCOMPARE(rig.device.writes, QByteArrayList{});
        QCOMPARE(rig.connection.linkState(), LinkState::WaitAdapter);
    }

    void theTraceShowsEachAnswerWithItsPromptAndTheStateItArrivedIn()
    {
        Rig rig;
        rig.enableTrace();
        rig.openAtStartup();
        rig.answer("atz\r\rELM327");
        rig.answer(" v1.5\r\r>"); // arrives in WaitAdapter, moves to SetProtocol
        rig.connection.TimerIniTimer();
        rig.answer("AT DP\rAUTO\r\r>");

        QCOMPARE(rig.traceTexts(), (QByteArrayList{w1251(QStringLiteral(":Старт")),
                                                   w1251(QStringLiteral(":Порт открыт")),
                                                   " St:1 :atzELM327 v1.5>", " St:2 :AT DPAUTO>"}));
    }

    // ---- Hex text -------------------------------------------------------------------------

    void hexToIntReadsTheLastEightDigitsAsA32BitTwosComplementNumber_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("upper case") << QByteArray("1AF8") << 6904;
        QTest::newRow("lower case") << QByteArray("1af8") << 6904;
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("nine digits") << QByteArray("123456789") << 591751049;
        QTest::newRow("eight F") << QByteArray("FFFFFFFF") << -1;
        QTest::newRow("largest positive") << QByteArray("7FFFFFFF") << std::numeric_limits<int>::max();
        QTest::newRow("smallest negative") << QByteArray("80000000") << std::numeric_limits<int>::min();
        QTest::newRow("bytes 00 7F 80 FF") << QByteArray("007F80FF") << 0x007F80FF;
        QTest::newRow("non-hex last") << QByteArray("1G") << 0x10;
        QTest::newRow("non-hex first") << QByteArray("G1") << 0x01;
        QTest::newRow("blank in the middle") << QByteArray("1 F") << 0x10F;
        QTest::newRow("high byte") << QByteArray("1\xC0") << 0x10;
    }
    void hexToIntReadsTheLastEightDigitsAsA32BitTwosComplementNumber()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, value);
        QCOMPARE(HexText::hexToInt(text), value);
    }

    void stripSpacesRemovesBlanksAndNothingElse_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("stripped");
        QTest::newRow("reply line") << QByteArray("1A F8 00 FF ") << QByteArray("1AF800FF");
        QTest::newRow("tab stays") << QByteArray("1A\tF8 ") << QByteArray("1A\tF8");
        QTest::newRow("only blanks") << QByteArray("   ") << QByteArray("");
        QTest::newRow("empty") << QByteArray() << QByteArray();
    }
    void stripSpacesRemovesBlanksAndNothingElse()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, stripped);
        QCOMPARE(HexText::stripSpaces(text), stripped);
    }

    // ---- Connection -----------------------------------------------------------------------

    void theLinkGoesFromTheStartUpOpenToPollingWithTheseBytesOnTheWire()
    {
        Rig rig;
        QSignalSpy started(&rig.connection, &AdapterConnection::pollingStarted);
        rig.poller.setPollCounter(9);

        rig.openAtStartup();
        QCOMPARE(rig.device.opens, QStringList{QStringLiteral("/dev/ttyS1@38400")});
        QCOMPARE(rig.connection.linkState(), LinkState::WaitAdapter);
        QCOMPARE(rig.device.takeWrites(), QByteArrayList{"atz\r"});
        QCOMPARE(rig.connection.timerIni().isActive(), false);

        rig.answer("atz\r\rELM327 v1.5\r\r>");
        QCOMPARE(rig.connection.linkState(), LinkState::SetProtocol);
        QCOMPARE(rig.connection.timerIni().isActive(), true);
        QCOMPARE(rig.device.takeWrites(), QByteArrayList{});

        rig.connection.TimerIniTimer();
        QCOMPARE(rig.device.takeWrites(), QByteArrayList{"AT DP\r"});
        rig.answer("AT DP\rAUTO\r\r>");
        QCOMPARE(rig.connection.linkState(), LinkState::WaitEcu);
        QCOMPARE(rig.device.takeWrites(), QByteArrayList{});

        rig.connection.TimerIniTimer();
        QCOMPARE(rig.device.takeWrites(), QByteArrayList{"01 00 1\r"});
        QCOMPARE(rig.connection.timerIni().isActive(), false);
        QCOMPARE(rig.poller.pollCounter(), 0);
        QCOMPARE(rig.lamps(), (QList<bool>{true, true, false}));
        QCOMPARE(started.count(), 0);

        rig.answer("01 00 1\r41 00 BE 3F A8 13 \r\r>");
        QCOMPARE(rig.connection.linkState(), LinkState::Polling);
        QCOMPARE(rig.device.takeWrites(), QByteArrayList{"01 0F\r"});
        QCOMPARE(started.count(), 1);
        QCOMPARE(rig.trip.calls, (QStringList{"portOpened", "startTrip"}));
        QCOMPARE(rig.errors.reportCount(), 0);
    }

    void theTimerDrivesTheTicksAndATickThatCannotWriteIsReportedNotThrown()
    {
        Rig rig;
        rig.openAtStartup();
        rig.answer("atz\r\rELM327 v1.5\r\r>");
        rig.device.writes.clear();
        QCOMPARE(rig.connection.timerIni().interval(), 400);
        QTRY_COMPARE_WITH_TIMEOUT(rig.device.writes, QByteArrayList{"AT DP\r"}, 2000);

        // A port change whose reopen fails leaves the port closed while the timer still runs.
        rig.device.failOpen = true;
        rig.settings.setComPortNumText(QStringLiteral("COM4"));
        rig.settings.setComPortBaudText(QStringLiteral("9600"));
        rig.connection.ComPortBaudChange();
        QCOMPARE(rig.errors.reportCount(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(rig.errors.reportCount(), 2, 2000);
        QCOMPARE(rig.connection.linkState(), LinkState::SetProtocol);
        QCOMPARE(rig.device.writes, QByteArrayList{"AT DP\r"});
    }

    void theProtocolCommandGoesOutAtEveryTickUntilItsEchoArrives_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QByteArray>("command");
        QTest::newRow("automatic") << 0 << QByteArray("AT DP\r");
        for (int i = 1; i <= 9; ++i)
            QTest::addRow("protocol %d", i) << i << "AT SP" + QByteArray::number(i) + "\r";
    }
    void theProtocolCommandGoesOutAtEveryTickUntilItsEchoArrives()
    {
        QFETCH(int, index);
        QFETCH(QByteArray, command);
        Rig rig;
        rig.settings.setComboBoxProtokol(index);
        rig.openAtStartup();
        rig.answer("atz\r\rELM327 v1.5\r\r>");
        rig.device.writes.clear();

        rig.connection.TimerIniTimer();
        rig.connection.TimerIniTimer();
        QCOMPARE(rig.device.takeWrites(), (QByteArrayList{command, command}));
        rig.answer(command + "OK\r\r>");
        QCOMPARE(rig.connection.linkState(), LinkState::WaitEcu);
        QCOMPARE(rig.device.takeWrites(), QByteArrayList{});
    }

    void theCustomListSendsOneLinePerTickAndStopsTheTimerWhenExhausted_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty list") << QStringList{};
        QTest::newRow("three lines, one empty")
            << QStringList{QStringLiteral("AT E1"), QString(), QStringLiteral("AT H0")};
    }
    void theCustomListSendsOneLinePerTickAndStopsTheTimerWhenExhausted()
    {
        QFETCH(QStringList, lines);
        Rig rig;
        rig.settings.setComboBoxProtokol(SettingsState::kProtokolFromFile);
        rig.settings.setListBox1(lines);
        rig.openAtStartup();
        rig.answer("atz\r\rELM327 v1.5\r\r>");
        rig.device.writes.clear();

        for (int i = 0; i < lines.size(); ++i) {
            rig.connection.TimerIniTimer();
            QCOMPARE(rig.device.takeWrites(), QByteArrayList{w1251(lines.at(i)) + "\r"});
            QCOMPARE(rig.connection.initLineIndex(), i + 1);
            QCOMPARE(rig.connection.timerIni().isActive(), true);
        }
        rig.connection.TimerIniTimer();
        QCOMPARE(rig.device.takeWrites(), QByteArrayList{});
        QCOMPARE(rig.connection.timerIni().isActive(), false);
        QCOMPARE(rig.connection.linkState(), LinkState::SetProtocol);
    }

    void anEchoedCustomLineMovesOnOnlyWhenItHoldsAtSpInCapitalsWithTheBlank_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<LinkState>("state");
        QTest::newRow("AT SP 6") << QStringLiteral("AT SP 6") << QByteArray("AT SP 6\rOK\r\r>")
                                 << LinkState::WaitEcu;
        QTest::newRow("ATSP6") << QStringLiteral("ATSP6") << QByteArray("ATSP6\rOK\r\r>")
                               << LinkState::SetProtocol;
        QTest::newRow("at sp 6") << QStringLiteral("at sp 6") << QByteArray("at sp 6\rOK\r\r>")
                                 << LinkState::SetProtocol;
        QTest::newRow("01 00 answered by the ECU")
            << QStringLiteral("01 00") << QByteArray("01 00\r41 00 BE 3F A8 13 \r\r>") << LinkState::Polling;
    }
    void anEchoedCustomLineMovesOnOnlyWhenItHoldsAtSpInCapitalsWithTheBlank()
    {
        QFETCH(QString, line);
        QFETCH(QByteArray, answer);
        QFETCH(LinkState, state);
        Rig rig;
        rig.settings.setComboBoxProtokol(SettingsState::kProtokolFromFile);
        rig.settings.setListBox1({line});
        rig.openAtStartup();
        rig.answer("atz\r\rELM327 v1.5\r\r>");
        rig.poller.setPollCounter(7);
        rig.connection.TimerIniTimer();
        rig.answer(answer);
        QCOMPARE(rig.connection.linkState(), state);
        // Only the probe tick resets the counter; a custom line that reaches polling keeps it.
        QCOMPARE(rig.poller.pollCounter(), 7);
    }

    void theConnectionBranchesAreTriedInTheirOrder_data()
    {
        QTest::addColumn<LinkState>("from");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<LinkState>("to");
        QTest::addColumn<QByteArrayList>("writes");
        const QByteArrayList first{"01 0F\r"};
        QTest::newRow("BUS INIT OK in WaitEcu")
            << LinkState::WaitEcu << QByteArray("01 00 1\rBUS INIT: ...OK\r\r>") << LinkState::Polling << first;
        QTest::newRow("BUS INIT ERROR in WaitEcu")
            << LinkState::WaitEcu << QByteArray("01 00 1\rBUS INIT: ...ERROR\r\r>") << LinkState::Reconnect
            << QByteArrayList{};
        QTest::newRow("BUS INIT without OK")
            << LinkState::WaitEcu << QByteArray("01 00 1\rBUS INIT: ...\r\r>") << LinkState::WaitEcu
            << QByteArrayList{};
        QTest::newRow("negative response in WaitEcu")
            << LinkState::WaitEcu << QByteArray("01 00 1\r7F 01 12 \r\r>") << LinkState::Polling << first;
        QTest::newRow("41 00 in SetProtocol")
            << LinkState::SetProtocol << QByteArray("41 00 BE 3F A8 13 \r\r>") << LinkState::Polling << first;
        QTest::newRow("BUS INIT OK in SetProtocol")
            << LinkState::SetProtocol << QByteArray("BUS INIT: ...OK\r\r>") << LinkState::Polling << first;
        QTest::newRow("41 00 in WaitAdapter is ignored")
            << LinkState::WaitAdapter << QByteArray("41 00 BE 3F A8 13 \r\r>") << LinkState::WaitAdapter
            << QByteArrayList{};
        QTest::newRow("banner in SetProtocol is ignored")
            << LinkState::SetProtocol << QByteArray("ELM327 v1.5\r\r>") << LinkState::SetProtocol
            << QByteArrayList{};
        QTest::newRow("AT DP echo in WaitEcu is ignored")
            << LinkState::WaitEcu << QByteArray("AT DP\rAUTO\r\r>") << LinkState::WaitEcu << QByteArrayList{};
        QTest::newRow("banner in Polling stops the cycle")
            << LinkState::Polling << QByteArray("ELM327 v1.5\r\r>") << LinkState::Polling << QByteArrayList{};
        QTest::newRow("searching, then unable to connect")
            << LinkState::WaitEcu << QByteArray("01 00 1\rSEARCHING...\rUNABLE TO CONNECT\r\r>")
            << LinkState::Reconnect << QByteArrayList{};
    }
    void theConnectionBranchesAreTriedInTheirOrder()
    {
        QFETCH(LinkState, from);
        QFETCH(QByteArray, answer);
        QFETCH(LinkState, to);
        QFETCH(QByteArrayList, writes);
        Rig rig;
        rig.openAtStartup();
        rig.connection.setLinkState(from);
        rig.device.writes.clear();
        rig.answer(answer);
        QCOMPARE(rig.connection.linkState(), to);
        QCOMPARE(rig.device.writes, writes);
    }

    void anErrorAnswerInAnyStateSendsTheLinkToReconnectWithTheTimerOn_data()
    {
        QTest::addColumn<LinkState>("state");
        QTest::addColumn<QByteArray>("word");
        const QList<QPair<const char*, LinkState>> states{{"Reconnect", LinkState::Reconnect},
                                                          {"WaitAdapter", LinkState::WaitAdapter},
                                                          {"SetProtocol", LinkState::SetProtocol},
                                                          {"WaitEcu", LinkState::WaitEcu},
                                                          {"Polling", LinkState::Polling}};
        for (const char* word : {"NO DATA", "UNABLE TO CONNECT", "STOPPED", "RESET", "ERROR"}) {
            for (const auto& [name, state] : states)
                QTest::addRow("%s in %s", word, name) << state << QByteArray(word);
        }
    }
    void anErrorAnswerInAnyStateSendsTheLinkToReconnectWithTheTimerOn()
    {
        QFETCH(LinkState, state);
        QFETCH(QByteArray, word);
        Rig rig;
        rig.openAtStartup();
        rig.connection.setLinkState(state);
        rig.device.writes.clear();
        // The answer also holds a banner, a probe reply, a reading and a voltage echo: the error
        // word comes first whatever else is there.
        rig.answer("ELM327 41 00 41 0D 32 at rv\r" + word + "\r\r>");
        QCOMPARE(rig.connection.linkState(), LinkState::Reconnect);
        QCOMPARE(rig.connection.timerIni().isActive(), true);
        QCOMPARE(rig.device.writes, QByteArrayList{});
        QCOMPARE(rig.display.text(DisplayId::LabelSpeed), QStringLiteral("0"));
    }

    void anErrorAnswerEndsOnlyATripThatHasUsedFuel_data()
    {
        QTest::addColumn<bool>("active");
        QTest::addColumn<double>("fuel");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<bool>("activeAfter");
        QTest::newRow("active trip with fuel") << true << 0.5 << QStringList{"endTrip"} << false;
        QTest::newRow("active trip without fuel") << true << 0.0 << QStringList{} << true;
        QTest::newRow("no trip") << false << 0.5 << QStringList{} << false;
    }
    void anErrorAnswerEndsOnlyATripThatHasUsedFuel()
    {
        QFETCH(bool, active);
        QFETCH(double, fuel);
        QFETCH(QStringList, calls);
        QFETCH(bool, activeAfter);
        Rig rig;
        QVERIFY(rig.toPolling());
        rig.trip.active = active;
        rig.trip.fuel = fuel;
        rig.answer("01 0C\rNO DATA\r\r>");
        QCOMPARE(rig.trip.calls, calls);
        QCOMPARE(rig.trip.active, activeAfter);
    }

    void aReconnectTickClosesSleepsReopensAndResetsTheAdapter()
    {
        Rig rig;
        rig.settings.setPauseMs(200);
        rig.enableTrace();
        QVERIFY(rig.toPolling());
        rig.answer("01 0C\r41 0C 1A F8 \r\r>"); // lights the ECU lamp
        rig.answer("at rv\rNO DATA\r\r>");
        QCOMPARE(rig.lamps(), (QList<bool>{true, true, true}));
        QStringList journal;
        rig.device.journal = &journal;
        rig.device.writes.clear();
        const qsizetype traced = rig.traceLines().size();

        rig.connection.TimerIniTimer();
        QCOMPARE(journal, (QStringList{"close", "open /dev/ttyS1@38400", "> atz"}));
        QCOMPARE(rig.clock.sleptMs, 200);
        // The pause lies between the close and the open.
        QCOMPARE(rig.traceLines().mid(traced),
                 (QByteArrayList{"0" + w1251(QStringLiteral(":Порт закрыт")),
                                 "200" + w1251(QStringLiteral(":Порт открыт"))}));
        QCOMPARE(rig.connection.linkState(), LinkState::WaitAdapter);
        QCOMPARE(rig.connection.timerIni().isActive(), true);
        // Reset, lit by the open, then the WaitAdapter block of the same tick.
        QCOMPARE(rig.lamps(), (QList<bool>{true, false, false}));
        QCOMPARE(rig.trip.calls.last(), QStringLiteral("portOpened"));
    }

    void aFailedReopenIsSwallowedAndTriedAgainAtTheNextTick()
    {
        Rig rig;
        QVERIFY(rig.toPolling());
        rig.answer("01 0D\rSTOPPED\r\r>");
        rig.device.failOpen = true;

        rig.connection.TimerIniTimer();
        rig.connection.TimerIniTimer();
        QCOMPARE(rig.device.openAttempts, 3);
        QCOMPARE(rig.connection.linkState(), LinkState::Reconnect);
        QCOMPARE(rig.connection.timerIni().isActive(), true);
        QCOMPARE(rig.link.isOpen(), false);
        QCOMPARE(rig.lamps(), (QList<bool>{false, false, false}));
        QCOMPARE(rig.device.writes, QByteArrayList{});
        QCOMPARE(rig.errors.reportCount(), 0);

        rig.device.failOpen = false;
        rig.connection.TimerIniTimer();
        QCOMPARE(rig.connection.linkState(), LinkState::WaitAdapter);
        QCOMPARE(rig.device.opens.last(), QStringLiteral("/dev/ttyS1@38400"));
        QCOMPARE(rig.device.writes, QByteArrayList{"atz\r"});
    }

    void aFailedOpenAtStartUpIsSwallowedAndLeavesTheTimerOff_data()
    {
        QTest::addColumn<quint16>("port");
        QTest::addColumn<bool>("failOpen");
        QTest::addColumn<int>("attempts");
        QTest::newRow("device missing") << quint16(2) << true << 1;
        QTest::newRow("no port chosen") << quint16(0) << false << 0;
    }
    void aFailedOpenAtStartUpIsSwallowedAndLeavesTheTimerOff()
    {
        QFETCH(quint16, port);
        QFETCH(bool, failOpen);
        QFETCH(int, attempts);
        Rig rig;
        rig.settings.setPortNumber(port);
        rig.settings.setComNumber(port);
        rig.device.failOpen = failOpen;
        rig.openAtStartup();
        QCOMPARE(rig.device.openAttempts, attempts);
        QCOMPARE(rig.connection.linkState(), LinkState::Reconnect);
        QCOMPARE(rig.connection.timerIni().isActive(), false);
        QCOMPARE(rig.link.isOpen(), false);
        QCOMPARE(rig.errors.reportCount(), 0);
    }

    void aDeviceThatFailsWhileOpenIsClosedAndReconnectedLikeAnErrorAnswer()
    {
        Rig rig;
        rig.enableTrace();
        QVERIFY(rig.toPolling());
        rig.trip.fuel = 0.3;
        const int closes = rig.device.closes;

        rig.device.fail(QStringLiteral("Input/output error"));
        QCOMPARE(rig.device.closes, closes + 1);
        QCOMPARE(rig.link.isOpen(), false);
        QCOMPARE(rig.connection.linkState(), LinkState::Reconnect);
        QCOMPARE(rig.connection.timerIni().isActive(), true);
        QCOMPARE(rig.trip.calls, QStringList{"endTrip"});
        QCOMPARE(rig.trip.active, false);
        QCOMPARE(rig.traceTexts().last(), w1251(QStringLiteral(":Порт закрыт")));
        QCOMPARE(rig.errors.reportCount(), 0);

        rig.connection.TimerIniTimer();
        QCOMPARE(rig.device.opens.size(), qsizetype(2));
        QCOMPARE(rig.device.writes, QByteArrayList{"atz\r"});
        QCOMPARE(rig.connection.linkState(), LinkState::WaitAdapter);
    }

    void changingThePortOrRateReopensThePortOrStopsAtABadText_data()
    {
        QTest::addColumn<QString>("portText");
        QTest::addColumn<QString>("baudText");
        QTest::addColumn<bool>("failOpen");
        QTest::addColumn<QStringList>("opens");
        QTest::addColumn<quint16>("portNumber");
        QTest::addColumn<QString>("portPath");
        QTest::addColumn<qint32>("baudRate");
        QTest::addColumn<LinkState>("state");
        QTest::addColumn<bool>("open");
        QTest::addColumn<QByteArrayList>("trace");
        QTest::addColumn<int>("errors");

        const QByteArray closed = w1251(QStringLiteral(":Порт закрыт"));
        const QByteArray opened = w1251(QStringLiteral(":Порт открыт"));
        QTest::newRow("item COM4") << "COM4" << "9600" << false << QStringList{"/dev/ttyS3@9600"}
                                   << quint16(4) << QString() << 9600 << LinkState::WaitAdapter << true
                                   << QByteArrayList{closed, opened, w1251(QStringLiteral(": Порт: 4,9600"))}
                                   << 0;
        QTest::newRow("bare 4") << "4" << "9600" << false << QStringList{"/dev/ttyS3@9600"} << quint16(4)
                                << QString() << 9600 << LinkState::WaitAdapter << true
                                << QByteArrayList{closed, opened, w1251(QStringLiteral(": Порт: 4,9600"))}
                                << 0;
        QTest::newRow("device path")
            << "/dev/pts/7" << "38400" << false << QStringList{"/dev/pts/7@38400"} << quint16(0)
            << "/dev/pts/7" << 38400 << LinkState::WaitAdapter << true
            << QByteArrayList{closed, opened, w1251(QStringLiteral(": Порт: /dev/pts/7,38400"))} << 0;
        QTest::newRow("xCOM4 fails to convert")
            << "xCOM4" << "9600" << false << QStringList{} << quint16(2) << QString() << 38400
            << LinkState::Polling << true << QByteArrayList{} << 1;
        QTest::newRow("bad rate after a good port")
            << "COM4" << "96OO" << false << QStringList{} << quint16(4) << QString() << 38400
            << LinkState::Polling << true << QByteArrayList{} << 1;
        QTest::newRow("the reopen fails") << "COM4" << "9600" << true << QStringList{} << quint16(4)
                                          << QString() << 9600 << LinkState::Polling << false
                                          << QByteArrayList{closed} << 1;
    }
    void changingThePortOrRateReopensThePortOrStopsAtABadText()
    {
        QFETCH(QString, portText);
        QFETCH(QString, baudText);
        QFETCH(bool, failOpen);
        QFETCH(QStringList, opens);
        QFETCH(quint16, portNumber);
        QFETCH(QString, portPath);
        QFETCH(qint32, baudRate);
        QFETCH(LinkState, state);
        QFETCH(bool, open);
        QFETCH(QByteArrayList, trace);
        QFETCH(int, errors);

        Rig rig;
        rig.enableTrace();
        QVERIFY(rig.toPolling());
        rig.trip.fuel = 0.5;
        const QStringList opensBefore = rig.device.opens;
        const qsizetype traced = rig.traceLines().size();
        rig.device.failOpen = failOpen;
        rig.settings.setComPortNumText(portText);
        rig.settings.setComPortBaudText(baudText);

        rig.connection.ComPortBaudChange();
        QCOMPARE(rig.device.opens.mid(opensBefore.size()), opens);
        QCOMPARE(rig.settings.portNumber(), portNumber);
        QCOMPARE(rig.settings.portPath(), portPath);
        QCOMPARE(rig.settings.baudRate(), baudRate);
        QCOMPARE(rig.connection.linkState(), state);
        QCOMPARE(rig.link.isOpen(), open);
        QCOMPARE(rig.device.writes, opens.isEmpty() ? QByteArrayList{} : QByteArrayList{"atz\r"});
        QCOMPARE(rig.traceTexts().mid(traced), trace);
        QCOMPARE(rig.errors.reportCount(), errors);
        // The change neither starts the timer, nor ends the trip, nor darkens a lamp.
        QCOMPARE(rig.connection.timerIni().isActive(), false);
        QCOMPARE(rig.trip.calls.contains(QStringLiteral("endTrip")), false);
        QCOMPARE(rig.link.isLit(Lamp::Port), true);
    }

    void aReconnectAfterAPortChangeOpensTheNewPort()
    {
        Rig rig;
        QVERIFY(rig.toPolling());
        rig.settings.setComPortNumText(QStringLiteral("COM4"));
        rig.settings.setComPortBaudText(QStringLiteral("9600"));
        rig.connection.ComPortBaudChange();
        rig.answer("atz\r\rNO DATA\r\r>");
        rig.connection.TimerIniTimer();
        QCOMPARE(rig.device.opens,
                 (QStringList{"/dev/ttyS1@38400", "/dev/ttyS3@9600", "/dev/ttyS3@9600"}));
        QCOMPARE(rig.settings.comNumber(), quint16(4));
        QCOMPARE(rig.settings.comBaud(), 9600);
    }

    // ---- Polling --------------------------------------------------------------------------

    void eachAnswerIsDecodedShownAndFollowedByItsRequest_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QStringList>("readings");
        QTest::addColumn<QByteArray>("next");

        const QStringList none;
        auto row = [](const char* name) -> QTestData& { return QTest::newRow(name); };

        row("engine speed") << none << QByteArray("01 0C41 0C 1A F8 ") << QStringList{"LabelRPM=1726"} << none
                            << QStringList{"engineSpeed=1726"} << QByteArray("at rv\r");
        row("engine speed, fast polling")
            << QStringList{"FastPulling"} << QByteArray("01 0C 141 0C 1A F8 ") << QStringList{"LabelRPM=1726"}
            << none << QStringList{"engineSpeed=1726"} << QByteArray("at rv\r");
        row("engine speed 1726.5 shows 1727")
            << none << QByteArray("01 0C41 0C 1A FA ") << QStringList{"LabelRPM=1727"} << none
            << QStringList{"engineSpeed=1726.5"} << QByteArray("at rv\r");
        row("engine speed 1727.5 shows 1728")
            << none << QByteArray("01 0C41 0C 1A FE ") << QStringList{"LabelRPM=1728"} << none
            << QStringList{"engineSpeed=1727.5"} << QByteArray("at rv\r");
        row("engine speed FF FF") << none << QByteArray("01 0C41 0C FF FF ") << QStringList{"LabelRPM=16384"}
                                  << none << QStringList{"engineSpeed=16383.75"} << QByteArray("at rv\r");
        row("engine speed without data bytes")
            << none << QByteArray("01 0C41 0C ") << QStringList{"LabelRPM=0"} << none
            << QStringList{"engineSpeed=0"} << QByteArray("at rv\r");
        row("engine speed from two control units")
            << none << QByteArray("01 0C41 0C 1A F8 41 0C 00 00 ") << QStringList{"LabelRPM=1726"} << none
            << QStringList{"engineSpeed=1726"} << QByteArray("at rv\r");
        row("air flow bytes 41 0C are taken for engine speed")
            << none << QByteArray("01 1041 10 41 0C ") << QStringList{"LabelRPM=4163"} << none
            << QStringList{"engineSpeed=4163", "airFlow=0"} << QByteArray("at rv\r");

        row("vehicle speed") << none << QByteArray("01 0D41 0D 32 ") << QStringList{"LabelSpeed=50"} << none
                             << QStringList{"vehicleSpeed=50"} << QByteArray("01 0B\r");
        row("vehicle speed x1.5, raw 3 halves to even")
            << QStringList{"KSpeed=1.5"} << QByteArray("01 0D41 0D 03 ") << QStringList{"LabelSpeed=4"} << none
            << QStringList{"vehicleSpeed=4"} << QByteArray("01 0B\r");
        row("vehicle speed x1.5, raw 5 halves to even")
            << QStringList{"KSpeed=1.5"} << QByteArray("01 0D41 0D 05 ") << QStringList{"LabelSpeed=8"} << none
            << QStringList{"vehicleSpeed=8"} << QByteArray("01 0B\r");
        row("vehicle speed FF") << none << QByteArray("01 0D41 0D FF ") << QStringList{"LabelSpeed=255"}
                                << none << QStringList{"vehicleSpeed=255"} << QByteArray("01 0B\r");
        row("vehicle speed, MAF method") << QStringList{"MAF"} << QByteArray("01 0D41 0D 32 ")
                                         << QStringList{"LabelSpeed=50"} << none
                                         << QStringList{"vehicleSpeed=50"} << QByteArray("01 10\r");
        row("vehicle speed, mode 21") << QStringList{"Toyota21"} << QByteArray("21 0D61 0D 32 ")
                                      << QStringList{"LabelSpeed=50"} << none
                                      << QStringList{"vehicleSpeed=50"} << QByteArray("21 0B\r");
        row("vehicle speed from two control units")
            << none << QByteArray("01 0D41 0D 32 41 0D 00 ") << QStringList{"LabelSpeed=50"} << none
            << QStringList{"vehicleSpeed=50"} << QByteArray("01 0B\r");
        row("vehicle speed, a non-hex digit counts 0")
            << none << QByteArray("01 0D41 0D 3G ") << QStringList{"LabelSpeed=48"} << none
            << QStringList{"vehicleSpeed=48"} << QByteArray("01 0B\r");

        row("manifold pressure") << none << QByteArray("01 0B41 0B 23 ") << QStringList{"Pressure=35"}
                                 << QStringList{"GaugePressure=35"} << QStringList{"manifoldPressure=35"}
                                 << QByteArray("01 0C\r");
        row("manifold pressure at PollCounter 0")
            << QStringList{"PollCounter=0"} << QByteArray("01 0B41 0B 23 ") << QStringList{"Pressure=35"}
            << QStringList{"GaugePressure=35"} << QStringList{"manifoldPressure=35"} << QByteArray("01 0F\r");
        row("manifold pressure at PollCounter 15")
            << QStringList{"PollCounter=15"} << QByteArray("01 0B41 0B 23 ") << QStringList{"Pressure=35"}
            << QStringList{"GaugePressure=35"} << QStringList{"manifoldPressure=35"} << QByteArray("01 05\r");
        row("manifold pressure at PollCounter 30")
            << QStringList{"PollCounter=30"} << QByteArray("01 0B41 0B 23 ") << QStringList{"Pressure=35"}
            << QStringList{"GaugePressure=35"} << QStringList{"manifoldPressure=35"} << QByteArray("01 0C\r");
        row("manifold pressure 80 beyond the gauge")
            << none << QByteArray("01 0B41 0B 80 ") << QStringList{"Pressure=128"}
            << QStringList{"GaugePressure=100"} << QStringList{"manifoldPressure=128"} << QByteArray("01 0C\r");

        row("air flow") << QStringList{"MAF"} << QByteArray("01 1041 10 01 F4 ") << none << none
                        << QStringList{"airFlow=5"} << QByteArray("01 0C\r");
        row("air flow at PollCounter 0")
            << QStringList{"MAF", "PollCounter=0"} << QByteArray("01 1041 10 01 F4 ") << none << none
            << QStringList{"airFlow=5"} << QByteArray("01 0F\r");
        row("air flow at PollCounter 15")
            << QStringList{"MAF", "PollCounter=15"} << QByteArray("01 1041 10 01 F4 ") << none << none
            << QStringList{"airFlow=5"} << QByteArray("01 0C\r");
        row("air flow at PollCounter 30")
            << QStringList{"MAF", "PollCounter=30"} << QByteArray("01 1041 10 01 F4 ") << none << none
            << QStringList{"airFlow=5"} << QByteArray("01 05\r");
        row("air flow from two control units")
            << QStringList{"MAF"} << QByteArray("01 1041 10 01 F4 41 10 00 00 ") << none << none
            << QStringList{"airFlow=5"} << QByteArray("01 0C\r");

        row("intake air") << none << QByteArray("01 0F41 0F 3C ") << QStringList{"airTemp=20"}
                          << QStringList{"ThermometerAirTemp=20"} << QStringList{"intakeAirTemperature=20"}
                          << QByteArray("01 0C\r");
        row("intake air 7F") << none << QByteArray("01 0F41 0F 7F ") << QStringList{"airTemp=87"}
                             << QStringList{"ThermometerAirTemp=87"} << QStringList{"intakeAirTemperature=87"}
                             << QByteArray("01 0C\r");
        row("intake air without data bytes")
            << none << QByteArray("01 0F41 0F ") << QStringList{"airTemp=-40"} << QStringList{"ThermometerAirTemp=0"}
            << QStringList{"intakeAirTemperature=-40"} << QByteArray("01 0C\r");
        row("coolant") << none << QByteArray("01 0541 05 7B ") << QStringList{"LabelTempEng=83", "LabelTempEng1=83"}
                       << QStringList{"ThermometerEng=83", "ThermometerTempEng1=83"} << none << QByteArray("01 0C\r");

        row("voltage") << none << QByteArray("at rv12.6V") << QStringList{"LabelNapr=12.6"}
                       << QStringList{"GaugeNapr=12.6"} << none << QByteArray("01 0D\r");
        row("voltage, mode 21 and fast polling")
            << QStringList{"Toyota21", "FastPulling"} << QByteArray("at rv12.6V") << QStringList{"LabelNapr=12.6"}
            << QStringList{"GaugeNapr=12.6"} << none << QByteArray("21 0D 1\r");
        row("unreadable voltage") << none << QByteArray("at rv?") << QStringList{"LabelNapr=?"}
                                  << QStringList{"GaugeNapr=13.1"} << none << QByteArray("01 0D\r");

        row("adapter text after the echo stops the cycle")
            << none << QByteArray("01 0DBUS BUSY") << QStringList{"LabelSpeed=0", "LabelNapr=0.0"} << none
            << QStringList{"vehicleSpeed=0"} << QByteArray();
    }
    void eachAnswerIsDecodedShownAndFollowedByItsRequest()
    {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, answer);
        QFETCH(QStringList, texts);
        QFETCH(QStringList, values);
        QFETCH(QStringList, readings);
        QFETCH(QByteArray, next);

        Rig rig;
        QVERIFY(rig.toPolling());
        rig.display.setValue(DisplayId::GaugeNapr, 13.1);
        rig.poller.setPollCounter(5);
        for (const QString& option : options) {
            const QString key = option.section(QLatin1Char('='), 0, 0);
            const QString value = option.section(QLatin1Char('='), 1);
            if (key == QLatin1String("FastPulling"))
                rig.settings.setFastPulling(true);
            else if (key == QLatin1String("Toyota21"))
                rig.settings.setToyota21(true);
            else if (key == QLatin1String("MAF"))
                rig.settings.setMapMaf(SettingsState::kMaf);
            else if (key == QLatin1String("KSpeed"))
                rig.settings.setSpinValue(SettingsState::Spin::KSpeed, value.toDouble());
            else if (key == QLatin1String("PollCounter"))
                rig.poller.setPollCounter(value.toInt());
            else
                QFAIL(qPrintable(QStringLiteral("unknown option ") + option));
        }

        rig.answer(answer + "\r\r>");
        for (const QString& t : texts) {
            const DisplayId id = displayId(t.section(QLatin1Char('='), 0, 0));
            QCOMPARE(rig.display.text(id), t.section(QLatin1Char('='), 1));
        }
        for (const QString& v : values) {
            const DisplayId id = displayId(v.section(QLatin1Char('='), 0, 0));
            QCOMPARE(rig.display.value(id), v.section(QLatin1Char('='), 1).toDouble());
        }
        for (const QString& r : readings)
            QCOMPARE(reading(rig.poller.readings(), r.section(QLatin1Char('='), 0, 0)),
                     r.section(QLatin1Char('='), 1).toDouble());
        QCOMPARE(rig.device.writes, next.isEmpty() ? QByteArrayList{} : QByteArrayList{next});
        QCOMPARE(rig.connection.linkState(), LinkState::Polling);
    }

    void anEngineSpeedAnswerMovesTheNeedleLightsTheEcuLampAndCountsThePass_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::newRow("0 to 1") << 0 << 1;
        QTest::newRow("14 to 15") << 14 << 15;
        QTest::newRow("29 to 30") << 29 << 30;
        QTest::newRow("30 wraps to 0") << 30 << 0;
    }
    void anEngineSpeedAnswerMovesTheNeedleLightsTheEcuLampAndCountsThePass()
    {
        QFETCH(int, before);
        QFETCH(int, after);
        Rig rig;
        QVERIFY(rig.toPolling());
        rig.answer("01 0C\r41 0C 0F A0 \r\r>"); // 1000 rpm
        rig.link.dimLamp(Lamp::Ecu);
        rig.poller.setPollCounter(before);
        QSignalSpy needle(&rig.poller, &PidPoller::engineSpeedDecoded);

        rig.answer("01 0C\r41 0C 1A F8 \r\r>");
        QCOMPARE(needle.count(), 1);
        QCOMPARE(rig.poller.readings().previousEngineSpeed, 1000.0);
        QCOMPARE(rig.poller.readings().engineSpeed, 1726.0);
        QCOMPARE(rig.display.caption(DisplayId::GaugeRPM), QStringLiteral("1726"));
        QCOMPARE(rig.link.isLit(Lamp::Ecu), true);
        QCOMPARE(rig.poller.pollCounter(), after);
    }

    void requestsCarryTheModePrefixAndTheFastPollingSuffix_data()
    {
        QTest::addColumn<bool>("fast");
        QTest::addColumn<bool>("mode21");
        QTest::addColumn<QByteArray>("engineRequest");
        QTest::newRow("plain") << false << false << QByteArray("01 0C\r");
        QTest::newRow("fast polling") << true << false << QByteArray("01 0C 1\r");
        QTest::newRow("mode 21") << false << true << QByteArray("21 0C\r");
        QTest::newRow("mode 21, fast polling") << true << true << QByteArray("21 0C 1\r");
    }
    void requestsCarryTheModePrefixAndTheFastPollingSuffix()
    {
        QFETCH(bool, fast);
        QFETCH(bool, mode21);
        QFETCH(QByteArray, engineRequest);
        Rig rig;
        QVERIFY(rig.toPolling());
        rig.settings.setFastPulling(fast);
        rig.settings.setToyota21(mode21);
        const QByteArray reply = mode21 ? "61" : "41";

        rig.answer(engineRequest.left(2) + " 0F" + (fast ? " 1" : "") + "\r" + reply + " 0F 3C \r\r>");
        QCOMPARE(rig.display.text(DisplayId::airTemp), QStringLiteral("20"));
        QCOMPARE(rig.device.takeWrites(), QByteArrayList{engineRequest});

        rig.answer(engineRequest.chopped(1) + "\r" + reply + " 0C 1A F8 \r\r>");
        QCOMPARE(rig.display.text(DisplayId::LabelRPM), QStringLiteral("1726"));
        QCOMPARE(rig.device.takeWrites(), QByteArrayList{"at rv\r"});
    }

    void aVoltageAnswerOutsidePollingIsShownAndFollowedBySpeedButOtherReadingsAreIgnored_data()
    {
        QTest::addColumn<LinkState>("state");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("napr");
        QTest::addColumn<QString>("rpm");
        QTest::addColumn<QByteArrayList>("writes");
        const QByteArray voltage("at rv\r12.6V\r\r>");
        const QByteArray engine("01 0C\r41 0C 1A F8 \r\r>");
        const QByteArrayList speed{"01 0D\r"};
        QTest::newRow("voltage in Reconnect") << LinkState::Reconnect << voltage << "12.6" << "LabelRPM" << speed;
        QTest::newRow("voltage in WaitAdapter") << LinkState::WaitAdapter << voltage << "12.6" << "LabelRPM" << speed;
        QTest::newRow("voltage in SetProtocol") << LinkState::SetProtocol << voltage << "12.6" << "LabelRPM" << speed;
        QTest::newRow("voltage in WaitEcu") << LinkState::WaitEcu << voltage << "12.6" << "LabelRPM" << speed;
        QTest::newRow("engine speed in WaitEcu")
            << LinkState::WaitEcu << engine << "0.0" << "LabelRPM" << QByteArrayList{};
        QTest::newRow("engine speed in WaitAdapter")
            << LinkState::WaitAdapter << engine << "0.0" << "LabelRPM" << QByteArrayList{};
    }
    void aVoltageAnswerOutsidePollingIsShownAndFollowedBySpeedButOtherReadingsAreIgnored()
    {
        QFETCH(LinkState, state);
        QFETCH(QByteArray, answer);
        QFETCH(QString, napr);
        QFETCH(QString, rpm);
        QFETCH(QByteArrayList, writes);
        Rig rig;
        rig.openAtStartup();
        rig.connection.setLinkState(state);
        rig.device.writes.clear();
        rig.answer(answer);
        QCOMPARE(rig.display.text(DisplayId::LabelNapr), napr);
        QCOMPARE(rig.display.text(DisplayId::LabelRPM), rpm);
        QCOMPARE(rig.device.writes, writes);
        QCOMPARE(rig.connection.linkState(), state);
    }

    void anUnreadableVoltageMakesThePointTheDecimalSeparator()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        Rig rig;
        QVERIFY(rig.toPolling());
        rig.answer("at rv\r?\r\r>");
        QCOMPARE(QLocale().decimalPoint(), QStringLiteral("."));
        rig.answer("at rv\r12.6V\r\r>");
        QCOMPARE(rig.display.value(DisplayId::GaugeNapr), 12.6);
    }

    void theCycleAsksForTheTemperaturesOncePerPeriodOf31Passes_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<QByteArray>("airRequest");
        QTest::addColumn<int>("coolantPass");
        QTest::newRow("MAP: coolant in the pass that raised the counter to 15")
            << SettingsState::kMap << QByteArray("01 0B\r") << 15;
        QTest::newRow("MAF: coolant in the pass that raised the counter to 30")
            << SettingsState::kMaf << QByteArray("01 10\r") << 30;
    }
    void theCycleAsksForTheTemperaturesOncePerPeriodOf31Passes()
    {
        QFETCH(int, method);
        QFETCH(QByteArray, airRequest);
        QFETCH(int, coolantPass);

        QByteArrayList expected;
        for (int pass = 1; pass <= 31; ++pass) {
            expected << "01 0C\r" << "at rv\r" << "01 0D\r" << airRequest;
            if (pass == coolantPass)
                expected << "01 05\r";
            if (pass == 31)
                expected << "01 0F\r";
        }

        Rig rig;
        rig.settings.setMapMaf(method);
        int answered = 0;
        // Answers the first "0F" and every request after it except the last one expected.
        rig.device.responder = [&](const QByteArray& request) {
            if (answered == expected.size())
                return QByteArray();
            const QByteArray a = adapterAnswer(request);
            if (!a.isNull())
                ++answered;
            return a;
        };
        QVERIFY(rig.toPolling());
        QTRY_COMPARE_WITH_TIMEOUT(rig.device.writes.size(), expected.size(), 20000);
        QTest::qWait(10);
        QCOMPARE(rig.device.writes, expected);
        QCOMPARE(rig.trip.calls.count(QStringLiteral("processSpeedSample(1000,50)")), qsizetype(31));
        QCOMPARE(rig.trip.calls.count(QStringLiteral("updateFuelModel")), qsizetype(31));
        QCOMPARE(rig.display.text(DisplayId::LabelTempEng), QStringLiteral("83"));
        QCOMPARE(rig.poller.pollCounter(), 0);
        QCOMPARE(rig.errors.reportCount(), 0);
    }

    void theSpeedSampleComesBeforeTheNextRequestAndTheFuelModelAfterIt_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<QString>("airRequest");
        QTest::newRow("MAP") << SettingsState::kMap << QStringLiteral("> 01 0B");
        QTest::newRow("MAF") << SettingsState::kMaf << QStringLiteral("> 01 10");
    }
    void theSpeedSampleComesBeforeTheNextRequestAndTheFuelModelAfterIt()
    {
        QFETCH(int, method);
        QFETCH(QString, airRequest);
        Rig rig;
        rig.settings.setMapMaf(method);
        rig.clock.tick = 0xFFFFFFF0u;
        QStringList journal;
        int answered = 0;
        // "0F" and one pass: engine speed, voltage, vehicle speed, air.
        rig.device.responder = [&](const QByteArray& request) {
            if (answered == 5)
                return QByteArray();
            const QByteArray a = adapterAnswer(request);
            if (!a.isNull())
                ++answered;
            return a;
        };
        QVERIFY(rig.toPolling());
        rig.device.journal = &journal;
        rig.trip.journal = &journal;
        QTRY_VERIFY(journal.contains(QStringLiteral("updateFuelModel")));
        QTest::qWait(10);
        QCOMPARE(journal, (QStringList{"> 01 0C", "> at rv", "> 01 0D", "processSpeedSample(4294967280,50)",
                                       airRequest, "> 01 0C", "updateFuelModel"}));
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "test_link.moc"

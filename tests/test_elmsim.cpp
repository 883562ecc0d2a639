#include "DriveScenario.h"
#include "ElmInterpreter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include <fcntl.h>
#include <unistd.h>

namespace {

Readings pinnedReadings()
{
    Readings r;
    r.rpm = 1726;
    r.speedKmh = 60;
    r.mapKpa = 40;
    r.mafGs = 12.34;
    r.intakeC = 25;
    r.coolantC = 88;
    r.volts = 12.6;
    return r;
}

QByteArray fullReply(const ElmInterpreter::Reply& reply)
{
    return QByteArray::fromStdString(reply.echo + reply.answer);
}

QByteArray ask(ElmInterpreter& elm, const QByteArray& command)
{
    return fullReply(elm.handle(command.toStdString(), pinnedReadings()));
}

QString simulatorPath()
{
    QString dir = qEnvironmentVariable("TACHORA_BUILD_DIR");
    if (dir.isEmpty())
        dir = QCoreApplication::applicationDirPath(); // tests are built next to it
    return dir + QStringLiteral("/elmsim");
}

// The real simulator process and one client on its device, as the application will be.
class SimulatorRun
{
public:
    ~SimulatorRun()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(3000))
                m_process.kill();
            m_process.waitForFinished(1000);
        }
    }

    // Starts elmsim and opens the device it names (or `openPath` when given). Returns an
    // error text, empty on success.
    QString start(const QStringList& arguments, const QString& openPath = {})
    {
        const QString program = simulatorPath();
        if (!QFileInfo(program).isExecutable())
            return QStringLiteral("%1 is missing: build the elmsim target").arg(program);
        m_process.start(program, arguments);
        if (!m_process.waitForStarted(3000))
            return QStringLiteral("elmsim did not start: %1").arg(m_process.errorString());
        devicePath = nextLine();
        if (!devicePath.startsWith(QStringLiteral("/dev/")))
            return QStringLiteral("first line is not a device: '%1'").arg(devicePath);
        return openDevice(openPath.isEmpty() ? devicePath : openPath);
    }

    QString openDevice(const QString& path)
    {
        m_port.close();
        m_port.setPortName(path);
        if (!m_port.open(QIODevice::ReadWrite))
            return QStringLiteral("cannot open %1: %2").arg(path, m_port.errorString());
        // Setting DTR/RTS fails on a pty; the line settings themselves take.
        m_port.setBaudRate(QSerialPort::Baud38400);
        m_port.setDataBits(QSerialPort::Data8);
        m_port.setParity(QSerialPort::NoParity);
        m_port.setStopBits(QSerialPort::OneStop);
        m_port.setFlowControl(QSerialPort::NoFlowControl);
        return {};
    }

    void send(const QByteArray& bytes)
    {
        m_port.write(bytes);
        m_port.waitForBytesWritten(1000);
    }

    // Everything that arrives until the data ends with `suffix` or the time is up.
    QByteArray readUntil(const QByteArray& suffix, int timeoutMs = 2000)
    {
        QByteArray data;
        QElapsedTimer timer;
        timer.start();
        while (!data.endsWith(suffix) && timer.elapsed() < timeoutMs) {
            if (m_port.bytesAvailable() == 0)
                m_port.waitForReadyRead(
                    static_cast<int>(std::max<qint64>(1, timeoutMs - timer.elapsed())));
            data += m_port.readAll();
        }
        return data;
    }

    QByteArray exchange(const QByteArray& command)
    {
        send(command);
        return readUntil(">");
    }

    QString nextLine(int timeoutMs = 3000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!m_process.canReadLine() && timer.elapsed() < timeoutMs)
            m_process.waitForReadyRead(
                static_cast<int>(std::max<qint64>(1, timeoutMs - timer.elapsed())));
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }

    // Sends one stdin command and returns its acknowledgement; other lines are kept in `log`.
    QString control(const QString& command)
    {
        m_process.write(command.toUtf8() + '\n');
        for (;;) {
            const QString line = nextLine();
            if (line.isEmpty() || line.startsWith(QStringLiteral("OK ")) ||
                line.startsWith(QStringLiteral("ERR ")))
                return line;
            log << line;
        }
    }

    QProcess& process() { return m_process; }
    QSerialPort& port() { return m_port; }

    QString devicePath;
    QStringList log;

private:
    QProcess m_process;
    QSerialPort m_port;
};

} // namespace

class TestElmsim : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // --- the answer builder, byte for byte ---------------------------------------------

    void answersAsARealAdapter_data()
    {
        QTest::addColumn<QList<QByteArray>>("before");
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("expected");
        const QList<QByteArray> none;
        const QList<QByteArray> found = {"0100"}; // protocol found, no more SEARCHING...

        QTest::newRow("atz banner")
            << none << QByteArray("atz") << QByteArray("atz\r\r\rELM327 v1.5\r\r>");
        QTest::newRow("first request searches")
            << none << QByteArray("01 0C") << QByteArray("01 0C\rSEARCHING...\r41 0C 1A F8 \r\r>");
        QTest::newRow("searching only once")
            << found << QByteArray("01 0C 1") << QByteArray("01 0C 1\r41 0C 1A F8 \r\r>");
        QTest::newRow("sp searches again")
            << QList<QByteArray>{"0100", "AT SP 6"} << QByteArray("010D")
            << QByteArray("010D\rSEARCHING...\r41 0D 3C \r\r>");
        QTest::newRow("atz searches again")
            << QList<QByteArray>{"0100", "ATZ"} << QByteArray("010D")
            << QByteArray("010D\rSEARCHING...\r41 0D 3C \r\r>");
        QTest::newRow("mode 21") << found << QByteArray("21 0d")
                                 << QByteArray("21 0d\r61 0D 3C \r\r>");
        QTest::newRow("pid bitmap marks 05 0B 0C 0D 0F 10")
            << found << QByteArray("0100") << QByteArray("0100\r41 00 08 3B 00 00 \r\r>");
        QTest::newRow("coolant") << found << QByteArray("0105")
                                 << QByteArray("0105\r41 05 80 \r\r>");
        QTest::newRow("map") << found << QByteArray("010B") << QByteArray("010B\r41 0B 28 \r\r>");
        QTest::newRow("intake") << found << QByteArray("010F")
                                << QByteArray("010F\r41 0F 41 \r\r>");
        QTest::newRow("maf") << found << QByteArray("0110")
                             << QByteArray("0110\r41 10 04 D2 \r\r>");
        QTest::newRow("unsupported pid")
            << found << QByteArray("01 42") << QByteArray("01 42\rNO DATA\r\r>");
        QTest::newRow("other mode")
            << found << QByteArray("0902") << QByteArray("0902\rNO DATA\r\r>");
        QTest::newRow("not a command")
            << none << QByteArray("hello") << QByteArray("hello\r?\r\r>");
        QTest::newRow("count digit zero")
            << found << QByteArray("010C0") << QByteArray("010C0\r?\r\r>");
        QTest::newRow("ATE0 is still echoed")
            << none << QByteArray("ATE0") << QByteArray("ATE0\rOK\r\r>");
        QTest::newRow("echo off") << QList<QByteArray>{"ATE0"} << QByteArray("ATI")
                                  << QByteArray("ELM327 v1.5\r\r>");
        QTest::newRow("linefeeds") << QList<QByteArray>{"ATL1"} << QByteArray("ATI")
                                   << QByteArray("ATI\r\nELM327 v1.5\r\n\r\n>");
        QTest::newRow("atz after echo off and linefeeds")
            << QList<QByteArray>{"ATE0", "ATL1"} << QByteArray("ATZ")
            << QByteArray("\r\rELM327 v1.5\r\r>");
        QTest::newRow("dp automatic") << none << QByteArray("AT DP")
                                      << QByteArray("AT DP\rAUTO, ISO 15765-4 (CAN 11/500)\r\r>");
        QTest::newRow("dp selected") << QList<QByteArray>{"ATSP3"} << QByteArray("ATDP")
                                     << QByteArray("ATDP\rISO 9141-2\r\r>");
        QTest::newRow("dpn after sp A6")
            << QList<QByteArray>{"AT SP A6"} << QByteArray("ATDPN") << QByteArray("ATDPN\rA6\r\r>");
        QTest::newRow("sp beyond C") << none << QByteArray("ATSPD") << QByteArray("ATSPD\r?\r\r>");
        QTest::newRow("voltage") << none << QByteArray("at rv") << QByteArray("at rv\r12.6V\r\r>");
        QTest::newRow("known setting")
            << none << QByteArray("AT ST 32") << QByteArray("AT ST 32\rOK\r\r>");
        QTest::newRow("unknown AT") << none << QByteArray("ATXYZ") << QByteArray("ATXYZ\r?\r\r>");
        QTest::newRow("bare CR repeats the last request")
            << QList<QByteArray>{"0100", "010D"} << QByteArray() << QByteArray("\r41 0D 3C \r\r>");
        QTest::newRow("bare CR with nothing to repeat")
            << none << QByteArray() << QByteArray("\r>");
        const QByteArray overlong(ElmInterpreter::kMaxLine + 1, '1');
        QTest::newRow("overlong line") << found << overlong << overlong + "\r?\r\r>";
    }
    void answersAsARealAdapter()
    {
        QFETCH(QList<QByteArray>, before);
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, expected);
        ElmInterpreter elm;
        for (const QByteArray& c : before)
            ask(elm, c);
        QCOMPARE(ask(elm, command), expected);
    }

    void faultsReplaceTheNextAnswers_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("searchesAgain");
        QTest::newRow("nodata") << "nodata" << QByteArray("NO DATA\r\r>") << false;
        QTest::newRow("unable") << "unable" << QByteArray("UNABLE TO CONNECT\r\r>") << true;
        QTest::newRow("businit") << "businit" << QByteArray("BUS INIT: ...ERROR\r\r>") << true;
        QTest::newRow("stopped") << "stopped" << QByteArray("STOPPED\r\r>") << true;
        QTest::newRow("question") << "question" << QByteArray("?\r\r>") << false;
        QTest::newRow("silence") << "silence" << QByteArray() << false;
    }
    void faultsReplaceTheNextAnswers()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, answer);
        QFETCH(bool, searchesAgain);
        ElmInterpreter elm;
        ask(elm, "0100");
        const auto fault = ElmInterpreter::faultFromName(name.toStdString());
        QVERIFY(fault);
        elm.addFault(*fault, 2);

        QCOMPARE(ask(elm, "ATI"), QByteArray("ATI\rELM327 v1.5\r\r>")); // AT commands pass
        QCOMPARE(ask(elm, "010C"), "010C\r" + answer);
        QCOMPARE(ask(elm, "010C"), "010C\r" + (searchesAgain ? "SEARCHING...\r" + answer : answer));
        QCOMPARE(ask(elm, "010C"),
                 QByteArray(searchesAgain ? "010C\rSEARCHING...\r41 0C 1A F8 \r\r>"
                                          : "010C\r41 0C 1A F8 \r\r>"));
    }

    void garbageAndSplitStillDeliverTheAnswer()
    {
        ElmInterpreter elm(false, 7);
        ask(elm, "0100");
        elm.addFault(ElmInterpreter::Fault::Garbage, 20);
        for (int i = 0; i < 20; ++i) {
            const std::string answer = elm.handle("010C", pinnedReadings()).answer;
            const std::string normal = "41 0C 1A F8 \r\r>";
            QVERIFY(answer.size() > normal.size());
            QVERIFY(answer.ends_with(normal));
            const std::string noise = answer.substr(0, answer.size() - normal.size());
            QVERIFY(noise.find('>') == std::string::npos);
            QVERIFY(
                std::any_of(noise.begin(), noise.end(), [](char c) { return uchar(c) >= 0x80; }));
            QVERIFY(
                std::any_of(noise.begin(), noise.end(), [](char c) { return uchar(c) < 0x20; }));
        }
        elm.clearFaults();
        elm.addFault(ElmInterpreter::Fault::Split, 1);
        const ElmInterpreter::Reply split = elm.handle("010C", pinnedReadings());
        QVERIFY(split.split);
        QCOMPARE(split.answer, std::string("41 0C 1A F8 \r\r>"));
        QVERIFY(!elm.handle("010C", pinnedReadings()).split);
    }

    void aSecondUnitAddsItsOwnLine()
    {
        ElmInterpreter elm(true);
        ask(elm, "0100");
        QCOMPARE(ask(elm, "01 0C 1"), QByteArray("01 0C 1\r41 0C 1A F8 \r41 0C 00 00 \r\r>"));
        QCOMPARE(ask(elm, "0142"), QByteArray("0142\rNO DATA\r\r>"));
    }

    // --- the driving scenario ---------------------------------------------------------

    void theDriveLoopStaysPlausible()
    {
        for (std::uint32_t seed : {1u, 2u, 99u}) {
            const DriveScenario drive(DriveScenario::Kind::Drive, seed);
            double topSpeed = 0;
            double highwayRpm = 0;
            double lastCoolant = -100;
            Readings previous = drive.at(DriveScenario::kEngineStartSeconds);
            for (double t = DriveScenario::kEngineStartSeconds; t < 2 * DriveScenario::kLoopSeconds;
                 t += 0.5) {
                const Readings r = drive.at(t);
                const QString at = QStringLiteral("seed %1 at %2 s").arg(seed).arg(t);
                QVERIFY2(r.rpm >= 750 && r.rpm <= 3200, qPrintable(at));
                QVERIFY2(r.speedKmh >= 0 && r.speedKmh <= 112, qPrintable(at));
                QVERIFY2(r.mapKpa >= 30 && r.mapKpa <= 100, qPrintable(at));
                QVERIFY2(r.mafGs >= 2 && r.mafGs <= 60, qPrintable(at));
                QVERIFY2(r.intakeC >= 20 && r.intakeC <= 35, qPrintable(at));
                QVERIFY2(r.volts >= 13.8 && r.volts <= 14.3, qPrintable(at));
                // Warming up, then swinging around the thermostat's set point.
                QVERIFY2(r.coolantC <= 92 && r.coolantC > lastCoolant - 3.5, qPrintable(at));
                // Half a second apart, nothing jumps further than a gear change.
                QVERIFY2(std::abs(r.speedKmh - previous.speedKmh) < 4, qPrintable(at));
                QVERIFY2(std::abs(r.rpm - previous.rpm) < 1000, qPrintable(at));
                if (r.speedKmh == 0)
                    QVERIFY2(std::abs(r.rpm - 800) < 40, qPrintable(at)); // idling
                topSpeed = std::max(topSpeed, r.speedKmh);
                if (r.speedKmh > 100)
                    highwayRpm = std::max(highwayRpm, r.rpm);
                lastCoolant = std::max(lastCoolant, r.coolantC);
                previous = r;
            }
            QVERIFY(topSpeed > 100);
            QVERIFY(highwayRpm > 2600 && highwayRpm < 3000);
            QVERIFY(lastCoolant > 80); // warmed up over ten minutes
        }
        const Readings off = DriveScenario(DriveScenario::Kind::Drive, 1).at(0);
        QCOMPARE(off.rpm, 0.0);
        QVERIFY(off.volts >= 12.3 && off.volts <= 12.5);
        const Readings idle = DriveScenario(DriveScenario::Kind::Idle, 1).at(200);
        QCOMPARE(idle.speedKmh, 0.0);
        QVERIFY(std::abs(idle.rpm - 800) < 40);
    }

    void theSeedDecidesTheVariationAndPinsOverrideIt()
    {
        DriveScenario a(DriveScenario::Kind::Drive, 5);
        const DriveScenario b(DriveScenario::Kind::Drive, 5);
        const DriveScenario c(DriveScenario::Kind::Drive, 6);
        bool differs = false;
        for (double t = 10; t < 300; t += 7.3) {
            QCOMPARE(a.at(t).rpm, b.at(t).rpm);
            QCOMPARE(a.at(t).mafGs, b.at(t).mafGs);
            differs = differs || a.at(t).rpm != c.at(t).rpm;
        }
        QVERIFY(differs);

        QCOMPARE(a.pin("speed", "60"), std::string());
        QCOMPARE(a.pin("volts", "12.6"), std::string());
        QCOMPARE(a.at(170).speedKmh, 60.0);
        QCOMPARE(a.at(170).volts, 12.6);
        QCOMPARE(a.at(170).rpm, b.at(170).rpm);
        QCOMPARE(a.pin("speed", "auto"), std::string());
        QCOMPARE(a.at(170).speedKmh, b.at(170).speedKmh);
        QVERIFY(!a.pin("boost", "1").empty());
        QVERIFY(!a.pin("speed", "256").empty());
        QVERIFY(!a.pin("rpm", "12x").empty());
    }

    // --- the running program ----------------------------------------------------------

    void theProgramTalksOverItsPseudoTerminal()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("obd"));
        SimulatorRun sim;
        const QString error =
            sim.start({"--fixed", "rpm=1726,speed=60", "--link", link, "--log-requests"}, link);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(QFileInfo(link).symLinkTarget(), sim.devicePath);

        const QList<std::pair<QByteArray, QByteArray>> exchanges = {
            {"atz\r", "atz\r\r\rELM327 v1.5\r\r>"},
            {"AT SP 6\r", "AT SP 6\rOK\r\r>"},
            {"01 0C 1\r", "01 0C 1\rSEARCHING...\r41 0C 1A F8 \r\r>"},
            {"\n21 0D\r", "21 0D\r61 0D 3C \r\r>"}, // a stray LF is ignored
            {"ATE0\r", "ATE0\rOK\r\r>"},
            {"010c\r", "41 0C 1A F8 \r\r>"},
        };
        QStringList sent;
        for (const auto& [command, expected] : exchanges) {
            QCOMPARE(sim.exchange(command), expected);
            sent << QString::fromLatin1(command).remove('\r').remove('\n');
        }
        QStringList requests;
        while (requests.size() < sent.size()) {
            const QString line = sim.nextLine();
            if (line.isEmpty())
                break;
            requests << line;
        }
        for (QString& s : sent)
            s.prepend(QStringLiteral("REQ "));
        QCOMPARE(requests, sent);

        // End of stdin leaves the adapter running; SIGTERM ends it and takes the link away.
        sim.process().closeWriteChannel();
        QTest::qWait(100);
        QCOMPARE(sim.exchange("ATI\r"), QByteArray("ELM327 v1.5\r\r>"));
        sim.process().terminate();
        QVERIFY(sim.process().waitForFinished(3000));
        QCOMPARE(sim.process().exitCode(), 0);
        QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());
    }

    void aSecondUnitAnswersOnTheWireToo()
    {
        SimulatorRun sim;
        const QString error = sim.start({"--second-ecu", "--fixed", "rpm=1726"});
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(sim.exchange("01 0C 1\r"),
                 QByteArray("01 0C 1\rSEARCHING...\r41 0C 1A F8 \r41 0C 00 00 \r\r>"));
    }

    void stdinCommandsSteerTheAnswers()
    {
        SimulatorRun sim;
        const QString error = sim.start({"--scenario", "idle"});
        QVERIFY2(error.isEmpty(), qPrintable(error));
        sim.exchange("0100\r");

        QCOMPARE(sim.control("set rpm 3000"), QStringLiteral("OK set rpm 3000"));
        QCOMPARE(sim.exchange("010C\r"), QByteArray("010C\r41 0C 2E E0 \r\r>"));
        QCOMPARE(sim.control("set volts 12.6"), QStringLiteral("OK set volts 12.6"));
        QCOMPARE(sim.exchange("ATRV\r"), QByteArray("ATRV\r12.6V\r\r>"));

        QCOMPARE(sim.control("fault nodata"), QStringLiteral("OK fault nodata 1"));
        QCOMPARE(sim.exchange("010C\r"), QByteArray("010C\rNO DATA\r\r>"));
        QCOMPARE(sim.exchange("010C\r"), QByteArray("010C\r41 0C 2E E0 \r\r>"));

        // Split: the same bytes, spread over several writes a few ms apart.
        QCOMPARE(sim.control("fault split"), QStringLiteral("OK fault split 1"));
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(sim.exchange("010C\r"), QByteArray("010C\r41 0C 2E E0 \r\r>"));
        QVERIFY(timer.elapsed() >= 12);

        QCOMPARE(sim.control("fault silence"), QStringLiteral("OK fault silence 1"));
        sim.send("010C\r");
        QCOMPARE(sim.readUntil(">", 300), QByteArray("010C\r"));
        QCOMPARE(sim.exchange("ATI\r"), QByteArray("ATI\rELM327 v1.5\r\r>"));

        QCOMPARE(sim.control("latency 150"), QStringLiteral("OK latency 150"));
        timer.restart();
        QCOMPARE(sim.exchange("ATI\r"), QByteArray("ATI\rELM327 v1.5\r\r>"));
        QVERIFY(timer.elapsed() >= 145);

        QVERIFY(sim.control("set boost 1").startsWith(QStringLiteral("ERR ")));
        QVERIFY(sim.control("fault fire").startsWith(QStringLiteral("ERR ")));
        QVERIFY(sim.control("jump").startsWith(QStringLiteral("ERR ")));
        QCOMPARE(sim.control("quit"), QStringLiteral("OK quit"));
        QVERIFY(sim.process().waitForFinished(3000));
        QCOMPARE(sim.process().exitCode(), 0);
    }

    void aHangupTakesTheDeviceAwayAndBringsANewOne()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("obd"));
        SimulatorRun sim;
        const QString error = sim.start({"--link", link}, link);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(sim.exchange("ATE0\r"), QByteArray("ATE0\rOK\r\r>"));

        QCOMPARE(sim.control("hangup 300"), QStringLiteral("OK hangup 300"));
        QVERIFY(!QFileInfo(link).isSymLink());
        // The client sees the line drop: end of data or a read error, never an answer.
        sim.send("ATI\r");
        sim.port().waitForReadyRead(200);
        QCOMPARE(sim.port().readAll(), QByteArray());

        const QString path = sim.nextLine();
        QVERIFY2(path.startsWith(QStringLiteral("PATH /dev/")), qPrintable(path));
        const QString device = path.mid(5);
        QCOMPARE(QFileInfo(link).symLinkTarget(), device);
        const QString reopen = sim.openDevice(link);
        QVERIFY2(reopen.isEmpty(), qPrintable(reopen));
        // A fresh power-up: echo is on again.
        QCOMPARE(sim.exchange("ATI\r"), QByteArray("ATI\rELM327 v1.5\r\r>"));
    }

    void aClientThatLeftLeavesNothingForTheNext()
    {
        SimulatorRun sim;
        const QString error = sim.start({});
        QVERIFY2(error.isEmpty(), qPrintable(error));
        sim.port().close();
        // Plain descriptors: they neither read in the background nor clear anything on open.
        const QByteArray device = QFile::encodeName(sim.devicePath);
        const int leaving = ::open(device.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(leaving >= 0);
        const QByteArray requests = QByteArray("0100\r").repeated(20);
        QVERIFY(::write(leaving, requests.constData(), requests.size()) == requests.size());
        QTest::qWait(100);
        ::close(leaving);

        const int fd = ::open(device.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(fd >= 0);
        QVERIFY(::write(fd, "ATI\r", 4) == 4);
        QByteArray received;
        for (int i = 0; i < 100 && !received.endsWith('>'); ++i) {
            QTest::qWait(10);
            char buffer[4096];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0)
                received.append(buffer, n);
        }
        ::close(fd);
        QCOMPARE(received, QByteArray("ATI\rELM327 v1.5\r\r>"));
    }

    void baudPacingTakesTheWireTime()
    {
        SimulatorRun sim;
        const QString error = sim.start({"--baud", "9600"});
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QElapsedTimer timer;
        timer.start();
        // 4 bytes in and 19 out at 9600 baud, 10 bits each: 24 ms on the wire.
        QCOMPARE(sim.exchange("ATI\r"), QByteArray("ATI\rELM327 v1.5\r\r>"));
        QVERIFY2(timer.elapsed() >= 23, qPrintable(QString::number(timer.elapsed())));
    }

    void anyBytesFromTheClientAreSurvived()
    {
        SimulatorRun sim;
        const QString error = sim.start({});
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QRandomGenerator random(42);
        QByteArray junk;
        for (int i = 0; i < 4000; ++i)
            junk += char(random.bounded(256));
        junk += QByteArray(1000, 'A') + '\r'; // far past the line limit
        sim.send(junk);
        sim.send("\rATI\r");
        const QByteArray tail = ">ATI\rELM327 v1.5\r\r>";
        QVERIFY(sim.readUntil(tail, 5000).endsWith(tail));
        QCOMPARE(sim.process().state(), QProcess::Running);
    }
};

QTEST_GUILESS_MAIN(TestElmsim)
#include "test_elmsim.moc"

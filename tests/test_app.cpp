#include "app/TachoraApp.h"
#include "common/ErrorReporter.h"
#include "display/DisplayState.h"
#include "link/AdapterConnection.h"
#include "link/SerialLink.h"
#include "link/SerialPortDevice.h"
#include "settings/SettingsState.h"
#include "support/FakeClock.h"
#include "trip/TripComputer.h"
#include "trip/TripLog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// A port that opens when its device name is in `present` and records what is written.
class StubPort : public SerialPortDevice
{
public:
    QStringList present;
    QList<QByteArray> written;
    QString openedDevice;
    bool open(const QString& device, qint32, QString* error) override
    {
        if (!present.contains(device)) {
            *error = QStringLiteral("no such device: ") + device;
            return false;
        }
        openedDevice = device;
        m_open = true;
        return true;
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray& bytes, QString*) override
    {
        written << bytes;
        return true;
    }
    QByteArray readAll() override { return {}; }

private:
    bool m_open = false;
};

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QList<QByteArray> traceTexts(const QString& dir)
{
    const QStringList files = QDir(dir).entryList({QStringLiteral("*.tst")}, QDir::Files);
    if (files.size() != 1)
        return {};
    QList<QByteArray> texts;
    for (QByteArray line : readFile(QDir(dir).filePath(files.first())).split('\n')) {
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        int i = 0;
        while (i < line.size() && line[i] >= '0' && line[i] <= '9')
            ++i;
        texts << line.mid(i);
    }
    return texts;
}

const QByteArray kSettings = "port=/dev/elm\r\nbaud=38400\r\nskins=\r\nv=2300\r\nh=75\r\n"
                             "MapMaf=MAP\r\nprotocol=Automatic\r\nFuelTank=65\r\nKSpeed=1.00\r\n"
                             "EngineWarm=0.00\r\nFastPull=0\r\nMode21=0\r\nPause=200\r\n";

struct Fixture
{
    QTemporaryDir work;
    QTemporaryDir runtime;
    FakeClock clock;
    StubPort* port = nullptr;
    std::unique_ptr<TachoraApp> app;

    explicit Fixture(bool withSettings = true)
    {
        if (withSettings)
            writeFile(work.filePath(QStringLiteral("Tachora.ini")), kSettings);
        auto stub = std::make_unique<StubPort>();
        stub->present << QStringLiteral("/dev/elm") << QStringLiteral("/dev/ttyS0");
        port = stub.get();
        app = std::make_unique<TachoraApp>(clock, TachoraApp::Paths{work.path(), runtime.path()},
                                           std::move(stub));
    }
};

} // namespace

class TestApp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aStartWithoutSettingsWritesTheDefaultFileAndTakesItsValues()
    {
        Fixture f(false);
        QCOMPARE(f.app->formCreate({}), TachoraApp::StartResult::Running);
        QVERIFY(readFile(f.work.filePath(QStringLiteral("Tachora.ini"))).startsWith("port=COM1\r\n"));
        SettingsState& s = f.app->settings();
        QCOMPARE(s.portNumber(), quint16(1));
        QCOMPARE(s.baudRate(), 38400);
        QCOMPARE(s.pauseMs(), 200);
        QCOMPARE(s.mapMaf(), 1);
        QCOMPARE(s.fuelTank().value(), 30.0);
        // The air-flow method hides the displacement group.
        QCOMPARE(f.app->display().isVisible(DisplayId::GroupBoxMAP), false);
        // COM1 is the first serial device; the start-up opened it and reset the adapter.
        QCOMPARE(f.port->openedDevice, QStringLiteral("/dev/ttyS0"));
        QCOMPARE(f.port->written, QList<QByteArray>{"atz\r"});
        QCOMPARE(f.app->connection().linkState(), LinkState::WaitAdapter);
        QCOMPARE(f.app->errors().reportCount(), 0);
    }

    void aTestStartTracesTheStartAndThePortInOrder()
    {
        Fixture f;
        QCOMPARE(f.app->formCreate({QStringLiteral("test")}), TachoraApp::StartResult::Running);
        QCOMPARE(f.app->testMode(), true);
        QCOMPARE(traceTexts(f.work.path()),
                 (QList<QByteArray>{":\xD1\xF2\xE0\xF0\xF2", ":\xCF\xEE\xF0\xF2 \xEE\xF2\xEA\xF0\xFB\xF2"}));
        // The start-up's own open leaves the timer off.
        QCOMPARE(f.app->connection().timerIni().isActive(), false);
    }

    void onlyTheExactFirstArgumentTestSwitchesTheTraceOn_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("capital") << QStringList{QStringLiteral("Test")};
        QTest::newRow("second argument") << QStringList{QStringLiteral("x"), QStringLiteral("test")};
        QTest::newRow("longer") << QStringList{QStringLiteral("test1")};
    }
    void onlyTheExactFirstArgumentTestSwitchesTheTraceOn()
    {
        QFETCH(QStringList, arguments);
        Fixture f;
        f.app->formCreate(arguments);
        QCOMPARE(f.app->testMode(), false);
        QCOMPARE(QDir(f.work.path()).entryList({QStringLiteral("*.tst")}).size(), 0);
    }

    void aSecondInstanceEndsAfterItsPortListAndTraceStart()
    {
        Fixture first;
        QCOMPARE(first.app->formCreate({}), TachoraApp::StartResult::Running);

        QTemporaryDir secondWork;
        FakeClock clock;
        clock.dateTime = clock.dateTime.addSecs(1);
        TachoraApp second(clock, {secondWork.path(), first.runtime.path()},
                          std::make_unique<StubPort>());
        QCOMPARE(second.formCreate({QStringLiteral("test")}), TachoraApp::StartResult::SecondInstance);
        QCOMPARE(traceTexts(secondWork.path()), QList<QByteArray>{":\xD1\xF2\xE0\xF0\xF2"});
        // It read no settings and opened nothing.
        QVERIFY(!QFile::exists(secondWork.filePath(QStringLiteral("Tachora.ini"))));
        QCOMPARE(first.app->connection().linkState(), LinkState::WaitAdapter);
    }

    void aFailingStepIsReportedAndTheStartUpGoesOn()
    {
        Fixture f(false);
        writeFile(f.work.filePath(QStringLiteral("Tachora.ini")),
                  "port=/dev/elm\r\nbaud=fast\r\nskins=\r\nv=1600\r\n");
        writeFile(f.work.filePath(QStringLiteral("ELM.ini")), "AT SP 6\r\nAT H0\r\n");
        QCOMPARE(f.app->formCreate({}), TachoraApp::StartResult::Running);
        QCOMPARE(f.app->errors().reportCount(), 1);
        QVERIFY(f.app->errors().shownMessages().first().contains(QStringLiteral("fast")));
        // The reading stopped at the bad line: the displacement line after it was not read.
        QCOMPARE(f.app->settings().vd(), QStringLiteral("2300"));
        // The steps after it ran: the custom list is loaded and the port is open.
        QCOMPARE(f.app->settings().listBox1(),
                 (QStringList{QStringLiteral("AT SP 6"), QStringLiteral("AT H0")}));
        QCOMPARE(f.port->openedDevice, QStringLiteral("/dev/elm"));
    }

    void aPortThatCannotBeOpenedLeavesTheLinkIdle()
    {
        Fixture f(false);
        writeFile(f.work.filePath(QStringLiteral("Tachora.ini")),
                  QByteArray(kSettings).replace("/dev/elm", "/dev/missing"));
        f.app->formCreate({});
        QCOMPARE(f.app->connection().linkState(), LinkState::Reconnect);
        QCOMPARE(f.app->connection().timerIni().isActive(), false);
        QCOMPARE(f.app->errors().reportCount(), 0);
        QCOMPARE(f.app->display().isLit(DisplayId::ImagePort), false);
    }

    void theSuspendQueryDropsToReconnectAndWaitsWhileEventsRun()
    {
        Fixture f;
        f.app->formCreate({QStringLiteral("test")});
        int ticksDuringWait = 0;
        QTimer timer;
        timer.setInterval(1);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            ++ticksDuringWait;
            f.clock.advance(100);
        });
        timer.start();
        const quint32 before = f.clock.tick;
        f.app->suspendQuery();
        timer.stop();
        QVERIFY(quint32(f.clock.tick - before) >= 500);
        QVERIFY(ticksDuringWait >= 5);
        QCOMPARE(f.app->connection().linkState(), LinkState::Reconnect);
        QCOMPARE(f.app->connection().timerIni().isActive(), false);
        QCOMPARE(f.app->link().isOpen(), true);
        QCOMPARE(traceTexts(f.work.path()).last(), QByteArray(":\xD3\xF5\xEE\xE4\xE8\xEC \xE2 \xF1\xEE\xED"));
    }

    void theDelayHoldsAcrossTheTickWrap()
    {
        Fixture f;
        f.clock.tick = 0xFFFFFFF0u;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] { f.clock.advance(50); });
        timer.start(1);
        f.app->delayWithMessages(500);
        timer.stop();
        // 0xFFFFFFF0 + 500 wraps; the wait still ends only once 500 ms have passed.
        QVERIFY(quint32(f.clock.tick - 0xFFFFFFF0u) >= 500);
    }

    void theResumeRestartsTheConnectionFromReconnect()
    {
        Fixture f;
        f.app->formCreate({});
        f.app->resume();
        QCOMPARE(f.app->connection().linkState(), LinkState::Reconnect);
        QCOMPARE(f.app->connection().timerIni().isActive(), true);
        f.app->connection().TimerIniTimer();
        QCOMPARE(f.clock.sleptMs, 200);
        QCOMPARE(f.port->written, (QList<QByteArray>{"atz\r", "atz\r"}));
        QCOMPARE(f.app->connection().linkState(), LinkState::WaitAdapter);
    }

    void aStartRestoresTheTankFromTheNewestTrip()
    {
        Fixture f;
        {
            FakeClock clock;
            ErrorReporter errors;
            TripLog log(f.work.filePath(QStringLiteral("Tachora.cds")), clock, errors);
            log.open();
            TripRecord older;
            older.startDate = QDate(2026, 12, 1);
            older.startTime = QTime(8, 0);
            older.fuelTank = 10.0;
            TripRecord newest = older;
            newest.startDate = QDate(2026, 12, 8);
            newest.fuelTank = 32.5;
            QVERIFY(log.append(newest));
            QVERIFY(log.append(older));
        }
        f.app->formCreate({});
        QCOMPARE(f.app->trip().totals().fuelInTank, 32.5);
        QCOMPARE(f.app->display().text(DisplayId::EditTank), QStringLiteral("32.50"));
        QCOMPARE(f.app->display().value(DisplayId::ProgressBarFuel), 50.0); // of 65 l
        QCOMPARE(f.app->display().text(DisplayId::LabelTank), QStringLiteral("50"));
    }

    void closingRecordsTheRunningTrip()
    {
        Fixture f;
        f.app->formCreate({});
        f.app->trip().startTrip();
        f.app->trip().totals().fuelUsed = 0.25;
        f.app->trip().totals().distance = 3.0;
        f.app->formClose();
        const QList<TripLogEntry> records = f.app->tripLog().records();
        QCOMPARE(records.size(), 1);
        QCOMPARE(records.first().record.rashod, std::optional<double>(0.25));
        QCOMPARE(f.app->trip().totals().fuelUsed, 0.0);
    }

    void closingTracesThePortClosedLineBeforeTheClosingLine()
    {
        Fixture f;
        f.app->formCreate({QStringLiteral("test")});
        f.app->resume(); // the initialisation timer runs
        f.app->formClose();
        // No tick reopens the port after the window has closed.
        QTest::qWait(500);
        QCOMPARE(f.app->connection().timerIni().isActive(), false);
        const QList<QByteArray> texts = traceTexts(f.work.path());
        QCOMPARE(texts.size(), 4);
        QCOMPARE(texts.at(2), QByteArray(":\xCF\xEE\xF0\xF2 \xE7\xE0\xEA\xF0\xFB\xF2"));
        QCOMPARE(texts.at(3), QByteArray(":\xCF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE0 \xE7\xE0\xEA\xF0\xFB\xF2\xE0"));
        QCOMPARE(f.app->link().isOpen(), false);
    }
};

QTEST_GUILESS_MAIN(TestApp)
#include "test_app.moc"

// The host export against the real hostmon process: as a front-end author runs it (monitor
// first, then the program), hung, and its output formats.
#include "app/TachoraApp.h"
#include "common/ErrorReporter.h"
#include "common/Win1251.h"
#include "display/DisplayState.h"
#include "host/HostExport.h"
#include "host/LocalHostTransport.h"
#include "link/AdapterConnection.h"
#include "support/FakeClock.h"
#include "support/FakeSerialDevice.h"
#include "trip/TripComputer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kWaitMs = 15000;

class Monitor
{
public:
    QProcess process;
    QStringList lines;  // stdout
    QStringList status; // stderr

    void start(const QStringList& args, const QString& runtimeDir = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!runtimeDir.isEmpty())
            env.insert(QStringLiteral("TACHORA_RUNTIME_DIR"), runtimeDir);
        process.setProcessEnvironment(env);
        QObject::connect(&process, &QProcess::readyReadStandardOutput, [this] {
            process.setReadChannel(QProcess::StandardOutput);
            while (process.canReadLine())
                lines << QString::fromUtf8(process.readLine()).chopped(1);
        });
        QObject::connect(&process, &QProcess::readyReadStandardError, [this] {
            process.setReadChannel(QProcess::StandardError);
            while (process.canReadLine())
                status << QString::fromUtf8(process.readLine()).chopped(1);
        });
        process.start(qEnvironmentVariable("TACHORA_BUILD_DIR") + QStringLiteral("/hostmon"), args);
    }

    int count(quint32 channel, const QString& value) const
    {
        int n = 0;
        for (const QString& line : lines) {
            const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
            n += o.value(QStringLiteral("dwData")).toInteger() == channel &&
                 o.value(QStringLiteral("value")).toString() == value;
        }
        return n;
    }
    QJsonObject last(quint32 channel) const
    {
        for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
            const QJsonObject o = QJsonDocument::fromJson(it->toUtf8()).object();
            if (o.value(QStringLiteral("dwData")).toInteger() == channel)
                return o;
        }
        return {};
    }
    int statusCount(const QString& start) const
    {
        return int(std::count_if(status.begin(), status.end(),
                                 [&](const QString& s) { return s.startsWith(start); }));
    }

    ~Monitor()
    {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            if (!process.waitForFinished(3000))
                process.kill();
            process.waitForFinished(1000);
        }
    }
};

struct TransportRig
{
    QTemporaryDir runtime;
    DisplayState display;
    ErrorReporter errors;
    LocalHostTransport transport;
    HostExport exporter{display, transport, errors};
    QString listenError = transport.listen(runtime.path(), true);
};

} // namespace

class TestHostProcess : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aMonitorStartedBeforeTheProgramReceivesEveryChangedValue()
    {
        QTemporaryDir work;
        QTemporaryDir runtime;
        Monitor monitor;
        monitor.start({QStringLiteral("--json"), QStringLiteral("--id"), QStringLiteral("77")},
                      runtime.path());
        QTRY_VERIFY_WITH_TIMEOUT(monitor.statusCount(QStringLiteral("hostmon: waiting")) > 0,
                                 kWaitMs);

        FakeClock clock;
        TachoraApp app(clock, {work.path(), runtime.path()}, std::make_unique<FakeSerialDevice>());
        QCOMPARE(app.formCreate({}), TachoraApp::StartResult::Running);
        QCOMPARE(app.errors().reportCount(), 0);
        QCOMPARE(app.hostExport().hostLastSent(135), QStringLiteral("0"));
        QTRY_COMPARE_WITH_TIMEOUT(app.hostExport().hostWindow(), 77u, kWaitMs);

        QCOMPARE(app.hostExport().timerSendHost().isActive(), false);
        Q_EMIT app.connection().pollingStarted();
        QCOMPARE(app.hostExport().timerSendHost().isActive(), true);

        app.display().setText(DisplayId::LabelSpeed, QStringLiteral("88"));
        QTRY_COMPARE_WITH_TIMEOUT(monitor.count(1, QStringLiteral("88")), 1, kWaitMs);
        const QJsonObject speed = monitor.last(1);
        QCOMPARE(speed.value(QStringLiteral("cbData")).toInteger(), 44);
        QCOMPARE(speed.value(QStringLiteral("caption")).toString(),
                 QStringLiteral("скорость,км/ч"));
        QCOMPARE(speed.value(QStringLiteral("wellFormed")).toBool(), true);

        // A trip ends: its maximum speed goes out once more, unchanged as it is.
        app.trip().startTrip();
        app.display().setText(DisplayId::LabelSpeedMaxOut, QStringLiteral("57"));
        QTRY_COMPARE_WITH_TIMEOUT(monitor.count(135, QStringLiteral("57")), 1, kWaitMs);
        app.trip().totals().fuelUsed = 0.25;
        app.trip().endTrip();
        QTRY_COMPARE_WITH_TIMEOUT(monitor.count(135, QStringLiteral("57")), 2, kWaitMs);
        QTest::qWait(300);
        QCOMPARE(monitor.count(135, QStringLiteral("57")), 2);
    }

    void imitationStartsTheExportToo()
    {
        QTemporaryDir work;
        QTemporaryDir runtime;
        FakeClock clock;
        TachoraApp app(clock, {work.path(), runtime.path()}, std::make_unique<FakeSerialDevice>());
        app.formCreate({});
        app.display().setChecked(DisplayId::CheckBoxImitation, true);
        QCOMPARE(app.hostExport().timerSendHost().isActive(), true);
        // Switching it off leaves the export running.
        app.display().setChecked(DisplayId::CheckBoxImitation, false);
        QCOMPARE(app.hostExport().timerSendHost().isActive(), true);
    }

    void aHungMonitorCostsOneWaitAndIsHeardAgainOnlyAfterItRegistersAgain()
    {
        TransportRig rig;
        QCOMPARE(rig.listenError, QString());
        Monitor monitor;
        monitor.start({QStringLiteral("--socket"), rig.transport.socketPath(),
                       QStringLiteral("--hang"), QStringLiteral("--id"), QStringLiteral("5")});
        QTRY_COMPARE_WITH_TIMEOUT(rig.exporter.hostWindow(), 5u, kWaitMs);

        const QByteArray block =
            HostExport::dataBlock(Win1251::encode(QStringLiteral("proba")), "1");
        QCOMPARE(rig.transport.send(1, block), HostTransport::SendResult::TimedOut);
        QCOMPARE(rig.transport.send(1, block), HostTransport::SendResult::NoHost);
        // The monitor saw the record, was dropped, and comes back by itself.
        QTRY_VERIFY_WITH_TIMEOUT(rig.transport.hasHost(), kWaitMs);
        QCOMPARE(monitor.statusCount(QStringLiteral("hostmon: registered as 5")), 2);
        QCOMPARE(monitor.lines.size(), 1);
    }

    void theMonitorPrintsOneTabSeparatedLinePerRecord()
    {
        TransportRig rig;
        Monitor monitor;
        monitor.start({QStringLiteral("--socket"), rig.transport.socketPath()});
        QTRY_VERIFY_WITH_TIMEOUT(rig.transport.hasHost(), kWaitMs);

        // Delivered: the monitor answered.
        QCOMPARE(
            rig.exporter.SendHostValue(3, Win1251::encode(QStringLiteral("напряжение,В")), "12.6"),
            HostExport::SendResult::Sent);
        QCOMPARE(rig.transport.send(7, "abc"), HostTransport::SendResult::Delivered);
        QTRY_COMPARE_WITH_TIMEOUT(monitor.lines.size(), 2, kWaitMs);
        QCOMPARE(monitor.lines, (QStringList{QStringLiteral("3\t43\t12.6\tнапряжение,В"),
                                             QStringLiteral("7\t3\tabc\t\tmalformed")}));
    }

    void theMonitorWithOnceEndsWhenNoProgramListens()
    {
        QTemporaryDir runtime;
        Monitor monitor;
        monitor.start({QStringLiteral("--once"), QStringLiteral("--socket"),
                       runtime.filePath(QStringLiteral("host.sock"))});
        QVERIFY(monitor.process.waitForFinished(kWaitMs));
        QCOMPARE(monitor.process.exitCode(), 1);
    }
};

QTEST_GUILESS_MAIN(TestHostProcess)
#include "test_host_process.moc"

// The built program as a black box against the simulated adapter: started as a process,
// offscreen, in a working and a runtime directory of its own.
#include "support/ElmSim.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>

namespace {

QString buildDir()
{
    return qEnvironmentVariable("TACHORA_BUILD_DIR");
}

struct Program
{
    QTemporaryDir work, runtime;
    ElmSim sim;
    QProcess process;

    bool start(const QStringList& simArgs, const QStringList& args)
    {
        const QString link = work.filePath(QStringLiteral("elm327"));
        if (!sim.start(QStringList{QStringLiteral("--link"), link} + simArgs))
            return false;
        QFile ini(work.filePath(QStringLiteral("Tachora.ini")));
        if (!ini.open(QIODevice::WriteOnly))
            return false;
        ini.write("port=" + QFile::encodeName(link)
                  + "\r\nbaud=38400\r\nskins=\r\nv=2300\r\nh=75\r\nMapMaf=MAF\r\nprotocol=Automatic\r\n"
                    "FuelTank=65\r\nKSpeed=1.00\r\nEngineWarm=0.00\r\nFastPull=0\r\nMode21=0\r\nPause=50\r\n");
        ini.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TACHORA_RUNTIME_DIR"), runtime.path());
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(work.path());
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(buildDir() + QStringLiteral("/tachora"), args);
        return process.waitForStarted(5000);
    }

    bool terminate()
    {
        ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
        return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit
               && process.exitCode() == 0;
    }

    QList<QByteArray> traceTexts() const
    {
        QList<QByteArray> texts;
        const QStringList files = QDir(work.path()).entryList({QStringLiteral("*.tst")}, QDir::Files);
        if (files.size() != 1)
            return texts;
        QFile f(QDir(work.path()).filePath(files.first()));
        if (!f.open(QIODevice::ReadOnly))
            return texts;
        for (const QByteArray& line : f.readAll().split('\n')) {
            int i = 0;
            while (i < line.size() && line[i] >= '0' && line[i] <= '9')
                ++i;
            QByteArray text = line.mid(i);
            if (text.endsWith('\r'))
                text.chop(1);
            if (!line.trimmed().isEmpty())
                texts << text;
        }
        return texts;
    }
};

const QByteArray kStart = ":\xD1\xF2\xE0\xF0\xF2";
const QByteArray kOpened = ":\xCF\xEE\xF0\xF2 \xEE\xF2\xEA\xF0\xFB\xF2";
const QByteArray kClosed = ":\xCF\xEE\xF0\xF2 \xE7\xE0\xEA\xF0\xFB\xF2";
const QByteArray kEnd = ":\xCF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE0 \xE7\xE0\xEA\xF0\xFB\xF2\xE0";

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aDriveEndsAsATripRecordWhenTheProgramIsTerminated()
    {
        Program p;
        // A front-end's host monitor, started first, as a front-end author would.
        QProcess hostmon;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TACHORA_RUNTIME_DIR"), p.runtime.path());
        hostmon.setProcessEnvironment(env);
        hostmon.start(buildDir() + QStringLiteral("/hostmon"), {QStringLiteral("--json")});
        QVERIFY(hostmon.waitForStarted(5000));
        // 90 km/h with 200 g/s of air at 20 °C: 58.9 l/h, 65.46 l/100 km.
        QVERIFY(p.start({QStringLiteral("--fixed"), QStringLiteral("rpm=2500,speed=90,maf=200,iat=20")},
                        {QStringLiteral("test")}));
        // Polling shows in the trace as answers in state 4; give the trip some fuel.
        QTRY_VERIFY_WITH_TIMEOUT(p.sim.count(QStringLiteral("01 10")) > 50, 20000);
        QTest::qWait(2000);
        QVERIFY(p.terminate());
        hostmon.terminate();
        QVERIFY(hostmon.waitForFinished(5000));
        // The host received the drive: the speed channel with its Windows-1251 caption.
        bool speedSeen = false;
        for (const QByteArray& line : hostmon.readAllStandardOutput().split('\n')) {
            const QJsonObject record = QJsonDocument::fromJson(line).object();
            if (record.value(QStringLiteral("dwData")).toInt() == 1
                && record.value(QStringLiteral("value")).toString() == QStringLiteral("90")) {
                QCOMPARE(record.value(QStringLiteral("caption")).toString(),
                         QString::fromUtf8("скорость,км/ч"));
                QCOMPARE(record.value(QStringLiteral("cbData")).toInt(), 44);
                QCOMPARE(record.value(QStringLiteral("wellFormed")).toBool(), true);
                speedSeen = true;
            }
        }
        QVERIFY(speedSeen);

        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("e2e"));
            db.setDatabaseName(p.work.filePath(QStringLiteral("Tachora.cds")));
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("SELECT MaxSpeed, Distance, Rashod, MPG, StartDate FROM MainTable")));
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toDouble(), 90.0);
            QVERIFY(q.value(1).toDouble() > 0.0);
            QVERIFY(q.value(2).toDouble() > 0.01);
            // The last speed sample's interval may miss its fuel when the program ends between the
            // two answers, and a loaded machine may stretch one: within 5 %.
            QVERIFY(qAbs(q.value(3).toDouble() / 65.4557 - 1.0) < 0.05);
            QCOMPARE(q.value(4).toString(), QDate::currentDate().toString(Qt::ISODate));
            QVERIFY(!q.next());
        }
        QSqlDatabase::removeDatabase(QStringLiteral("e2e"));

        // The trace: start, port, the answers in their states, the port closed, the end last.
        const QList<QByteArray> t = p.traceTexts();
        QVERIFY(t.size() > 20);
        QCOMPARE(t.at(0), kStart);
        QCOMPARE(t.at(1), kOpened);
        QVERIFY2(t.at(2).startsWith(" St:1 :atz") && t.at(2).contains("ELM327"), t.at(2).constData());
        QVERIFY(t.at(3).startsWith(" St:2 :AT DP"));
        QVERIFY(t.at(4).startsWith(" St:3 :01 00 1"));
        QVERIFY(t.at(5).startsWith(" St:4 :01 0F41 0F 3C "));
        QCOMPARE(t.at(t.size() - 2), kClosed);
        QCOMPARE(t.last(), kEnd);
    }

    void faultsOfTheAdapterEndInPollingAgainAndNoTripIsLost()
    {
        Program p;
        QVERIFY(p.start({QStringLiteral("--fixed"), QStringLiteral("rpm=2500,speed=90,maf=200,iat=20")},
                        {QStringLiteral("test")}));
        auto polls = [&p] { return p.sim.count(QStringLiteral("01 10")); };
        QTRY_VERIFY_WITH_TIMEOUT(polls() > 30, 20000);
        struct Fault
        {
            const char* command;
            bool endsTheTrip;
        };
        const Fault faults[] = {{"fault nodata 1", true}, {"fault garbage 1", false},
                                {"fault split 2", false}, {"fault silence 1", true},
                                {"hangup 1000", true}};
        int tripsEnded = 0;
        for (const Fault& fault : faults) {
            QTest::qWait(1500); // enough fuel for the trip to count
            const int resets = p.sim.count(QStringLiteral("atz"));
            QVERIFY2(p.sim.command(QString::fromLatin1(fault.command)), fault.command);
            if (fault.endsTheTrip) {
                ++tripsEnded;
                QTRY_VERIFY_WITH_TIMEOUT(p.sim.count(QStringLiteral("atz")) > resets, 15000);
            }
            const int before = polls();
            QTRY_VERIFY_WITH_TIMEOUT(polls() > before + 30, 20000);
        }
        QTest::qWait(1500);
        QVERIFY(p.terminate());

        // Every trip that an error ended is in the log, and so is the last one.
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("faults"));
        db.setDatabaseName(p.work.filePath(QStringLiteral("Tachora.cds")));
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("SELECT COUNT(*), MIN(MaxSpeed) FROM MainTable")));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), tripsEnded + 1);
        QCOMPARE(q.value(1).toDouble(), 90.0);
        db.close();

        // The trace shows polling again after the last reset, and the end last.
        const QList<QByteArray> t = p.traceTexts();
        qsizetype lastReset = -1;
        for (qsizetype i = 0; i < t.size(); ++i) {
            if (t[i].startsWith(" St:1 :atz"))
                lastReset = i;
        }
        QVERIFY(lastReset > 0);
        QVERIFY(std::any_of(t.begin() + lastReset, t.end(),
                            [](const QByteArray& line) { return line.startsWith(" St:4 :"); }));
        QCOMPARE(t.last(), kEnd);
    }

    void aSecondDriveAddsASecondRecordAndTheTankCarriesOver()
    {
        Program p;
        QVERIFY(p.start({QStringLiteral("--fixed"), QStringLiteral("speed=50,maf=150,iat=20")}, {}));
        QTRY_VERIFY_WITH_TIMEOUT(p.sim.count(QStringLiteral("01 10")) > 50, 20000);
        QTest::qWait(1500);
        QVERIFY(p.terminate());

        // The same working directory again: the log holds the first trip and the tank goes on.
        QProcess again;
        again.setProcessEnvironment(p.process.processEnvironment());
        again.setWorkingDirectory(p.work.path());
        again.start(buildDir() + QStringLiteral("/tachora"), {});
        QVERIFY(again.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(p.sim.count(QStringLiteral("atz")) >= 2, 10000);
        const int before = p.sim.count(QStringLiteral("01 10"));
        QTRY_VERIFY_WITH_TIMEOUT(p.sim.count(QStringLiteral("01 10")) > before + 50, 20000);
        QTest::qWait(1500);
        ::kill(static_cast<pid_t>(again.processId()), SIGTERM);
        QVERIFY(again.waitForFinished(10000));

        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("e2e2"));
        db.setDatabaseName(p.work.filePath(QStringLiteral("Tachora.cds")));
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("SELECT FuelTank, Rashod FROM MainTable ORDER BY Id")));
        QVERIFY(q.next());
        const double tank1 = q.value(0).toDouble();
        QVERIFY(q.next());
        // The second trip started from the first one's tank (a fresh log starts at 0 l).
        QVERIFY(qAbs(q.value(0).toDouble() - (tank1 - q.value(1).toDouble())) < 1e-9);
        QVERIFY(!q.next());
        db.close();
    }
};

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "test_e2e.moc"

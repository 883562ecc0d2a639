// The built program as a black box: started as a process, offscreen, in a working and a
// runtime directory of its own.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

QString programPath()
{
    return qEnvironmentVariable("TACHORA_BUILD_DIR") + QStringLiteral("/tachora");
}

struct Instance
{
    QProcess process;

    void start(const QString& work, const QString& runtime, const QStringList& args)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TACHORA_RUNTIME_DIR"), runtime);
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(work);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(programPath(), args);
    }
};

QList<QByteArray> traceTexts(const QString& dir)
{
    QList<QByteArray> texts;
    const QStringList files = QDir(dir).entryList({QStringLiteral("*.tst")}, QDir::Files);
    if (files.size() != 1)
        return texts;
    QFile f(QDir(dir).filePath(files.first()));
    if (!f.open(QIODevice::ReadOnly))
        return texts;
    for (QByteArray line : f.readAll().split('\n')) {
        line = line.trimmed();
        int i = 0;
        while (i < line.size() && line[i] >= '0' && line[i] <= '9')
            ++i;
        if (!line.isEmpty())
            texts << line.mid(i);
    }
    return texts;
}

void writeSettings(const QString& dir)
{
    QFile f(QDir(dir).filePath(QStringLiteral("Tachora.ini")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    // A port that is not there: the program starts idle, as without an adapter.
    f.write("port=/dev/tachora-test-no-such-port\r\nbaud=38400\r\nskins=\r\nv=2300\r\nh=75\r\n"
            "MapMaf=MAP\r\nprotocol=Automatic\r\nFuelTank=65\r\nKSpeed=1.00\r\n"
            "EngineWarm=0.00\r\nFastPull=0\r\nMode21=0\r\nPause=200\r\n");
}

const QByteArray kStart = ":\xD1\xF2\xE0\xF0\xF2";
const QByteArray kClosed = ":\xCF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE0 \xE7\xE0\xEA\xF0\xFB\xF2\xE0";

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY2(QFile::exists(programPath()), qPrintable(programPath())); }

    void aSecondInstanceEndsAtOnceAndSigtermClosesTheFirstLikeAUser()
    {
        QTemporaryDir work1, work2, runtime;
        writeSettings(work1.path());
        writeSettings(work2.path());

        Instance first;
        first.start(work1.path(), runtime.path(), {QStringLiteral("test")});
        QVERIFY(first.process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(runtime.filePath(QStringLiteral("instance.lock"))), 10000);
        QTest::qWait(300); // let it finish its start-up

        Instance second;
        QElapsedTimer timer;
        timer.start();
        second.start(work2.path(), runtime.path(), {QStringLiteral("test")});
        QVERIFY(second.process.waitForFinished(10000));
        qInfo("second instance ran for %lld ms in all (process start included)", timer.elapsed());
        QCOMPARE(second.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.process.exitCode(), 0);
        QCOMPARE(traceTexts(work2.path()), QList<QByteArray>{kStart});
        QCOMPARE(first.process.state(), QProcess::Running);

        ::kill(static_cast<pid_t>(first.process.processId()), SIGTERM);
        QVERIFY(first.process.waitForFinished(10000));
        QCOMPARE(first.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(first.process.exitCode(), 0);
        const QList<QByteArray> texts = traceTexts(work1.path());
        QVERIFY(texts.size() >= 2);
        QCOMPARE(texts.first(), kStart);
        QCOMPARE(texts.last(), kClosed);

        // With the first gone, a new start runs.
        Instance third;
        third.start(work2.path(), runtime.path(), {});
        QVERIFY(third.process.waitForStarted());
        QVERIFY(!third.process.waitForFinished(1500));
        ::kill(static_cast<pid_t>(third.process.processId()), SIGINT);
        QVERIFY(third.process.waitForFinished(10000));
        QCOMPARE(third.process.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "test_program.moc"

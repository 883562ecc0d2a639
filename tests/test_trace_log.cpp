#include "platform/TraceLog.h"
#include "support/FakeClock.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestTraceLog : public QObject
{
    Q_OBJECT

    static QByteArray readAll(const QString& path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return f.readAll();
    }

private Q_SLOTS:
    void theFileIsNamedAfterTheStartAndBeginsWithTheStartLine()
    {
        QTemporaryDir dir;
        FakeClock clock;
        TraceLog trace(clock, dir.path());
        trace.create();
        QCOMPARE(trace.fileName(), dir.filePath(QStringLiteral("091226_154512.tst")));
        QCOMPARE(readAll(trace.fileName()), QByteArray("0:\xD1\xF2\xE0\xF0\xF2\r\n"));
    }

    void linesCarryTheElapsedMillisecondsAcrossACounterWrap()
    {
        QTemporaryDir dir;
        FakeClock clock;
        clock.tick = 0xFFFFFF00u; // 256 ms before the 32-bit counter wraps
        TraceLog trace(clock, dir.path());
        trace.create();
        clock.advance(100);
        trace.writeLine(TraceLog::portOpenedText());
        clock.advance(400); // past the wrap
        trace.writeLine(TraceLog::answerText(1, QByteArray("atzELM327 v1.5>")));
        clock.advance(7);
        trace.writeLine(TraceLog::portChangedText(QStringLiteral("4"), 9600));
        trace.writeLine(TraceLog::portClosedText());
        trace.writeLine(TraceLog::sleepText());
        trace.writeLine(TraceLog::closedText());
        const QByteArray expected = QByteArray("0:\xD1\xF2\xE0\xF0\xF2\r\n")
                                    + "100:\xCF\xEE\xF0\xF2 \xEE\xF2\xEA\xF0\xFB\xF2\r\n"
                                    + "500 St:1 :atzELM327 v1.5>\r\n"
                                    + "507: \xCF\xEE\xF0\xF2: 4,9600\r\n"
                                    + "507:\xCF\xEE\xF0\xF2 \xE7\xE0\xEA\xF0\xFB\xF2\r\n"
                                    + "507:\xD3\xF5\xEE\xE4\xE8\xEC \xE2 \xF1\xEE\xED\r\n"
                                    + "507:\xCF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE0 \xE7\xE0\xEA\xF0\xFB\xF2\xE0\r\n";
        QCOMPARE(readAll(trace.fileName()), expected);
    }

    void receivedBytesAreWrittenAsTheyCame()
    {
        QTemporaryDir dir;
        FakeClock clock;
        TraceLog trace(clock, dir.path());
        trace.create();
        trace.writeLine(TraceLog::answerText(4, QByteArray("01 0C41 0C \x80\xFF >")));
        QVERIFY(readAll(trace.fileName()).endsWith("0 St:4 :01 0C41 0C \x80\xFF >\r\n"));
    }

    void aSecondCreateInTheSameSecondEmptiesTheFile()
    {
        QTemporaryDir dir;
        FakeClock clock;
        TraceLog first(clock, dir.path());
        first.create();
        first.writeLine(TraceLog::portOpenedText());
        TraceLog second(clock, dir.path());
        second.create();
        QCOMPARE(readAll(first.fileName()), QByteArray("0:\xD1\xF2\xE0\xF0\xF2\r\n"));
    }

    void withoutCreateNothingIsWritten()
    {
        QTemporaryDir dir;
        FakeClock clock;
        TraceLog trace(clock, dir.path());
        trace.writeLine(TraceLog::portOpenedText());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 0);
    }

    void aFileThatCannotBeCreatedIsAnErrorButALostAppendIsNot()
    {
        QTemporaryDir dir;
        FakeClock clock;
        TraceLog bad(clock, dir.filePath(QStringLiteral("missing/sub")));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, bad.create());
        QCOMPARE(bad.isEnabled(), false);

        TraceLog trace(clock, dir.path());
        trace.create();
        QDir(dir.path()).removeRecursively();
        trace.writeLine(TraceLog::portOpenedText()); // the directory is gone: ignored
    }
};

QTEST_GUILESS_MAIN(TestTraceLog)
#include "test_trace_log.moc"

#include "common/ErrorReporter.h"
#include "display/DisplayState.h"
#include "support/FakeClock.h"
#include "trip/TripLog.h"
#include "trip/TripLogConversion.h"
#include "trip/TripLogModel.h"
#include "trip/TripStatistics.h"
#include "trip/TripSummary.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>
#include <optional>

Q_DECLARE_METATYPE(TripRecord)

namespace {

// 2026-12-09, the fake clock's day.
const QDate kToday(2026, 12, 9);

char* describe(const TripRecord& r)
{
    const auto real = [](const std::optional<double>& v) {
        return v ? QString::number(*v, 'g', 17) : QStringLiteral("-");
    };
    const auto time = [](const std::optional<QTime>& t) {
        return t ? t->toString(QStringLiteral("HH:mm:ss.zzz")) : QStringLiteral("-");
    };
    const QString text =
        QStringLiteral("{%1 %2 all %3 traff %4 ms dist %5 fuel %6/%7 tank %8 mpg %9/%10 "
                       "speed %11/%12}")
            .arg(r.startDate ? r.startDate->toString(Qt::ISODate) : QStringLiteral("-"),
                 time(r.startTime), time(r.timeAll),
                 r.timeTraffMs ? QString::number(*r.timeTraffMs) : QStringLiteral("-"),
                 real(r.distance), real(r.rashod), real(r.rashodTraff), real(r.fuelTank),
                 real(r.mpg))
            .arg(real(r.mpgTraff), real(r.averageSpeed), real(r.maxSpeed));
    return qstrdup(text.toUtf8().constData());
}

TripRecord trip(QDate date, QTime time, std::optional<double> tank = 30.0)
{
    TripRecord r;
    r.startDate = date;
    r.startTime = time;
    r.timeAll = QTime(0, 40);
    r.timeTraffMs = 30 * 60 * 1000;
    r.distance = 20.0;
    r.rashod = 1.6;
    r.rashodTraff = 1.3;
    r.fuelTank = tank;
    r.mpg = 8.0;
    r.mpgTraff = 6.5;
    r.averageSpeed = 30.0;
    r.maxSpeed = 90.0;
    return r;
}

TripRecord summaryTrip(std::optional<double> fuel, std::optional<double> distance,
                       std::optional<double> averageSpeed, std::optional<double> maxSpeed)
{
    TripRecord r;
    r.rashod = fuel;
    r.distance = distance;
    r.averageSpeed = averageSpeed;
    r.maxSpeed = maxSpeed;
    return r;
}

// A direct look into the file, beside the trip log's own connection.
class RawFile
{
public:
    explicit RawFile(const QString& path) : m_name(QStringLiteral("raw-%1").arg(++s_count))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        if (!db.open())
            qFatal("cannot open %s", qPrintable(path));
    }
    ~RawFile()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }
    // Runs a statement; the first column of every row it gives.
    QVariantList column(const QString& sql) const
    {
        QSqlQuery q(db());
        if (!q.exec(sql))
            qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        QVariantList values;
        while (q.next())
            values << q.value(0);
        return values;
    }
    QVariant value(const QString& sql) const
    {
        const QVariantList values = column(sql);
        return values.isEmpty() ? QVariant() : values.first();
    }

private:
    static inline int s_count = 0;
    QString m_name;
};

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace

namespace QTest {
template <> char* toString(const TripRecord& r)
{
    return describe(r);
}
} // namespace QTest

class TestTripLog : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    FakeClock m_clock;
    std::unique_ptr<ErrorReporter> m_errors;
    std::unique_ptr<TripLog> m_log;

    QString path() const { return m_dir->filePath(TripLog::defaultFileName()); }

    // A second log on the same file, as the next start of the program would open it.
    std::unique_ptr<TripLog> nextStart(ErrorReporter& errors)
    {
        auto log = std::make_unique<TripLog>(path(), m_clock, errors);
        log->open();
        return log;
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_clock = FakeClock();
        m_errors = std::make_unique<ErrorReporter>();
        m_log = std::make_unique<TripLog>(path(), m_clock, *m_errors);
    }

    void cleanup()
    {
        m_log.reset();
        QCOMPARE(m_errors->shownMessages(), QStringList());
    }

    // ---- the record of a trip

    void theFinishedTripBecomesOneRecord_data()
    {
        QTest::addColumn<qint64>("movingTimeMs");
        QTest::addColumn<qint64>("elapsedMs");
        QTest::addColumn<double>("distance");
        QTest::addColumn<double>("fuel");
        QTest::addColumn<double>("fuelMoving");
        QTest::addColumn<qint64>("timeTraffMs");
        QTest::addColumn<QTime>("timeAll");
        QTest::addColumn<double>("mpg");
        QTest::addColumn<double>("mpgTraff");

        const qint64 h = 3600000;
        QTest::newRow("3 725 400 ms moving is 01:02:05, the 400 ms dropped")
            << qint64(3725400) << 2 * h << 40.0 << 3.0 << 2.0 << qint64(3725000) << QTime(2, 0)
            << 7.5 << 5.0;
        QTest::newRow("24 h moving is kept whole") << 24 * h << 24 * h + 5000 << 40.0 << 3.0 << 2.0
                                                   << 24 * h << QTime(0, 0, 5) << 7.5 << 5.0;
        QTest::newRow("25 h 59 min 59.999 s moving keeps every whole second")
            << 26 * h - 1 << 26 * h << 40.0 << 3.0 << 2.0 << 26 * h - 1000 << QTime(2, 0) << 7.5
            << 5.0;
        QTest::newRow("25 h elapsed is stored as 01:00:00")
            << h << 25 * h << 40.0 << 3.0 << 2.0 << h << QTime(1, 0) << 7.5 << 5.0;
        QTest::newRow("fuel without distance has no consumption")
            << qint64(0) << 10 * 60000LL << 0.0 << 0.5 << 0.0 << qint64(0) << QTime(0, 10) << 0.0
            << 0.0;
    }
    void theFinishedTripBecomesOneRecord()
    {
        QFETCH(qint64, movingTimeMs);
        QFETCH(qint64, elapsedMs);
        QFETCH(double, distance);
        QFETCH(double, fuel);
        QFETCH(double, fuelMoving);
        QFETCH(qint64, timeTraffMs);
        QFETCH(QTime, timeAll);
        QFETCH(double, mpg);
        QFETCH(double, mpgTraff);

        TripTotals t;
        t.tripStart = QDateTime(kToday, QTime(7, 58, 3, 250));
        t.movingTimeMs = movingTimeMs;
        t.elapsedMs = elapsedMs;
        t.distance = distance;
        t.fuelUsed = fuel;
        t.fuelUsedMoving = fuelMoving;
        t.fuelInTank = -2.5; // not limited
        t.averageSpeed = 41.5;
        t.maxSpeed = 117;
        m_log->open();

        TripRecord expected;
        expected.startDate = kToday;
        expected.startTime = QTime(7, 58, 3, 250);
        expected.timeAll = timeAll;
        expected.timeTraffMs = timeTraffMs;
        expected.distance = distance;
        expected.rashod = fuel;
        expected.rashodTraff = fuelMoving;
        expected.fuelTank = -2.5;
        expected.mpg = mpg;
        expected.mpgTraff = mpgTraff;
        expected.averageSpeed = 41.5;
        expected.maxSpeed = 117.0;
        const TripRecord record = TripLogConversion::recordFromTotals(t);
        QCOMPARE(record, expected);

        // Stored and read back unchanged, however long the trip.
        QVERIFY(m_log->append(record));
        QCOMPARE(m_log->records().value(0).record, expected);
    }

    void theFileHoldsOneColumnPerFieldWithTextTimesAndNullForEmptyFields()
    {
        m_log->open();
        TripRecord r = trip(kToday, QTime(7, 58, 3, 250));
        r.timeAll = QTime(1, 0);
        r.timeTraffMs = 25 * 3600000LL;
        r.mpg.reset();
        QVERIFY(m_log->append(r));

        RawFile raw(path());
        QCOMPARE(raw.value(QStringLiteral("PRAGMA user_version")).toInt(), TripLog::kSchemaVersion);
        QCOMPARE(raw.column(QStringLiteral("SELECT name FROM pragma_table_info('MainTable')")),
                 (QVariantList{"Id", "StartDate", "StartTime", "TimeAll", "TimeTraff", "Distance",
                               "Rashod", "RashodTraff", "FuelTank", "MPG", "MPG_Traff",
                               "AverageSpeed", "MaxSpeed"}));
        QCOMPARE(raw.column(QStringLiteral(
                     "SELECT name || ' ' || desc FROM pragma_index_xinfo('MainTableIndex1') "
                     "WHERE key")),
                 (QVariantList{"StartDate 1", "StartTime 1"}));
        QCOMPARE(raw.column(QStringLiteral(
                     "SELECT StartDate || '|' || StartTime || '|' || TimeAll || '|' || TimeTraff "
                     "|| '|' || typeof(Distance) || '|' || typeof(MPG) FROM MainTable")),
                 (QVariantList{"2026-12-09|07:58:03.250|01:00:00.000|25:00:00.000|real|null"}));
    }

    // ---- order, tank, opening

    void tripsAreListedNewestFirstWhateverTheirInsertOrder()
    {
        const QDate yesterday = kToday.addDays(-1);
        m_log->open();
        QVERIFY(m_log->append(trip(kToday, QTime(8, 0))));
        QVERIFY(m_log->append(trip(yesterday, QTime(23, 0))));
        QVERIFY(m_log->append(trip(kToday, QTime(17, 30))));
        QVERIFY(m_log->append(trip(kToday, QTime(8, 0, 0, 1))));

        QList<QDateTime> starts;
        for (const TripLogEntry& e : m_log->records())
            starts << QDateTime(*e.record.startDate, *e.record.startTime);
        QCOMPARE(starts, (QList<QDateTime>{
                             QDateTime(kToday, QTime(17, 30)), QDateTime(kToday, QTime(8, 0, 0, 1)),
                             QDateTime(kToday, QTime(8, 0)), QDateTime(yesterday, QTime(23, 0))}));
    }

    void openingGivesTheNewestTripsTank_data()
    {
        // Trips as "date time tank" in insert order; "-" for an empty tank field.
        QTest::addColumn<QStringList>("trips");
        QTest::addColumn<double>("tank");
        QTest::newRow("newest written last")
            << QStringList{"2026-12-08 09:00 31.5", "2026-12-09 07:10 28.25"} << 28.25;
        QTest::newRow("newest written first")
            << QStringList{"2026-12-09 07:10 28.25", "2026-12-08 09:00 31.5", "2026-11-30 18:00 12"}
            << 28.25;
        QTest::newRow("same day: the later start")
            << QStringList{"2026-12-09 18:00 14", "2026-12-09 07:10 28.25"} << 14.0;
        QTest::newRow("same start: the later trip")
            << QStringList{"2026-12-09 07:10 28.25", "2026-12-09 07:10 27"} << 27.0;
        QTest::newRow("newest tank empty")
            << QStringList{"2026-12-08 09:00 31.5", "2026-12-09 07:10 -"} << 0.0;
        QTest::newRow("negative tank") << QStringList{"2026-12-09 07:10 -3.5"} << -3.5;
        QTest::newRow("no trips") << QStringList{} << 0.0;
    }
    void openingGivesTheNewestTripsTank()
    {
        QFETCH(QStringList, trips);
        QFETCH(double, tank);
        m_log->open();
        for (const QString& t : trips) {
            const QStringList p = t.split(u' ');
            std::optional<double> fuel;
            if (p[2] != QLatin1String("-"))
                fuel = p[2].toDouble();
            QVERIFY(m_log->append(trip(QDate::fromString(p[0], Qt::ISODate),
                                       QTime::fromString(p[1], QStringLiteral("HH:mm")), fuel)));
        }
        QCOMPARE(m_log->open(), tank);
        ErrorReporter errors;
        QCOMPARE(TripLog(path(), m_clock, errors).open(), tank);
    }

    void aMissingFileIsAnEmptyLogCreatedAtTheFirstTrip()
    {
        QSignalSpy changed(m_log.get(), &TripLog::changed);
        QCOMPARE(m_log->open(), 0.0);
        QCOMPARE(m_log->records(), QList<TripLogEntry>());
        QVERIFY(!QFile::exists(path()));
        QCOMPARE(changed.size(), 1);

        QVERIFY(m_log->append(trip(kToday, QTime(9, 0), 44.0)));
        QVERIFY(QFile::exists(path()));
        QCOMPARE(changed.size(), 2);
        ErrorReporter errors;
        QCOMPARE(nextStart(errors)->records().size(), 1);
    }

    void aLogThatCouldNotBeOpenedIsTriedAgainAtTheNextTrip()
    {
        // Something that cannot be opened stands where the log should be (a directory here,
        // as root ignores permissions); once it is gone the next trip reaches the file.
        QVERIFY(QDir().mkpath(path()));
        m_log->open();
        QVERIFY(!m_log->append(trip(kToday, QTime(8, 0), 40.0)));
        QCOMPARE(m_errors->shownMessages().size(), 2); // the open and the lost trip
        for (const QString& message : m_errors->shownMessages())
            m_errors->acknowledge(message);
        QVERIFY(QDir(path()).removeRecursively());
        QVERIFY(m_log->append(trip(kToday, QTime(9, 0), 44.0)));
        ErrorReporter errors;
        QCOMPARE(TripLog(path(), m_clock, errors).open(), 44.0);
    }

    void anEmptyFileIsAnEmptyLogNotADamagedOne()
    {
        // What a crash between creating the file and writing its first page leaves.
        writeFile(path(), {});
        QCOMPARE(m_log->open(), 0.0);
        QVERIFY(m_log->append(trip(kToday, QTime(9, 0), 44.0)));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).filter(QStringLiteral("damaged")),
                 QStringList());
        ErrorReporter errors;
        QCOMPARE(TripLog(path(), m_clock, errors).open(), 44.0);
    }

    void reopeningReadsTheFileAgainWithoutTheTank()
    {
        m_log->open();
        QVERIFY(m_log->append(trip(kToday, QTime(9, 0), 44.0)));
        {
            ErrorReporter errors;
            auto other = nextStart(errors);
            QVERIFY(other->append(trip(kToday, QTime(10, 0), 41.0)));
        }
        QSignalSpy changed(m_log.get(), &TripLog::changed);
        m_log->reopen();
        QCOMPARE(changed.size(), 1);
        QCOMPARE(m_log->records().size(), 2);
        QVERIFY(m_log->append(trip(kToday, QTime(11, 0), 39.0)));
        QCOMPARE(m_log->records().size(), 3);
    }

    // ---- failures

    void aDamagedOrForeignFileIsKeptAsideAndAFreshLogStarts_data()
    {
        QTest::addColumn<std::function<void(const QString&)>>("make");
        QTest::addColumn<QString>("problem");

        QTest::newRow("random bytes") << std::function<void(const QString&)>([](const QString& p) {
            QRandomGenerator random(4711);
            QByteArray bytes(8192, Qt::Uninitialized);
            for (char& c : bytes)
                c = char(random.bounded(256));
            writeFile(p, bytes);
        }) << QStringLiteral("damaged or not a database");
        QTest::newRow("a trip log cut short")
            << std::function<void(const QString&)>([](const QString& p) {
                   {
                       FakeClock clock;
                       ErrorReporter errors;
                       TripLog log(p, clock, errors);
                       log.open();
                       QList<TripRecord> many;
                       for (int i = 0; i < 2000; ++i)
                           many << trip(kToday.addDays(-i / 4), QTime(6 + i % 4 * 4, 0));
                       if (!log.append(many))
                           qFatal("no trips written");
                   }
                   QFile f(p);
                   if (!f.resize(f.size() / 2))
                       qFatal("cannot cut the file");
               })
            << QStringLiteral("damaged");
        QTest::newRow("a database of another program")
            << std::function<void(const QString&)>([](const QString& p) {
                   RawFile raw(p);
                   raw.column(QStringLiteral("CREATE TABLE Contacts (Name TEXT, Phone TEXT)"));
                   raw.column(QStringLiteral("INSERT INTO Contacts VALUES ('Ivan', '555')"));
               })
            << QStringLiteral("no trip table");
        QTest::newRow("a table of the same name with other columns")
            << std::function<void(const QString&)>([](const QString& p) {
                   RawFile raw(p);
                   raw.column(QStringLiteral("CREATE TABLE MainTable (Id INTEGER PRIMARY KEY, "
                                             "StartDate TEXT, Km REAL)"));
                   raw.column(QStringLiteral("PRAGMA user_version=1"));
               })
            << QStringLiteral("no column StartTime");
        QTest::newRow("a trip log of a later version")
            << std::function<void(const QString&)>([](const QString& p) {
                   {
                       FakeClock clock;
                       ErrorReporter errors;
                       TripLog log(p, clock, errors);
                       log.open();
                       log.append(trip(kToday, QTime(9, 0)));
                   }
                   RawFile raw(p);
                   raw.column(QStringLiteral("PRAGMA user_version=2"));
               })
            << QStringLiteral("schema 2, expected 1");
    }
    void aDamagedOrForeignFileIsKeptAsideAndAFreshLogStarts()
    {
        QFETCH(std::function<void(const QString&)>, make);
        QFETCH(QString, problem);
        make(path());
        QFile::remove(path() + QStringLiteral("-wal"));
        QFile::remove(path() + QStringLiteral("-shm"));
        const QByteArray original = readAll(path());
        // A file kept aside earlier in the same second is not touched.
        const QString earlier = path() + QStringLiteral(".damaged-20261209-154512");
        writeFile(earlier, "kept before");

        QCOMPARE(m_log->open(), 0.0);

        QCOMPARE(m_errors->reportCount(), 1);
        const QString message = m_errors->shownMessages().value(0);
        QVERIFY2(message.contains(problem), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("Tachora.cds.damaged-20261209-154512-2")),
                 qPrintable(message));
        QCOMPARE(readAll(earlier), QByteArray("kept before"));
        QCOMPARE(readAll(path() + QStringLiteral(".damaged-20261209-154512-2")), original);
        QCOMPARE(m_log->records(), QList<TripLogEntry>());

        QVERIFY(m_log->append(trip(kToday, QTime(9, 0), 44.0)));
        ErrorReporter errors;
        QCOMPARE(TripLog(path(), m_clock, errors).open(), 44.0);
        QCOMPARE(errors.reportCount(), 0);
        m_errors->acknowledge(message);
    }

    void aTripThatCannotBeWrittenIsReportedAndRefused()
    {
        TripLog log(m_dir->filePath(QStringLiteral("no-such-dir/Tachora.cds")), m_clock, *m_errors);
        QCOMPARE(log.open(), 0.0);
        QCOMPARE(m_errors->reportCount(), 0);
        QVERIFY(!log.append(trip(kToday, QTime(9, 0))));
        QCOMPARE(m_errors->reportCount(), 1);
        QVERIFY2(m_errors->shownMessages().value(0).contains(QStringLiteral("Tachora.cds")),
                 qPrintable(m_errors->shownMessages().value(0)));
        for (const QString& m : m_errors->shownMessages())
            m_errors->acknowledge(m);
    }

    // ---- summary

    void theSummaryFollowsItsRules_data()
    {
        QTest::addColumn<QList<TripRecord>>("records");
        QTest::addColumn<QStringList>("labels"); // fuel, distance, consumption, max, average

        QTest::newRow("no trip: all five 0.0")
            << QList<TripRecord>{} << QStringList{"0.0", "0.0", "0.0", "0.0", "0.0"};
        QTest::newRow("consumption of the sums, not the mean of the trips'")
            << QList<TripRecord>{summaryTrip(3.0, 40.0, 50.0, 100.0),
                                 summaryTrip(1.0, 10.0, 20.0, 60.0)}
            << QStringList{"4.0", "50.0", "8.0", "100", "35.0"};
        QTest::newRow("80.5 and 79 give 80")
            << QList<TripRecord>{summaryTrip(1.0, 10.0, 40.0, 80.5),
                                 summaryTrip(1.0, 10.0, 40.0, 79.0)}
            << QStringList{"2.0", "20.0", "10.0", "80", "40.0"};
        QTest::newRow("79 and 80.5 give 80")
            << QList<TripRecord>{summaryTrip(1.0, 10.0, 40.0, 79.0),
                                 summaryTrip(1.0, 10.0, 40.0, 80.5)}
            << QStringList{"2.0", "20.0", "10.0", "80", "40.0"};
        QTest::newRow("81.5 gives 82") << QList<TripRecord>{summaryTrip(1.0, 10.0, 40.0, 81.5)}
                                       << QStringList{"1.0", "10.0", "10.0", "82", "40.0"};
        QTest::newRow("no distance: the fuel and a consumption of 0.0")
            << QList<TripRecord>{summaryTrip(0.4, 0.0, 0.0, 0.0), summaryTrip(0.3, 0.0, 0.0, 0.0)}
            << QStringList{"0.7", "0.0", "0.0", "0", "0.0"};
        QTest::newRow("empty fields add nothing but the trip counts")
            << QList<TripRecord>{summaryTrip(2.0, 20.0, 60.0, 100.0),
                                 summaryTrip(std::nullopt, std::nullopt, std::nullopt,
                                             std::nullopt)}
            << QStringList{"2.0", "20.0", "10.0", "100", "30.0"};
        QTest::newRow("halves go away from zero")
            << QList<TripRecord>{summaryTrip(0.25, 2.0, 60.5, 50.0),
                                 summaryTrip(0.0, 0.0, 60.0, 0.0)}
            << QStringList{"0.3", "2.0", "12.5", "50", "60.3"};
    }
    void theSummaryFollowsItsRules()
    {
        QFETCH(QList<TripRecord>, records);
        QFETCH(QStringList, labels);
        const TripSummary s = SummariseTripLog(records);
        QCOMPARE((QStringList{s.fuel, s.distance, s.consumption, s.maxSpeed, s.averageSpeed}),
                 labels);
    }

    // ---- period filter and the statistics page

    void thePeriodFilterCountsCalendarDays_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<int>("item");
        QTest::addColumn<QList<int>>("daysAgo"); // of the trips listed, newest first

        // Trips: today 00:00:05, yesterday 23:59 (ended after midnight), 6, 7, 29 and 30 days ago.
        const QDateTime afterMidnight(kToday, QTime(0, 0, 10));
        QTest::newRow("day, just after midnight") << afterMidnight << 1 << QList<int>{0};
        QTest::newRow("week: 6 days ago counts, 7 does not")
            << afterMidnight << 2 << QList<int>{0, 1, 6};
        QTest::newRow("month: 29 days ago counts, 30 does not")
            << QDateTime(kToday, QTime(23, 59)) << 3 << QList<int>{0, 1, 6, 7, 29};
        QTest::newRow("all") << afterMidnight << 0 << QList<int>{0, 1, 6, 7, 29, 30};
    }
    void thePeriodFilterCountsCalendarDays()
    {
        QFETCH(QDateTime, now);
        QFETCH(int, item);
        QFETCH(QList<int>, daysAgo);
        m_log->open();
        QVERIFY(m_log->append(trip(kToday, QTime(0, 0, 5))));
        QVERIFY(m_log->append(trip(kToday.addDays(-1), QTime(23, 59))));
        for (int d : {6, 7, 29, 30})
            QVERIFY(m_log->append(trip(kToday.addDays(-d), QTime(12, 0))));

        DisplayState display;
        TripStatistics statistics(*m_log, display, m_clock);
        m_clock.dateTime = now;
        // Another item first, so that the item under test is a change.
        display.setIndex(DisplayId::RadioGroup1, item == 1 ? 2 : 1);
        display.setIndex(DisplayId::RadioGroup1, item);

        const TripLogModel& model = statistics.model();
        QList<int> listed;
        for (int row = 0; row < model.rowCount(); ++row)
            listed << int(m_log->record(model.idAt(row))->record.startDate->daysTo(kToday));
        QCOMPARE(listed, daysAgo);
        QCOMPARE(display.text(DisplayId::LabelDistance2),
                 item == 0 ? QStringLiteral("0.0") : QString::number(20 * daysAgo.size()) + ".0");
    }

    void choosingAnItemWritesTheSummaryAndItsTitle_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<QStringList>("labels"); // LabelRezult and the five
        QTest::newRow("day") << 1
                             << QStringList{"Суточный итог", "1.5", "10.0", "15.0", "92", "60.0"};
        QTest::newRow("week") << 2
                              << QStringList{"Недельный итог", "3.5", "40.0", "8.8", "110", "45.0"};
        QTest::newRow("month") << 3
                               << QStringList{"Месячный итог", "3.5", "40.0", "8.8", "110", "45.0"};
        QTest::newRow("all: the running trip's labels start from 0.0")
            << 0 << QStringList{"Текущая поездка", "0.0", "0.0", "0.0", "0.0", "0.0"};
    }
    void choosingAnItemWritesTheSummaryAndItsTitle()
    {
        QFETCH(int, item);
        QFETCH(QStringList, labels);
        m_log->open();
        TripRecord today = trip(kToday, QTime(8, 0));
        today.rashod = 1.5, today.distance = 10.0, today.averageSpeed = 60.0, today.maxSpeed = 92.0;
        TripRecord earlier = trip(kToday.addDays(-3), QTime(8, 0));
        earlier.rashod = 2.0, earlier.distance = 30.0, earlier.averageSpeed = 30.0,
        earlier.maxSpeed = 110.0;
        QVERIFY(m_log->append(today));
        QVERIFY(m_log->append(earlier));

        DisplayState display;
        TripStatistics statistics(*m_log, display, m_clock);
        display.setIndex(DisplayId::RadioGroup1, item == 2 ? 3 : 2);
        display.setIndex(DisplayId::RadioGroup1, item);
        QCOMPARE(
            (QStringList{
                display.text(DisplayId::LabelRezult), display.text(DisplayId::LabelTopl2),
                display.text(DisplayId::LabelDistance2), display.text(DisplayId::LabelRashod2),
                display.text(DisplayId::LabelSpeedMax), display.text(DisplayId::LabelSpeedSr)}),
            labels);
    }

    void aChosenDayStaysWhileTripsArriveAndItsSummaryStaysAsComputed()
    {
        m_log->open();
        QVERIFY(m_log->append(trip(kToday, QTime(8, 0))));
        DisplayState display;
        TripStatistics statistics(*m_log, display, m_clock);
        m_clock.dateTime = QDateTime(kToday, QTime(23, 59));
        display.setIndex(DisplayId::RadioGroup1, 1);
        QCOMPARE(statistics.model().rowCount(), 1);
        QCOMPARE(display.text(DisplayId::LabelDistance2), QStringLiteral("20.0"));

        // Past midnight the chosen day is still the day before.
        m_clock.advance(2 * 60 * 1000);
        QVERIFY(m_log->append(trip(kToday, QTime(23, 30))));
        QVERIFY(m_log->append(trip(kToday.addDays(1), QTime(0, 0, 30))));
        QCOMPARE(statistics.model().rowCount(), 2);
        QCOMPARE(statistics.filter().today(), kToday);
        QCOMPARE(display.text(DisplayId::LabelDistance2), QStringLiteral("20.0"));

        // Choosing the same item again is no click: nothing moves.
        display.setIndex(DisplayId::RadioGroup1, 1);
        QCOMPARE(statistics.filter().today(), kToday);
    }

    void clearingRemovesEveryTripButKeepsTheFilterAndTheLabels()
    {
        m_log->open();
        for (int h : {7, 9, 18})
            QVERIFY(m_log->append(trip(kToday, QTime(h, 0))));
        DisplayState display;
        TripStatistics statistics(*m_log, display, m_clock);
        display.setIndex(DisplayId::RadioGroup1, 1);
        const TripLogFilter filter = statistics.filter();

        statistics.PngSpeedButton7Click();

        QCOMPARE(m_log->records(), QList<TripLogEntry>());
        QCOMPARE(statistics.model().rowCount(), 0);
        QCOMPARE(statistics.filter(), filter);
        QCOMPARE(display.text(DisplayId::LabelDistance2), QStringLiteral("60.0"));
        ErrorReporter errors;
        QCOMPARE(nextStart(errors)->records(), QList<TripLogEntry>());
        QCOMPARE(TripLog(path(), m_clock, errors).open(), 0.0);
    }

    // ---- the grid

    void theGridShowsTheFieldsInTheirFormats()
    {
        m_log->open();
        TripRecord r = trip(kToday, QTime(7, 5, 9, 750));
        r.timeAll = QTime(1, 0);
        r.timeTraffMs = 25 * 3600000LL + 65000;
        r.distance = 1234.25;
        r.rashod = 0.05;
        r.mpg = 0.04;
        r.mpgTraff.reset();
        r.averageSpeed = 59.5;
        r.maxSpeed = 80.5;
        QVERIFY(m_log->append(r));
        TripLogModel model(*m_log);

        QStringList display, edit, align, titles, widths;
        for (int c = 0; c < model.columnCount(); ++c) {
            display << model.index(0, c).data().toString();
            edit << model.index(0, c).data(Qt::EditRole).toString();
            const auto a = Qt::Alignment(model.index(0, c).data(Qt::TextAlignmentRole).toInt());
            align << (a == Qt::AlignCenter                       ? "centre"
                      : a == (Qt::AlignRight | Qt::AlignVCenter) ? "right"
                                                                 : "?");
            titles << model.headerData(c, Qt::Horizontal).toString();
            widths << QString::number(TripLogModel::columnWidth(c));
            QCOMPARE(model.headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).toInt(),
                     int(Qt::AlignCenter));
        }
        QCOMPARE(display, (QStringList{"9 Dec 2026", "07:05:09", "01:00:00", "25:01:05", "1234.3",
                                       "0.1", "0.0", "", "60", "80.5"}));
        QCOMPARE(edit, (QStringList{"9 Dec 2026", "07:05:09", "01:00:00", "25:01:05", "1234.25",
                                    "0.05", "0.04", "", "59.5", "80.5"}));
        QCOMPARE(align, (QStringList{"centre", "centre", "right", "right", "right", "right",
                                     "right", "right", "right", "right"}));
        QCOMPARE(titles, (QStringList{"Дата старт", "Время старт", "Время ", "Время.Дв", "Пробег",
                                      "Топл.", "Расход", "Расход.Дв.", "Ср.Скор.", "Макс.Скор."}));
        QCOMPARE(widths, (QStringList{"98", "86", "72", "74", "51", "46", "46", "70", "62", "73"}));
    }

    void editingACellWritesTheFieldToTheFile_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<std::function<void(TripRecord&)>>("expect");
        using Edit = std::function<void(TripRecord&)>;

        QTest::newRow("distance") << int(TripLogModel::Distance) << QVariant("12.5")
                                  << Edit([](TripRecord& r) { r.distance = 12.5; });
        QTest::newRow("empty text empties the field")
            << int(TripLogModel::Rashod) << QVariant("  ")
            << Edit([](TripRecord& r) { r.rashod.reset(); });
        QTest::newRow("maximum speed with a fraction")
            << int(TripLogModel::MaxSpeed) << QVariant("80.5")
            << Edit([](TripRecord& r) { r.maxSpeed = 80.5; });
        QTest::newRow("a number, not a text") << int(TripLogModel::AverageSpeed) << QVariant(47)
                                              << Edit([](TripRecord& r) { r.averageSpeed = 47.0; });
        QTest::newRow("moving time past 24 h")
            << int(TripLogModel::TimeTraff) << QVariant("26:30:00")
            << Edit([](TripRecord& r) { r.timeTraffMs = 26 * 3600000LL + 30 * 60000; });
        QTest::newRow("trip time") << int(TripLogModel::TimeAll) << QVariant("2:15:30")
                                   << Edit([](TripRecord& r) { r.timeAll = QTime(2, 15, 30); });
        QTest::newRow("start time") << int(TripLogModel::StartTime) << QVariant("06:45:00")
                                    << Edit([](TripRecord& r) { r.startTime = QTime(6, 45); });
        QTest::newRow("start date in the short format")
            << int(TripLogModel::StartDate) << QVariant("1 Feb 2026")
            << Edit([](TripRecord& r) { r.startDate = QDate(2026, 2, 1); });
        QTest::newRow("start date as ISO")
            << int(TripLogModel::StartDate) << QVariant("2026-02-01")
            << Edit([](TripRecord& r) { r.startDate = QDate(2026, 2, 1); });
    }
    void editingACellWritesTheFieldToTheFile()
    {
        QFETCH(int, column);
        QFETCH(QVariant, value);
        QFETCH(std::function<void(TripRecord&)>, expect);
        m_log->open();
        const TripRecord original = trip(kToday, QTime(8, 0, 0, 125));
        QVERIFY(m_log->append(original));
        TripLogModel model(*m_log);
        const qint64 id = model.idAt(0);

        QVERIFY(model.setData(model.index(0, column), value));

        TripRecord expected = original;
        expect(expected);
        ErrorReporter errors;
        QCOMPARE(nextStart(errors)->record(id).value_or(TripLogEntry()).record, expected);
        QCOMPARE(model.index(0, column).data().toString(),
                 TripLogModel(*m_log).index(0, column).data().toString());
    }

    void badCellTextIsRefusedAndNothingIsWritten_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::newRow("letters for a distance") << int(TripLogModel::Distance) << "12,5 km";
        QTest::newRow("not a number") << int(TripLogModel::Mpg) << "nan";
        QTest::newRow("no such day") << int(TripLogModel::StartDate) << "31 Feb 2026";
        QTest::newRow("a start time past midnight") << int(TripLogModel::StartTime) << "24:00:00";
        QTest::newRow("a trip time of 24 h") << int(TripLogModel::TimeAll) << "24:00:00";
        QTest::newRow("minutes past 59") << int(TripLogModel::TimeTraff) << "1:75:00";
    }
    void badCellTextIsRefusedAndNothingIsWritten()
    {
        QFETCH(int, column);
        QFETCH(QString, text);
        m_log->open();
        const TripRecord original = trip(kToday, QTime(8, 0));
        QVERIFY(m_log->append(original));
        TripLogModel model(*m_log);
        QSignalSpy changed(&model, &TripLogModel::dataChanged);

        QVERIFY(!model.setData(model.index(0, column), text));

        QCOMPARE(changed.size(), 0);
        QCOMPARE(m_log->records().value(0).record, original);
    }

    void editingTheStartMovesTheRowOrTakesItOutOfThePeriod()
    {
        m_log->open();
        for (int h : {7, 9, 18})
            QVERIFY(m_log->append(trip(kToday, QTime(h, 0))));
        QVERIFY(m_log->append(trip(kToday.addDays(-2), QTime(12, 0))));
        TripLogModel model(*m_log);
        model.setFilter(TripLogFilter(TripLogFilter::Period::Week, kToday));
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        const qint64 earliest = model.idAt(3);
        const qint64 seven = model.idAt(2);

        QVERIFY(model.setData(model.index(3, TripLogModel::StartDate), "2026-12-09"));
        QCOMPARE(model.idAt(1), earliest);
        QVERIFY(model.setData(model.index(1, TripLogModel::StartTime), "08:00:00"));
        QCOMPARE(model.idAt(2), earliest);
        QCOMPARE(model.idAt(3), seven);

        QVERIFY(model.setData(model.index(3, TripLogModel::StartDate), "2026-11-01"));
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(m_log->records().size(), 4);
        QVERIFY(model.setData(model.index(0, TripLogModel::StartDate), ""));
        QCOMPARE(model.rowCount(), 2);
    }

    void removingRowsDeletesTheTripsFromTheFile()
    {
        m_log->open();
        for (int h : {7, 9, 18})
            QVERIFY(m_log->append(trip(kToday, QTime(h, 0))));
        TripLogModel model(*m_log);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        const qint64 kept = model.idAt(2);

        QVERIFY(model.removeRows(0, 2));
        QVERIFY(!model.removeRows(1, 1));

        QCOMPARE(model.rowCount(), 1);
        ErrorReporter errors;
        const QList<TripLogEntry> left = nextStart(errors)->records();
        QCOMPARE(left.size(), 1);
        QCOMPARE(left[0].id, kept);
    }

    void theModelStaysConsistentThroughEveryChangeOfTheLog()
    {
        m_log->open();
        TripLogModel model(*m_log);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (int d = 0; d < 10; ++d)
            QVERIFY(m_log->append(trip(kToday.addDays(-d * 2), QTime(8 + d, 0))));
        QCOMPARE(model.rowCount(), 10);
        model.setFilter(TripLogFilter(TripLogFilter::Period::Week, kToday));
        QCOMPARE(model.rowCount(), 4);
        QVERIFY(model.setData(model.index(1, TripLogModel::Distance), "3.5"));
        QVERIFY(model.setData(model.index(3, TripLogModel::StartDate), "2026-12-10"));
        QVERIFY(model.removeRows(1, 2));
        m_log->reopen();
        QCOMPARE(model.rowCount(), 2);
        m_log->clear();
        QCOMPARE(model.rowCount(), 0);
        model.setFilter({});
        QCOMPARE(model.rowCount(), 0);
    }

    // ---- durability

    void everyTripReportedWrittenSurvivesAKill()
    {
        QString buildDir = qEnvironmentVariable("TACHORA_BUILD_DIR");
        if (buildDir.isEmpty())
            buildDir = QCoreApplication::applicationDirPath();
        const QString writer = QDir(buildDir).filePath(QStringLiteral("triplog_writer"));
        QVERIFY2(QFile::exists(writer), qPrintable(writer));

        QRandomGenerator random(20261209);
        QSet<qint64> printed;
        qint64 next = 1;
        for (int round = 1; round <= 30; ++round) {
            QProcess process;
            process.start(writer, {path(), QString::number(next)});
            QVERIFY(process.waitForStarted());
            // Anywhere from the middle of opening the log to many trips in.
            const int killAfterMs = int(random.bounded(5, 250));
            QElapsedTimer timer;
            timer.start();
            QByteArray out;
            while (timer.elapsed() < killAfterMs) {
                process.waitForReadyRead(int(qMax<qint64>(1, killAfterMs - timer.elapsed())));
                out += process.readAllStandardOutput();
            }
            QVERIFY2(process.state() == QProcess::Running,
                     process.readAllStandardError().constData());
            process.kill();
            QVERIFY(process.waitForFinished());
            out += process.readAllStandardOutput();
            // A line counts once its end is out: the number was printed after append returned.
            for (const QByteArray& line : out.left(out.lastIndexOf('\n') + 1).split('\n')) {
                if (!line.isEmpty())
                    printed.insert(line.toLongLong());
            }

            // Killed before the first trip: the file may not exist, or hold no table yet.
            QSet<qint64> stored;
            if (QFile::exists(path())) {
                RawFile raw(path());
                QCOMPARE(raw.value(QStringLiteral("PRAGMA integrity_check")).toString(),
                         QStringLiteral("ok"));
                if (raw.value(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = "
                                             "'MainTable'"))
                        .toInt() == 1) {
                    for (const QVariant& v :
                         raw.column(QStringLiteral("SELECT Distance FROM MainTable")))
                        stored.insert(qint64(v.toDouble()));
                }
            }
            QVERIFY2(stored.contains(printed),
                     qPrintable(QStringLiteral("round %1: printed trips missing").arg(round)));
            // At most the one trip of each kill whose number was not printed yet.
            QVERIFY(stored.size() <= printed.size() + round);
            ErrorReporter errors;
            TripLog(path(), m_clock, errors).open();
            QCOMPARE(errors.reportCount(), 0);
            for (qint64 n : stored)
                next = qMax(next, n + 1);
        }
        QVERIFY2(printed.size() > 30, "the writer hardly wrote: the kills tested nothing");
    }
};

int main(int argc, char** argv)
{
    // Dates and times follow the system locale: pin it before Qt reads it.
    qputenv("LC_ALL", "C.UTF-8");
    QCoreApplication app(argc, argv);
    TestTripLog test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_trip_log.moc"

// The trip log on a log of 100 000 trips (8 a day, some 34 years): opening it with the newest
// trip's tank, appending one trip to disk, the summary of the last month, the grid of all trips,
// and the size of the file.
//   bench_trip_log [directory]   the log goes there; default: a temporary directory under the
//                                current one, so that the figures are those of its disk
// The program opens its log once, at start-up: the opening is timed in fresh processes (this
// program run with --open <file>), and again within this one.

#include "common/ErrorReporter.h"
#include "display/DisplayState.h"
#include "platform/Clock.h"
#include "trip/TripLog.h"
#include "trip/TripLogModel.h"
#include "trip/TripStatistics.h"
#include "trip/TripSummary.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

constexpr int kTrips = 100000;
constexpr int kTripsPerDay = 8;

double msSince(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

struct Figures
{
    double median = 0;
    double max = 0;
};

// Runs the step `runs` times; its own timing comes back from it.
Figures measure(int runs, const std::function<double()>& step)
{
    QList<double> times;
    for (int i = 0; i < runs; ++i)
        times << step();
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.last()};
}

void print(const char* what, const Figures& f, int runs, const char* goal)
{
    std::printf("%-44s %9.2f ms median, %9.2f ms max of %3d   %s\n", what, f.median, f.max, runs,
                goal);
}

TripRecord randomTrip(QRandomGenerator& random, QDate date, int tripOfDay)
{
    TripRecord r;
    r.startDate = date;
    r.startTime = QTime(6 + tripOfDay * 2, int(random.bounded(60)), int(random.bounded(60)),
                        int(random.bounded(1000)));
    const double distance = random.bounded(80.0);
    const double fuel = distance * (0.05 + random.bounded(0.06)) + 0.02;
    const int minutes = 5 + int(random.bounded(115));
    r.timeAll = QTime(0, 0).addSecs(minutes * 60);
    r.timeTraffMs = qint64(minutes) * 45000;
    r.distance = distance;
    r.rashod = fuel;
    r.rashodTraff = fuel * 0.8;
    r.fuelTank = random.bounded(60.0);
    r.mpg = fuel / distance * 100;
    r.mpgTraff = fuel * 0.8 / distance * 100;
    r.averageSpeed = distance / minutes * 60;
    r.maxSpeed = double(40 + random.bounded(100));
    return r;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    SystemClock clock;
    ErrorReporter errors;

    if (app.arguments().size() == 3 && app.arguments().at(1) == QLatin1String("--open")) {
        TripLog log(app.arguments().at(2), clock, errors);
        QElapsedTimer timer;
        timer.start();
        const double tank = log.open();
        const double ms = msSince(timer);
        std::printf("%.3f %.2f\n", ms, tank);
        return errors.reportCount() == 0 ? 0 : 1;
    }

    std::unique_ptr<QTemporaryDir> temporary;
    QString directory;
    if (app.arguments().size() > 1) {
        directory = app.arguments().at(1);
    } else {
        temporary =
            std::make_unique<QTemporaryDir>(QDir::current().filePath("bench_trip_log-XXXXXX"));
        directory = temporary->path();
    }
    const QString path = QDir(directory).filePath(TripLog::defaultFileName());
    if (QFileInfo::exists(path)) {
        std::fprintf(stderr, "%s exists; give an empty directory\n", qPrintable(path));
        return 2;
    }

    const QDate today = clock.now().date();
    QRandomGenerator random(1);

    {
        QList<TripRecord> trips;
        trips.reserve(kTrips);
        for (int i = 0; i < kTrips; ++i)
            trips << randomTrip(random, today.addDays(-(kTrips - 1 - i) / kTripsPerDay),
                                i % kTripsPerDay);
        TripLog log(path, clock, errors);
        log.open();
        QElapsedTimer timer;
        timer.start();
        if (!log.append(trips))
            return 1;
        std::printf("%-44s %9.0f ms (one transaction)\n", "fill with 100 000 trips",
                    msSince(timer));
    }

    std::printf("log in %s\n\n", qPrintable(QDir::toNativeSeparators(directory)));

    double tank = 0;
    const auto openInFreshProcess = [&] {
        QProcess process;
        process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--open"), path});
        if (!process.waitForFinished() || process.exitCode() != 0)
            std::exit(1);
        const QList<QByteArray> out = process.readAllStandardOutput().trimmed().split(' ');
        tank = out.value(1).toDouble();
        return out.value(0).toDouble();
    };
    print("open + newest FuelTank, fresh process", measure(9, openInFreshProcess), 9,
          "goal < 50 ms");

    const auto openAgain = [&] {
        TripLog log(path, clock, errors);
        QElapsedTimer timer;
        timer.start();
        log.open();
        return msSince(timer);
    };
    print("open + newest FuelTank, same process", measure(9, openAgain), 9, "");

    TripLog log(path, clock, errors);
    log.open();
    const auto appendOne = [&] {
        const TripRecord trip = randomTrip(random, today, int(random.bounded(kTripsPerDay)));
        QElapsedTimer timer;
        timer.start();
        if (!log.append(trip))
            std::exit(1);
        return msSince(timer);
    };
    print("append one trip, on disk (EndTrip)", measure(50, appendOne), 50, "goal < 5 ms");

    const TripLogFilter month(TripLogFilter::Period::Month, today);
    qsizetype monthTrips = 0;
    const auto summariseMonth = [&] {
        QElapsedTimer timer;
        timer.start();
        QList<TripRecord> records;
        for (const TripLogEntry& e : log.records(month))
            records << e.record;
        monthTrips = records.size();
        volatile auto summary = SummariseTripLog(records).fuel.size();
        (void)summary;
        return msSince(timer);
    };
    print("month summary (filter + SummariseTripLog)", measure(20, summariseMonth), 20,
          "goal < 20 ms");

    DisplayState display;
    TripStatistics statistics(log, display, clock);
    const auto chooseMonth = [&] {
        display.setIndex(DisplayId::RadioGroup1, 0);
        QElapsedTimer timer;
        timer.start();
        display.setIndex(DisplayId::RadioGroup1, 3);
        return msSince(timer);
    };
    print("month chosen on the page (summary + grid)", measure(10, chooseMonth), 10, "");

    const auto gridOfAll = [&] {
        QElapsedTimer timer;
        timer.start();
        TripLogModel model(log);
        volatile int rows = model.rowCount();
        (void)rows;
        return msSince(timer);
    };
    print("grid of all 100 000 trips (model reload)", measure(5, gridOfAll), 5, "");

    log.close();
    const qint64 size = QFileInfo(path).size();
    const qint64 wal = QFileInfo(path + "-wal").size();
    std::printf("\nnewest FuelTank %.2f l; %lld trips in the last month\n", tank,
                static_cast<long long>(monthTrips));
    std::printf("file size %.1f MiB (%lld bytes, %.0f bytes a trip); write-ahead log left: %lld "
                "bytes\n",
                double(size) / (1024 * 1024), static_cast<long long>(size),
                double(size) / (kTrips + 50), static_cast<long long>(wal));
    return errors.reportCount() == 0 ? 0 : 1;
}

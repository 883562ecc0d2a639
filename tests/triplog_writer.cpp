// Keeps appending trips to a trip log until it is killed, and prints each trip's number on its
// own line once append() has returned: every printed trip must survive the kill.
//   triplog_writer <log file> <first trip number>

#include "common/ErrorReporter.h"
#include "platform/Clock.h"
#include "trip/TripLog.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: triplog_writer <log file> <first trip number>\n");
        return 2;
    }
    bool ok = false;
    const qint64 first = args[2].toLongLong(&ok);
    if (!ok)
        return 2;

    SystemClock clock;
    ErrorReporter errors;
    TripLog log(args[1], clock, errors);
    log.open();
    if (errors.reportCount() != 0)
        return 3;

    const QDateTime base(QDate(2026, 1, 1), QTime(6, 0));
    for (qint64 n = first;; ++n) {
        const QDateTime start = base.addSecs(n * 600);
        TripRecord r;
        r.startDate = start.date();
        r.startTime = start.time();
        r.timeAll = QTime(0, 25, 30);
        r.timeTraffMs = 1200000;
        r.distance = double(n); // the trip's number, for the test to find it
        r.rashod = 1.5;
        r.rashodTraff = 1.2;
        r.fuelTank = 40.0 - double(n % 40);
        r.mpg = 7.5;
        r.mpgTraff = 6.0;
        r.averageSpeed = 47.0;
        r.maxSpeed = 96.0;
        if (!log.append(r))
            return 4;
        std::printf("%lld\n", n);
        std::fflush(stdout);
    }
}

#pragma once

// What every benchmark here measures with.

#include <QEventLoop>
#include <QTimer>

#include <ctime>

namespace Bench {

// CPU time of the whole process (all threads, user and system), seconds.
inline double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Runs the event loop for ms milliseconds, sleeping when there is nothing to do, so a CPU
// figure taken around it is the program's own.
inline void runEvents(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace Bench

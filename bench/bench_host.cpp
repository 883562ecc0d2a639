// What the host export costs and how fast a changed display text reaches the host, over the
// real local socket:
//   - an export pass with nothing changed, and with all 18 channels changed, each record a
//     round trip to a real hostmon process (and, for comparison, with no host at all);
//   - the latency from setting a display text to the record arriving at a host, with the
//     100 ms export timer running, measured by a host in a thread of this process so that
//     both ends read the same clock.
//   bench_host [changed passes] [latency samples]
#include "common/ErrorReporter.h"
#include "display/DisplayState.h"
#include "host/CopyDataRecord.h"
#include "host/HostExport.h"
#include "host/LocalHostTransport.h"

#include "BenchSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <thread>
#include <vector>

#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using SteadyClock = std::chrono::steady_clock;



bool waitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        Bench::runEvents(5);
    }
    return true;
}

struct Rig
{
    QTemporaryDir runtime;
    DisplayState display;
    ErrorReporter errors;
    LocalHostTransport transport;
    HostExport exporter{display, transport, errors};
};

// Gives every exported channel a new text; round selects one of two sets.
void changeAll(DisplayState& display, int round)
{
    for (const HostExport::Channel& c : HostExport::channels()) {
        QString text = QStringLiteral("%1.%2").arg(c.id).arg(round % 2);
        if (c.source == DisplayId::LabelTime)
            text = round % 2 ? QStringLiteral("00:12:05") : QStringLiteral("00:12:06");
        else if (c.source == DisplayId::EditTank)
            text = round % 2 ? QStringLiteral("40.00") : QStringLiteral("41.00");
        display.setText(c.source, text);
    }
}

// A host in a thread of this process: answers every record and notes when it arrived.
class ThreadHost
{
public:
    explicit ThreadHost(const QString& path)
    {
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, QFile::encodeName(path).constData(),
                     sizeof(address.sun_path) - 1);
        m_ok = ::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        QByteArray id(4, '\0');
        qToLittleEndian<quint32>(99, id.data());
        writeAll(CopyDataRecord::encode(CopyDataRecord::kRegistration, id));
        m_thread = std::thread([this] { run(); });
    }
    ~ThreadHost()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
    }
    bool ok() const { return m_ok; }
    int count() const { return m_count; }
    SteadyClock::time_point lastArrival() const
    {
        return SteadyClock::time_point(SteadyClock::duration(m_lastArrival.load()));
    }

private:
    void writeAll(const QByteArray& bytes)
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n =
                ::send(m_fd, bytes.constData() + done, size_t(bytes.size() - done), MSG_NOSIGNAL);
            if (n <= 0)
                return;
            done += n;
        }
    }
    void run()
    {
        QByteArray buffer;
        const QByteArray answer = [] {
            QByteArray b(4, '\0');
            qToLittleEndian<quint32>(1, b.data());
            return b;
        }();
        while (!m_stop) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            char chunk[4096];
            const ssize_t n = ::read(m_fd, chunk, sizeof chunk);
            if (n <= 0)
                return;
            buffer.append(chunk, n);
            while (buffer.size() >= 8) {
                const quint32 dwData = qFromLittleEndian<quint32>(buffer.constData());
                const quint32 size = qFromLittleEndian<quint32>(buffer.constData() + 4);
                if (buffer.size() < 8 + qsizetype(size))
                    break;
                m_lastArrival = SteadyClock::now().time_since_epoch().count();
                buffer.remove(0, 8 + size);
                writeAll(CopyDataRecord::encode(dwData, answer));
                ++m_count;
            }
        }
    }

    int m_fd = -1;
    bool m_ok = false;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_count{0};
    std::atomic<SteadyClock::rep> m_lastArrival{0};
    std::thread m_thread;
};

struct PassFigures
{
    double wallMicros = 0;
    double cpuMicros = 0;
};

// Wall and CPU time of one export pass; texts are changed outside the measured time.
PassFigures measurePasses(Rig& rig, int passes, bool changed)
{
    PassFigures f;
    if (!changed) {
        // One timing around the whole loop: a pass then costs less than reading the clocks.
        const double c0 = Bench::cpuSeconds();
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < passes; ++i)
            rig.exporter.TimerSendHostTimer();
        f.wallMicros = double(t.nsecsElapsed()) / 1e3 / passes;
        f.cpuMicros = (Bench::cpuSeconds() - c0) * 1e6 / passes;
        return f;
    }
    qint64 wallNs = 0;
    double cpu = 0;
    QElapsedTimer t;
    for (int i = 0; i < passes; ++i) {
        changeAll(rig.display, i);
        const double c0 = Bench::cpuSeconds();
        t.start();
        rig.exporter.TimerSendHostTimer();
        wallNs += t.nsecsElapsed();
        cpu += Bench::cpuSeconds() - c0;
    }
    f.wallMicros = double(wallNs) / 1e3 / passes;
    f.cpuMicros = cpu * 1e6 / passes;
    return f;
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int changedPasses = argc > 1 ? std::atoi(argv[1]) : 300;
    const int latencySamples = argc > 2 ? std::atoi(argv[2]) : 60;
    const QString hostmon = QCoreApplication::applicationDirPath() + QStringLiteral("/hostmon");

    // No host: what the pass costs the program by itself.
    {
        Rig rig;
        rig.transport.listen(rig.runtime.path(), true);
        changeAll(rig.display, 0);
        rig.exporter.TimerSendHostTimer();
        const PassFigures same = measurePasses(rig, 100000, false);
        const PassFigures all = measurePasses(rig, 2000, true);
        std::printf("export pass, no host registered:\n");
        std::printf("  nothing changed:        %8.2f us wall  %8.2f us CPU\n", same.wallMicros,
                    same.cpuMicros);
        std::printf("  all 18 channels changed: %7.2f us wall  %8.2f us CPU\n", all.wallMicros,
                    all.cpuMicros);
    }

    // A real hostmon process, answering every record.
    {
        Rig rig;
        const QString error = rig.transport.listen(rig.runtime.path(), true);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "bench_host: %s\n", qPrintable(error));
            return 1;
        }
        QProcess monitor;
        monitor.setStandardOutputFile(QProcess::nullDevice());
        monitor.setStandardErrorFile(QProcess::nullDevice());
        monitor.start(hostmon, {QStringLiteral("--socket"), rig.transport.socketPath()});
        if (!monitor.waitForStarted(5000) ||
            !waitFor([&] { return rig.transport.hasHost(); }, 10000)) {
            std::fprintf(stderr, "bench_host: hostmon (%s) did not register\n",
                         qPrintable(hostmon));
            return 1;
        }
        changeAll(rig.display, 0);
        rig.exporter.TimerSendHostTimer();
        const PassFigures same = measurePasses(rig, 100000, false);
        const PassFigures all = measurePasses(rig, changedPasses, true);
        std::printf("export pass, hostmon process as the host (prints every record):\n");
        std::printf("  nothing changed:        %8.2f us wall  %8.2f us CPU\n", same.wallMicros,
                    same.cpuMicros);
        std::printf("  all 18 channels changed: %7.2f us wall  %8.2f us CPU  (%.1f us per record "
                    "round trip, %d passes)\n",
                    all.wallMicros, all.cpuMicros, all.wallMicros / 18, changedPasses);
        monitor.terminate();
        monitor.waitForFinished(3000);
    }

    // Latency: a text changes at a random moment; the 100 ms timer picks it up.
    {
        Rig rig;
        rig.transport.listen(rig.runtime.path(), true);
        ThreadHost host(rig.transport.socketPath());
        if (!host.ok() || !waitFor([&] { return rig.transport.hasHost(); }, 10000)) {
            std::fprintf(stderr, "bench_host: the in-bench host did not register\n");
            return 1;
        }
        rig.exporter.enableTimerSendHost();
        Bench::runEvents(300); // the first pass sends the initial texts
        std::mt19937 rng(7);
        std::vector<double> latencies;
        for (int i = 0; i < latencySamples; ++i) {
            Bench::runEvents(int(rng() % 100));
            const int before = host.count();
            const SteadyClock::time_point changedAt = SteadyClock::now();
            rig.display.setText(DisplayId::LabelSpeed, QString::number(i + 1000));
            if (!waitFor([&] { return host.count() > before; }, 5000)) {
                std::fprintf(stderr, "bench_host: a change never arrived\n");
                return 1;
            }
            latencies.push_back(
                std::chrono::duration<double, std::milli>(host.lastArrival() - changedAt).count());
        }
        double sum = 0;
        for (double l : latencies)
            sum += l;
        std::printf("latency from a changed display text to the record at the host "
                    "(%d samples, 100 ms timer):\n",
                    latencySamples);
        std::printf("  mean %.1f ms  median %.1f ms  95th %.1f ms  max %.1f ms\n",
                    sum / double(latencies.size()), percentile(latencies, 0.5),
                    percentile(latencies, 0.95), percentile(latencies, 1.0));
    }
    return 0;
}

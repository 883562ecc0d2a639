// Drives the real link (serial port class, framing, state machine, polling) against the
// simulated adapter on a pseudo-terminal and prints what it costs and how fast it goes.
//   bench_link [seconds per run] [paced]
#include "app/TachoraApp.h"
#include "link/AdapterConnection.h"
#include "link/AnswerFraming.h"
#include "link/SerialLink.h"
#include "link/SerialPortDevice.h"
#include "platform/Clock.h"

#include "BenchSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <memory>
#include <utility>
#include <sys/resource.h>

namespace {



struct Result
{
    double exchangesPerSecond = 0;
    double cpuMicrosPerAnswer = 0;
    double bytesPerExchange = 0;
};

bool runOnce(const QString& simulator, const QStringList& simArgs, double seconds, Result* out)
{
    QTemporaryDir work, runtime;
    const QString link = work.filePath(QStringLiteral("elm327"));
    QProcess sim;
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(simulator, QStringList{QStringLiteral("--link"), link} + simArgs);
    if (!sim.waitForStarted() || !sim.waitForReadyRead(5000))
        return false;

    QFile ini(work.filePath(QStringLiteral("Tachora.ini")));
    if (!ini.open(QIODevice::WriteOnly))
        return false;
    ini.write("port=" + QFile::encodeName(link)
              + "\r\nbaud=38400\r\nskins=\r\nv=2300\r\nh=75\r\nMapMaf=MAP\r\nprotocol=Automatic\r\n"
                "FuelTank=65\r\nKSpeed=1.00\r\nEngineWarm=0.00\r\nFastPull=0\r\nMode21=0\r\nPause=0\r\n");
    ini.close();

    SystemClock clock;
    TachoraApp app(clock, {work.path(), runtime.path()});
    app.formCreate({});
    QElapsedTimer t;
    t.start();
    while (app.connection().linkState() != LinkState::Polling && t.elapsed() < 10000)
        Bench::runEvents(10);
    if (app.connection().linkState() != LinkState::Polling)
        return false;
    Bench::runEvents(300); // settle

    const quint64 answers0 = app.framing().answerCount();
    const quint64 bytes0 = app.link().bytesRead() + app.link().bytesWritten();
    const double cpu0 = Bench::cpuSeconds();
    t.restart();
    Bench::runEvents(int(seconds * 1000));
    const double elapsed = t.elapsed() / 1000.0;
    const double cpu = Bench::cpuSeconds() - cpu0;
    const quint64 answers = app.framing().answerCount() - answers0;
    const quint64 bytes = app.link().bytesRead() + app.link().bytesWritten() - bytes0;

    out->exchangesPerSecond = answers / elapsed;
    out->cpuMicrosPerAnswer = answers ? cpu * 1e6 / double(answers) : 0;
    out->bytesPerExchange = answers ? double(bytes) / double(answers) : 0;
    app.formClose();
    sim.terminate();
    sim.waitForFinished(3000);
    return answers > 0;
}

// A port in memory that answers every request like an adapter with echo on, one answer
// per deliver() call: no system calls, so what is measured is the program's own handling.
class MemoryAdapter : public SerialPortDevice
{
public:
    QByteArray pending;
    QByteArray next;
    bool open(const QString&, qint32, QString*) override { return m_open = true; }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray& bytes, QString*) override
    {
        next = answerTo(bytes);
        return true;
    }
    QByteArray readAll() override { return std::exchange(pending, {}); }
    bool deliver()
    {
        if (next.isEmpty())
            return false;
        pending = std::exchange(next, {});
        Q_EMIT readyRead();
        return true;
    }

private:
    static QByteArray answerTo(const QByteArray& request)
    {
        const QByteArray echo = request.left(request.size() - 1);
        QByteArray reply;
        if (echo == "atz")
            reply = "\rELM327 v1.5";
        else if (echo.startsWith("AT"))
            reply = "OK";
        else if (echo == "at rv")
            reply = "14.1V";
        else if (echo.contains("0C"))
            reply = "41 0C 25 80 ";
        else if (echo.contains("0D"))
            reply = "41 0D 50 ";
        else if (echo.contains("0B"))
            reply = "41 0B 2D ";
        else if (echo.contains("0F"))
            reply = "41 0F 41 ";
        else if (echo.contains("05"))
            reply = "41 05 80 ";
        else if (echo.contains("00"))
            reply = "41 00 BE 3F A8 13 ";
        else
            reply = "NO DATA";
        return echo + "\r" + reply + "\r\r>";
    }
    bool m_open = false;
};

double threadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

double handlingMicrosPerAnswer(int answers)
{
    QTemporaryDir work, runtime;
    QFile ini(work.filePath(QStringLiteral("Tachora.ini")));
    if (!ini.open(QIODevice::WriteOnly))
        return -1;
    ini.write("port=/dev/memory\r\nbaud=38400\r\nskins=\r\nv=2300\r\nh=75\r\nMapMaf=MAP\r\n"
              "protocol=Automatic\r\nFuelTank=65\r\nKSpeed=1.00\r\nEngineWarm=0.00\r\n"
              "FastPull=0\r\nMode21=0\r\nPause=0\r\n");
    ini.close();
    auto device = std::make_unique<MemoryAdapter>();
    MemoryAdapter* adapter = device.get();
    SystemClock clock;
    TachoraApp app(clock, {work.path(), runtime.path()}, std::move(device));
    app.formCreate({});
    adapter->deliver();                 // banner
    app.connection().TimerIniTimer();   // AT DP
    adapter->deliver();
    app.connection().TimerIniTimer();   // probe
    adapter->deliver();
    if (app.connection().linkState() != LinkState::Polling)
        return -1;
    for (int i = 0; i < 1000; ++i) // warm up
        adapter->deliver();
    const quint64 before = app.framing().answerCount();
    const double cpu0 = threadCpuSeconds();
    for (int i = 0; i < answers; ++i)
        adapter->deliver();
    const double cpu = threadCpuSeconds() - cpu0;
    return cpu * 1e6 / double(app.framing().answerCount() - before);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const double seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toDouble() : 5.0;
    const QString simulator = QCoreApplication::applicationDirPath() + QStringLiteral("/elmsim");
    const QStringList pins{QStringLiteral("--fixed"),
                           QStringLiteral("rpm=2400,speed=80,map=45,iat=25,coolant=88,volts=14.1")};

    std::printf("handling only: %.2f us CPU per answer (framing, dispatch, decoding, display "
                "state, next request; the port in memory)\n",
                handlingMicrosPerAnswer(200000));

    const bool pacedOnly = argc > 2 && QByteArray(argv[2]) == "paced";
    Result fast;
    if (!pacedOnly && !runOnce(simulator, pins, seconds, &fast)) {
        std::fprintf(stderr, "bench_link: the link did not reach polling\n");
        return 1;
    }
    if (!pacedOnly)
        std::printf("zero latency: %.0f exchanges/s, %.1f us CPU per handled answer "
                "(the whole process: serial port, framing, dispatch, display state)\n",
                fast.exchangesPerSecond, fast.cpuMicrosPerAnswer);

    Result paced;
    if (!runOnce(simulator, pins + QStringList{QStringLiteral("--baud"), QStringLiteral("38400")},
                 seconds, &paced)) {
        std::fprintf(stderr, "bench_link: the paced run did not reach polling\n");
        return 1;
    }
    const double wireLimit = 3840.0 / paced.bytesPerExchange;
    std::printf("38400 baud: %.1f exchanges/s, %.1f bytes per exchange, wire limit %.1f/s, "
                "%.1f %% of the wire limit, %.1f us CPU per answer\n",
                paced.exchangesPerSecond, paced.bytesPerExchange, wireLimit,
                100.0 * paced.exchangesPerSecond / wireLimit, paced.cpuMicrosPerAnswer);
    return 0;
}

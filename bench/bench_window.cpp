// What the window costs: repainting the main page, and the CPU used while the engine-speed
// needle animates continuously (a new engine speed every 100 ms), at the designed size and at
// 1920 x 1080. Offscreen, so the figures are the program's painting without a compositor.
//   QT_QPA_PLATFORM=offscreen bench_window [seconds]
#include "app/TachoraApp.h"
#include "display/DisplayState.h"
#include "display/NeedleAnimation.h"
#include "link/PidPoller.h"
#include "platform/Clock.h"
#include "ui/LayoutScaler.h"
#include "ui/MainWindow.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <sys/resource.h>

namespace {



void measure(TachoraApp& app, MainWindow& window, QSize size, double seconds)
{
    window.resize(size);
    Bench::runEvents(LayoutScaler::kTimerSizeMs + 100);

    // A full repaint of the page with a changed value each time.
    DisplayState& d = app.display();
    const int repaints = 200;
    const double cpu0 = Bench::cpuSeconds();
    for (int i = 0; i < repaints; ++i) {
        d.setValue(DisplayId::GaugeRPM, 1000 + (i % 50) * 100);
        d.setText(DisplayId::LabelSpeed, QString::number(i % 180));
        window.repaint();
    }
    const double perRepaint = (Bench::cpuSeconds() - cpu0) / repaints * 1e3;

    // The needle animating: a new engine speed every 100 ms, as from a fast adapter.
    LiveReadings& r = app.poller().readings();
    int step = 0;
    QTimer feed;
    QObject::connect(&feed, &QTimer::timeout, [&] {
        r.previousEngineSpeed = r.engineSpeed;
        r.engineSpeed = 800 + (step++ * 937) % 5200;
        d.setText(DisplayId::LabelRPM, QString::number(int(r.engineSpeed)));
        d.setCaption(DisplayId::GaugeRPM, QString::number(int(r.engineSpeed)));
        app.needle().start(r.previousEngineSpeed, r.engineSpeed);
    });
    feed.start(100);
    const double cpu1 = Bench::cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    Bench::runEvents(int(seconds * 1000));
    const double share = (Bench::cpuSeconds() - cpu1) / (wall.elapsed() / 1000.0) * 100.0;
    feed.stop();

    std::printf("%4dx%-4d  full repaint of the main page: %6.2f ms CPU; "
                "needle animating: %5.1f %% of one core\n",
                size.width(), size.height(), perRepaint, share);
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    const double seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toDouble() : 5.0;
    QTemporaryDir work, runtime;
    QFile ini(work.filePath(QStringLiteral("Tachora.ini")));
    if (ini.open(QIODevice::WriteOnly))
        ini.write("port=/dev/no-port\r\nbaud=38400\r\n");
    ini.close();
    SystemClock clock;
    TachoraApp app(clock, {work.path(), runtime.path()});
    MainWindow window(app);
    app.formCreate({});
    window.show();
    Bench::runEvents(300);
    measure(app, window, {876, 440}, seconds);
    measure(app, window, {1920, 1080}, seconds);
    return 0;
}

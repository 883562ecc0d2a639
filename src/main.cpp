#include "app/TachoraApp.h"
#include "link/SerialPortDevice.h"
#include "platform/Clock.h"
#include "platform/RuntimeDir.h"
#include "platform/TerminationSignals.h"
#include "ui/LayoutScaler.h"
#include "ui/MainWindow.h"
#include "ui/Screenshot.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <memory>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tachora"));

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    QString error;
    const std::optional<Screenshot::Request> screenshot = Screenshot::takeRequest(arguments, &error);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "tachora: %s\n%s", qPrintable(error), Screenshot::usage());
        return 2;
    }

    std::unique_ptr<Clock> clock(SystemClock::fromEnvironment());
    TachoraApp app(*clock, {QDir::currentPath(), RuntimeDir::path()});

    MainWindow window(app);
    if (app.formCreate(arguments) == TachoraApp::StartResult::SecondInstance)
        return 0;

    // SIGTERM and SIGINT close the window as a user would, so the shutdown steps run.
    TerminationSignals signals_;
    QObject::connect(&signals_, &TerminationSignals::terminationRequested, &window,
                     [&window] { window.close(); });

    if (screenshot)
        return Screenshot::take(*screenshot, window, app);

    window.show();
    return application.exec();
}

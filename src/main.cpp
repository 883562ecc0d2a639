#include "app/TachoraApp.h"
#include "link/SerialPortDevice.h"
#include "platform/Clock.h"
#include "platform/RuntimeDir.h"
#include "platform/TerminationSignals.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QDir>

#include <memory>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tachora"));

    std::unique_ptr<Clock> clock(SystemClock::fromEnvironment());
    TachoraApp app(*clock, {QDir::currentPath(), RuntimeDir::path()});

    MainWindow window(app);
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    if (app.formCreate(arguments) == TachoraApp::StartResult::SecondInstance)
        return 0;

    // SIGTERM and SIGINT close the window as a user would, so the shutdown steps run.
    TerminationSignals signals_;
    QObject::connect(&signals_, &TerminationSignals::terminationRequested, &window,
                     [&window] { window.close(); });

    window.show();
    return application.exec();
}

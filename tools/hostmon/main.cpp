// hostmon: a host for Tachora's telemetry export. Start it first, then the program; it
// registers on the program's host socket, prints one line per received record and answers
// each one.
#include "HostMonitor.h"

#include "host/LocalHostTransport.h"
#include "platform/RuntimeDir.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("hostmon"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Registers with Tachora as its host and prints every exported value, one line per "
        "record: channel (dwData), cbData, value, caption, separated by tabs. Each record is "
        "answered with a record of the same dwData and a 4-byte result of 1."));
    parser.addHelpOption();
    const QCommandLineOption socketOption(
        QStringLiteral("socket"),
        QStringLiteral("The program's host socket (default: host.sock in the runtime "
                       "directory, $TACHORA_RUNTIME_DIR or $XDG_RUNTIME_DIR/tachora)."),
        QStringLiteral("path"));
    const QCommandLineOption idOption(
        QStringLiteral("id"), QStringLiteral("The 32-bit id to register with (default 4660)."),
        QStringLiteral("n"), QStringLiteral("4660"));
    const QCommandLineOption jsonOption(QStringLiteral("json"),
                                        QStringLiteral("Print JSON lines instead."));
    const QCommandLineOption hangOption(
        QStringLiteral("hang"), QStringLiteral("Never answer a record (a host that hangs)."));
    const QCommandLineOption onceOption(
        QStringLiteral("once"),
        QStringLiteral("Try to connect once and end when the connection closes."));
    parser.addOptions({socketOption, idOption, jsonOption, hangOption, onceOption});
    parser.process(app);

    HostMonitor::Options options;
    options.socketPath =
        parser.isSet(socketOption)
            ? parser.value(socketOption)
            : QDir(RuntimeDir::path()).filePath(LocalHostTransport::socketFileName());
    bool ok = false;
    options.id = parser.value(idOption).toUInt(&ok, 0);
    if (!ok) {
        std::fprintf(stderr, "hostmon: --id takes a 32-bit number\n");
        return 2;
    }
    options.json = parser.isSet(jsonOption);
    options.hang = parser.isSet(hangOption);
    options.once = parser.isSet(onceOption);

    HostMonitor monitor(options);
    // Queued: the first connect may fail before the event loop runs.
    QObject::connect(&monitor, &HostMonitor::finished, &app, &QCoreApplication::exit,
                     Qt::QueuedConnection);
    monitor.start();
    return app.exec();
}

#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QTest>

// The simulated adapter as a child process: its device path, its request log, its stdin.
class ElmSim
{
public:
    QProcess process;
    QString devicePath;
    QStringList requests; // every "REQ" line, in order
    QStringList lines;    // every other line

    bool start(const QStringList& args)
    {
        const QString program = qEnvironmentVariable("TACHORA_BUILD_DIR") + QStringLiteral("/elmsim");
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.setReadChannel(QProcess::StandardOutput);
        QObject::connect(&process, &QProcess::readyReadStandardOutput, [this] { readLines(); });
        process.start(program, QStringList{QStringLiteral("--log-requests")} + args);
        if (!process.waitForStarted(5000))
            return false;
        for (int i = 0; i < 100 && devicePath.isEmpty(); ++i)
            QTest::qWait(20);
        return !devicePath.isEmpty();
    }

    // Sends a stdin command and waits for its acknowledgement.
    bool command(const QString& line)
    {
        const int before = lines.size();
        process.write(line.toUtf8() + '\n');
        const QString verb = line.section(QLatin1Char(' '), 0, 0);
        for (int i = 0; i < 250; ++i) {
            for (int k = before; k < lines.size(); ++k) {
                if (lines[k].startsWith(QStringLiteral("OK ") + verb))
                    return true;
                if (lines[k].startsWith(QStringLiteral("ERR")))
                    return false;
            }
            QTest::qWait(20);
        }
        return false;
    }

    int count(const QString& request) const { return int(requests.count(request)); }

    ~ElmSim()
    {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            if (!process.waitForFinished(3000))
                process.kill();
            process.waitForFinished(1000);
        }
    }

private:
    void readLines()
    {
        while (process.canReadLine()) {
            const QString line = QString::fromUtf8(process.readLine()).trimmed();
            if (devicePath.isEmpty() && line.startsWith(QLatin1Char('/')))
                devicePath = line;
            else if (line.startsWith(QStringLiteral("REQ ")))
                requests << line.mid(4);
            else
                lines << line;
        }
    }
};

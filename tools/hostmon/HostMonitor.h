#pragma once

#include "host/HostRecordReader.h"

#include <QLocalSocket>
#include <QObject>
#include <QString>
#include <QTimer>

// A host for the program's telemetry export: connects to its socket, registers, prints every
// record it receives and answers each one, as a front-end would.
class HostMonitor : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        QString socketPath;
        quint32 id = 0;
        bool json = false;
        bool hang = false; // read and print, but never answer
        bool once = false; // one connection attempt; end when it closes
    };

    explicit HostMonitor(Options options, QObject* parent = nullptr);
    void start();

    // One line for a record: the channel, cbData, the value and the caption; a block that does
    // not have the export's layout is marked.
    static QString describe(const CopyDataRecord& record, bool json);

Q_SIGNALS:
    void finished(int exitCode);

private:
    void connectNow();
    void onConnected();
    void onReadyRead();
    void onClosed();

    Options m_options;
    QLocalSocket m_socket;
    HostRecordReader m_reader;
    QTimer m_retry;
    bool m_waitingNoted = false;
    bool m_connected = false;
};

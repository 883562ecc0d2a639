#pragma once

#include "host/HostRecordReader.h"
#include "host/HostTransport.h"

#include <QString>

#include <memory>
#include <vector>

class QLocalServer;
class QLocalSocket;

// The host transport where there are no window messages: a local stream socket "host.sock"
// in the runtime directory, private to this user (the socket 0600 in a 0700 directory). A host
// connects, registers with a copy-data record of dwData 64, and from then on receives every
// export record on that connection and answers each with one record (hostmon sends dwData =
// the channel, a 4-byte result). Any record other than a registration that arrives while a
// send waits counts as the answer; other records are ignored.
//
// Bounds, so that a faulty or hostile peer costs little: at most kMaxConnections at a time
// (a new one evicts the oldest that is not the host), each reading no more than one record
// of at most 64 KiB; a larger cbData closes the connection; a send waits at most
// kAnswerTimeoutMs in all, then drops the host.
class LocalHostTransport : public HostTransport
{
    Q_OBJECT

public:
    static constexpr int kAnswerTimeoutMs = 500;
    static constexpr int kMaxConnections = 8;
    static constexpr qint64 kSocketReadBuffer = 16 * 1024;

    static QString socketFileName() { return QStringLiteral("host.sock"); }

    explicit LocalHostTransport(QObject* parent = nullptr);
    ~LocalHostTransport() override;

    // Listens on host.sock in runtimeDir, which is created private if needed. ownsRuntimeDir:
    // this process holds the instance lock, so a socket file found there was left by a dead
    // instance and is removed; otherwise an existing file makes the listen fail. Returns an
    // error text, empty on success.
    QString listen(const QString& runtimeDir, bool ownsRuntimeDir);
    bool isListening() const;
    QString socketPath() const { return m_socketPath; }

    SendResult send(quint32 dwData, const QByteArray& block) override;
    bool hasHost() const override { return m_host != nullptr; }

    int connectionCount() const { return int(m_connections.size()); }

private:
    struct Connection
    {
        quint64 serial = 0;
        QLocalSocket* socket = nullptr;
        HostRecordReader reader;
        bool awaitingAnswer = false;
        bool answered = false;
    };

    void onNewConnection();
    // Reads what the socket holds, record by record. False: the stream is broken and the
    // connection must be closed.
    bool drain(Connection& connection);
    void handleRecord(Connection& connection, const CopyDataRecord& record);
    void dropConnection(Connection* connection);
    Connection* find(quint64 serial) const;

    std::unique_ptr<QLocalServer> m_server;
    QString m_socketPath;
    std::vector<std::unique_ptr<Connection>> m_connections;
    Connection* m_host = nullptr;
    quint64 m_nextSerial = 1;
};

#include "host/LocalHostTransport.h"

#include "platform/RuntimeDir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalBlocker>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

LocalHostTransport::LocalHostTransport(QObject* parent) : HostTransport(parent) {}

LocalHostTransport::~LocalHostTransport()
{
    while (!m_connections.empty())
        dropConnection(m_connections.front().get());
    // The server removes its socket file when it closes.
}

QString LocalHostTransport::listen(const QString& runtimeDir, bool ownsRuntimeDir)
{
    const QString dirError = RuntimeDir::ensure(runtimeDir);
    if (!dirError.isEmpty())
        return dirError;
    const QString path = QDir(runtimeDir).filePath(socketFileName());
    // Only the holder of the instance lock may take the name over; without the lock the file
    // may belong to a running instance.
    if (ownsRuntimeDir)
        QLocalServer::removeServer(path);

    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::NoOptions);
    server->setMaxPendingConnections(kMaxConnections);
    if (!server->listen(path))
        return QStringLiteral("cannot listen for a host on %1: %2")
            .arg(path, server->errorString());
    // The directory is 0700, so nobody else could reach the socket between bind and chmod.
    if (::chmod(QFile::encodeName(path).constData(), 0600) != 0)
        return QStringLiteral("cannot make the host socket %1 private: %2")
            .arg(path, QString::fromLocal8Bit(std::strerror(errno)));

    m_server = std::move(server);
    m_socketPath = path;
    connect(m_server.get(), &QLocalServer::newConnection, this,
            &LocalHostTransport::onNewConnection);
    return {};
}

bool LocalHostTransport::isListening() const
{
    return m_server && m_server->isListening();
}

void LocalHostTransport::onNewConnection()
{
    while (m_server->hasPendingConnections()) {
        QLocalSocket* socket = m_server->nextPendingConnection();
        if (int(m_connections.size()) >= kMaxConnections) {
            // A host that restarts without closing its old connection must still get in.
            const auto oldest = std::find_if(m_connections.begin(), m_connections.end(),
                                             [this](const auto& c) { return c.get() != m_host; });
            if (oldest != m_connections.end())
                dropConnection(oldest->get());
        }
        auto connection = std::make_unique<Connection>();
        connection->serial = m_nextSerial++;
        connection->socket = socket;
        // Qt reads no more from the kernel than this ahead of us.
        socket->setReadBufferSize(kSocketReadBuffer);
        const quint64 serial = connection->serial;
        connect(socket, &QLocalSocket::readyRead, this, [this, serial] {
            if (Connection* c = find(serial); c && !drain(*c))
                dropConnection(c);
        });
        // Queued: the socket may report its end from inside a read, while drain() still uses
        // the connection.
        connect(
            socket, &QLocalSocket::disconnected, this,
            [this, serial] {
                if (Connection* c = find(serial))
                    dropConnection(c);
            },
            Qt::QueuedConnection);
        connect(
            socket, &QLocalSocket::errorOccurred, this,
            [this, serial](QLocalSocket::LocalSocketError error) {
                if (error == QLocalSocket::SocketTimeoutError)
                    return;
                if (Connection* c = find(serial))
                    dropConnection(c);
            },
            Qt::QueuedConnection);
        m_connections.push_back(std::move(connection));
    }
}

bool LocalHostTransport::drain(Connection& connection)
{
    for (;;) {
        if (connection.reader.hasRecord()) {
            handleRecord(connection, connection.reader.takeRecord());
            continue;
        }
        if (connection.reader.isBroken())
            return false;
        // Never more than the record being read needs: the rest stays in the socket.
        const QByteArray chunk = connection.socket->read(connection.reader.wanted());
        if (chunk.isEmpty())
            return true;
        connection.reader.feed(chunk);
    }
}

void LocalHostTransport::handleRecord(Connection& connection, const CopyDataRecord& record)
{
    if (record.dwData == CopyDataRecord::kRegistration) {
        if (const std::optional<quint32> id = record.registrationId()) {
            m_host = &connection;
            Q_EMIT registered(*id);
        }
        return;
    }
    if (connection.awaitingAnswer) {
        connection.awaitingAnswer = false;
        connection.answered = true;
    }
}

HostTransport::SendResult LocalHostTransport::send(quint32 dwData, const QByteArray& block)
{
    if (!m_host)
        return SendResult::NoHost;
    Connection& host = *m_host;
    QElapsedTimer elapsed;
    elapsed.start();

    // Whatever came before this send (a registration, a stray record) is not its answer.
    if (!drain(host)) {
        dropConnection(&host);
        return SendResult::Disconnected;
    }

    SendResult result = SendResult::Delivered;
    {
        // The wait serves this one socket only; its signals would run our handlers nested.
        const QSignalBlocker blocker(host.socket);
        host.awaitingAnswer = true;
        host.answered = false;
        host.socket->write(CopyDataRecord::encode(dwData, block));
        host.socket->flush();
        for (;;) {
            if (!drain(host)) {
                result = SendResult::Disconnected;
                break;
            }
            if (host.answered)
                break;
            if (host.socket->state() != QLocalSocket::ConnectedState) {
                result = SendResult::Disconnected;
                break;
            }
            const qint64 left = kAnswerTimeoutMs - elapsed.elapsed();
            if (left <= 0) {
                result = SendResult::TimedOut;
                break;
            }
            // Also writes what the kernel did not take yet.
            host.socket->waitForReadyRead(int(left));
        }
        host.awaitingAnswer = false;
        host.answered = false;
    }
    if (result != SendResult::Delivered)
        dropConnection(&host);
    return result;
}

void LocalHostTransport::dropConnection(Connection* connection)
{
    if (m_host == connection)
        m_host = nullptr;
    const auto it = std::find_if(m_connections.begin(), m_connections.end(),
                                 [connection](const auto& c) { return c.get() == connection; });
    if (it == m_connections.end())
        return;
    const std::unique_ptr<Connection> owned = std::move(*it);
    m_connections.erase(it);
    QLocalSocket* socket = owned->socket;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

LocalHostTransport::Connection* LocalHostTransport::find(quint64 serial) const
{
    for (const auto& c : m_connections) {
        if (c->serial == serial)
            return c.get();
    }
    return nullptr;
}

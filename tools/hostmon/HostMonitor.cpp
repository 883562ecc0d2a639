#include "HostMonitor.h"

#include "common/Win1251.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

#include <cstdio>

namespace {

constexpr int kRetryMs = 200;
constexpr int kValueField = 30;
constexpr quint32 kAnswer = 1;

void printLine(FILE* to, const QString& line)
{
    const QByteArray utf8 = line.toUtf8() + '\n';
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), to);
    std::fflush(to);
}

} // namespace

HostMonitor::HostMonitor(Options options, QObject* parent)
    : QObject(parent), m_options(std::move(options))
{
    m_retry.setSingleShot(true);
    m_retry.setInterval(kRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &HostMonitor::connectNow);
    connect(&m_socket, &QLocalSocket::connected, this, &HostMonitor::onConnected);
    connect(&m_socket, &QLocalSocket::readyRead, this, &HostMonitor::onReadyRead);
    connect(&m_socket, &QLocalSocket::disconnected, this, &HostMonitor::onClosed);
    connect(&m_socket, &QLocalSocket::errorOccurred, this, [this](QLocalSocket::LocalSocketError) {
        if (!m_connected)
            onClosed(); // the connect failed: nobody listens yet
    });
}

void HostMonitor::start()
{
    connectNow();
}

void HostMonitor::connectNow()
{
    m_reader = HostRecordReader();
    m_socket.abort();
    m_socket.connectToServer(m_options.socketPath);
}

void HostMonitor::onConnected()
{
    m_connected = true;
    m_waitingNoted = false;
    QByteArray id(4, '\0');
    qToLittleEndian<quint32>(m_options.id, id.data());
    m_socket.write(CopyDataRecord::encode(CopyDataRecord::kRegistration, id));
    m_socket.flush();
    printLine(stderr, QStringLiteral("hostmon: registered as %1 on %2")
                          .arg(m_options.id)
                          .arg(m_options.socketPath));
}

void HostMonitor::onReadyRead()
{
    for (;;) {
        if (m_reader.hasRecord()) {
            const CopyDataRecord record = m_reader.takeRecord();
            printLine(stdout, describe(record, m_options.json));
            if (!m_options.hang) {
                QByteArray result(4, '\0');
                qToLittleEndian<quint32>(kAnswer, result.data());
                m_socket.write(CopyDataRecord::encode(record.dwData, result));
                m_socket.flush();
            }
            continue;
        }
        if (m_reader.isBroken()) {
            printLine(stderr, QStringLiteral("hostmon: a record announced %1 bytes; closing")
                                  .arg(m_reader.announcedSize()));
            m_socket.abort();
            return;
        }
        const QByteArray chunk = m_socket.read(m_reader.wanted());
        if (chunk.isEmpty())
            return;
        m_reader.feed(chunk);
    }
}

void HostMonitor::onClosed()
{
    const bool wasConnected = std::exchange(m_connected, false);
    if (m_options.once) {
        if (!wasConnected)
            printLine(stderr, QStringLiteral("hostmon: cannot connect to %1: %2")
                                  .arg(m_options.socketPath, m_socket.errorString()));
        Q_EMIT finished(wasConnected ? 0 : 1);
        return;
    }
    if (wasConnected || !m_waitingNoted) {
        printLine(
            stderr,
            QStringLiteral("hostmon: waiting for the program on %1").arg(m_options.socketPath));
        m_waitingNoted = true;
    }
    if (!m_retry.isActive())
        m_retry.start();
}

QString HostMonitor::describe(const CopyDataRecord& record, bool json)
{
    const QByteArray& block = record.data;
    const qsizetype size = block.size();
    const QByteArray field = block.left(kValueField);
    const qsizetype valueEnd = field.indexOf('\0');
    const QByteArray value = valueEnd < 0 ? field : field.left(valueEnd);
    const QByteArray tail = block.mid(kValueField);
    const qsizetype captionEnd = tail.indexOf('\0');
    const QByteArray caption = captionEnd < 0 ? tail : tail.left(captionEnd);
    // The export's layout: a terminated value in its 30 bytes, the caption, one final zero.
    const bool wellFormed = size > kValueField && valueEnd >= 0 && captionEnd == tail.size() - 1;

    if (json) {
        const QJsonObject line{
            {QStringLiteral("dwData"), qint64(record.dwData)},
            {QStringLiteral("cbData"), qint64(size)},
            {QStringLiteral("value"), Win1251::decode(value)},
            {QStringLiteral("caption"), Win1251::decode(caption)},
            {QStringLiteral("wellFormed"), wellFormed},
        };
        return QString::fromUtf8(QJsonDocument(line).toJson(QJsonDocument::Compact));
    }
    QString line = QStringLiteral("%1\t%2\t%3\t%4")
                       .arg(record.dwData)
                       .arg(size)
                       .arg(Win1251::decode(value), Win1251::decode(caption));
    if (!wellFormed)
        line += QStringLiteral("\tmalformed");
    return line;
}

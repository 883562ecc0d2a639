#include "common/ErrorReporter.h"
#include "common/Win1251.h"
#include "display/DisplayState.h"
#include "host/CopyDataRecord.h"
#include "host/HostExport.h"
#include "host/LocalHostTransport.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// The records are put together here by hand, independently of the code under test.
QByteArray le32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian<quint32>(value, bytes.data());
    return bytes;
}

QByteArray record(quint32 dwData, const QByteArray& block)
{
    return le32(dwData) + le32(quint32(block.size())) + block;
}

QByteArray cp1251(const char* utf8)
{
    return Win1251::encode(QString::fromUtf8(utf8));
}

// The value as a host reads it: the bytes before the first zero of the 30-byte field.
QByteArray valueOf(const QByteArray& block)
{
    const QByteArray field = block.left(30);
    return field.left(field.indexOf('\0'));
}

QByteArray captionOf(const QByteArray& block)
{
    return block.mid(30, block.size() - 31);
}

// Records what the export hands over, and answers as told.
class FakeTransport : public HostTransport
{
public:
    QList<CopyDataRecord> sent;
    SendResult result = SendResult::Delivered;

    SendResult send(quint32 dwData, const QByteArray& block) override
    {
        sent << CopyDataRecord{dwData, block};
        return result;
    }
    bool hasHost() const override { return result != SendResult::NoHost; }
    void registerHost(quint32 id) { Q_EMIT registered(id); }

    QList<quint32> channels() const
    {
        QList<quint32> ids;
        for (const CopyDataRecord& r : sent)
            ids << r.dwData;
        return ids;
    }
    QList<CopyDataRecord> take() { return std::exchange(sent, {}); }
};

struct ExportRig
{
    DisplayState display;
    FakeTransport transport;
    ErrorReporter errors;
    HostExport exporter{display, transport, errors};
};

struct ChannelRow
{
    quint32 id;
    DisplayId source;
    const char* caption;
};

// The channel table as front-ends know it, in the order of the export pass.
const ChannelRow kTable[] = {
    {1, DisplayId::LabelSpeed, "скорость,км/ч"},
    {8, DisplayId::Pressure, "давление,kPa"},
    {11, DisplayId::LabelRPM, "обороты,об/мин"},
    {12, DisplayId::airTemp, "темп.впуска,град С"},
    {2, DisplayId::LabelTempEng, "темп.двигателя,град С"},
    {39, DisplayId::MPGLabel, "воздух,г/сек"},
    {129, DisplayId::MPG1, "расход,л/час"},
    {131, DisplayId::LabelFuel, "мгн.расход,л/100км"},
    {132, DisplayId::LabelRashod, "расход,л/100км"},
    {133, DisplayId::LabelTopl, "израсходовано,л"},
    {134, DisplayId::LabelDistance, "проехали,км"},
    {135, DisplayId::LabelSpeedMaxOut, "max.скорость,км/ч"},
    {137, DisplayId::LabelSpeedSrOut, "ср.скорость,км/ч"},
    {142, DisplayId::LabelTime, "время в пути,чч:мм"},
    {3, DisplayId::LabelNapr, "напряжение,В"},
    {30, DisplayId::LabelTank, "Уровень топлива,%"},
    {145, DisplayId::EditTank, "Уровень топлива,л"},
    {146, DisplayId::DistPred, "До заправки,км"},
};

// A host on a plain POSIX socket in a thread of its own, so that it can answer while the
// export waits on the main thread. Answers each record with dwData = the channel and a 4-byte
// result of 1, unless it hangs.
class ThreadedHost
{
public:
    enum class Mode
    {
        Answer,
        Hang
    };

    explicit ThreadedHost(const QString& path, Mode mode = Mode::Answer) : m_mode(mode)
    {
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray native = QFile::encodeName(path);
        std::strncpy(address.sun_path, native.constData(), sizeof(address.sun_path) - 1);
        m_connected = ::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        m_thread = std::thread([this] { run(); });
    }
    ~ThreadedHost()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
    }

    bool isConnected() const { return m_connected; }
    bool closedByPeer() const { return m_closed; }

    void write(const QByteArray& bytes)
    {
        const std::lock_guard lock(m_writeMutex);
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n =
                ::send(m_fd, bytes.constData() + done, size_t(bytes.size() - done), MSG_NOSIGNAL);
            if (n <= 0)
                return;
            done += n;
        }
    }
    void registerAs(quint32 id) { write(record(CopyDataRecord::kRegistration, le32(id))); }

    QList<CopyDataRecord> received() const
    {
        const std::lock_guard lock(m_mutex);
        return m_received;
    }

private:
    void run()
    {
        QByteArray buffer;
        while (!m_stop) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            char chunk[4096];
            const ssize_t n = ::read(m_fd, chunk, sizeof chunk);
            if (n <= 0) {
                m_closed = true;
                return;
            }
            buffer.append(chunk, n);
            while (buffer.size() >= 8) {
                const quint32 dwData = qFromLittleEndian<quint32>(buffer.constData());
                const quint32 size = qFromLittleEndian<quint32>(buffer.constData() + 4);
                if (buffer.size() < 8 + qsizetype(size))
                    break;
                {
                    const std::lock_guard lock(m_mutex);
                    m_received << CopyDataRecord{dwData, buffer.mid(8, size)};
                }
                buffer.remove(0, 8 + size);
                if (m_mode == Mode::Answer)
                    write(record(dwData, le32(1)));
            }
        }
    }

    Mode m_mode;
    int m_fd = -1;
    bool m_connected = false;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_closed{false};
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::mutex m_writeMutex;
    QList<CopyDataRecord> m_received;
};

// The real transport on a private runtime directory, with the export on top.
struct SocketRig
{
    QTemporaryDir runtime;
    DisplayState display;
    ErrorReporter errors;
    LocalHostTransport transport;
    HostExport exporter{display, transport, errors};
    QString listenError = transport.listen(runtime.path(), true);

    // A host that connected and whose registration the transport has read.
    bool registered(ThreadedHost& host, quint32 id)
    {
        if (!host.isConnected())
            return false;
        host.registerAs(id);
        return QTest::qWaitFor([&] { return exporter.hostWindow() == id && transport.hasHost(); },
                               10000);
    }
    HostTransport::SendResult sendProbe(quint32 dwData = 3)
    {
        return transport.send(dwData, HostExport::dataBlock(cp1251("напряжение,В"), "12.6"));
    }
};

} // namespace

class TestHost : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // --- the export pass -------------------------------------------------------------------

    void theFirstPassSendsEveryNonEmptyChannelInTableOrder_data()
    {
        QTest::addColumn<QString>("maxSpeed");
        QTest::addColumn<bool>("maxSpeedSent");
        QTest::newRow("maximum speed 0 stays quiet") << "0" << false;
        QTest::newRow("maximum speed 57 goes out") << "57" << true;
        // The trip reset shows "0.0", which is not the remembered "0".
        QTest::newRow("maximum speed 0.0 goes out") << "0.0" << true;
    }
    void theFirstPassSendsEveryNonEmptyChannelInTableOrder()
    {
        QFETCH(QString, maxSpeed);
        QFETCH(bool, maxSpeedSent);
        ExportRig rig;
        QList<quint32> expectedIds;
        for (const ChannelRow& row : kTable) {
            QString text = QStringLiteral("%1.5").arg(row.id);
            if (row.source == DisplayId::LabelTime)
                text = QStringLiteral("01:02:03");
            else if (row.source == DisplayId::EditTank)
                text = QStringLiteral("45.25");
            else if (row.source == DisplayId::LabelSpeedMaxOut)
                text = maxSpeed;
            else if (row.source == DisplayId::LabelNapr)
                text.clear(); // no voltage read yet: nothing to send
            rig.display.setText(row.source, text);
            if (!text.isEmpty() && (row.id != 135 || maxSpeedSent))
                expectedIds << row.id;
        }

        rig.exporter.TimerSendHostTimer();

        QCOMPARE(rig.transport.channels(), expectedIds);
        for (const CopyDataRecord& r : rig.transport.sent) {
            const ChannelRow& row =
                *std::find_if(std::begin(kTable), std::end(kTable),
                              [&](const ChannelRow& c) { return c.id == r.dwData; });
            const QString text = rig.display.text(row.source);
            QCOMPARE(captionOf(r.data), cp1251(row.caption));
            QCOMPARE(valueOf(r.data), row.id == 142 ? QByteArray("01:02") : text.toLatin1());
            QCOMPARE(rig.exporter.hostLastSent(row.id), text);
        }
        rig.transport.take();
        rig.exporter.TimerSendHostTimer();
        QCOMPARE(rig.transport.sent.size(), 0);
    }

    void theTimeChannelSendsHoursAndMinutesEachTimeTheSecondsChange()
    {
        ExportRig rig;
        rig.exporter.TimerSendHostTimer();
        rig.transport.take();
        for (const char* time : {"00:12:05", "00:12:06", "00:12:07", "00:12:07"}) {
            rig.display.setText(DisplayId::LabelTime, QString::fromLatin1(time));
            rig.exporter.TimerSendHostTimer();
        }
        const QList<CopyDataRecord> sent = rig.transport.take();
        QCOMPARE(sent.size(), 3);
        for (const CopyDataRecord& r : sent) {
            QCOMPARE(r.dwData, 142u);
            QCOMPARE(valueOf(r.data), QByteArray("00:12"));
        }
        QCOMPARE(rig.exporter.hostLastSent(142), QStringLiteral("00:12:07"));
    }

    void theMaximumSpeedGoesOutAgainAfterItsEntryIsReset_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("sentAgain");
        QTest::newRow("57") << "57" << 1;
        QTest::newRow("0") << "0" << 0;
        QTest::newRow("0.0") << "0.0" << 1;
    }
    void theMaximumSpeedGoesOutAgainAfterItsEntryIsReset()
    {
        QFETCH(QString, text);
        QFETCH(int, sentAgain);
        ExportRig rig;
        rig.display.setText(DisplayId::LabelSpeedMaxOut, text);
        rig.exporter.TimerSendHostTimer();
        rig.transport.take();

        rig.exporter.resetMaxSpeedSent();
        QCOMPARE(rig.exporter.hostLastSent(135), QStringLiteral("0"));
        rig.exporter.TimerSendHostTimer();
        rig.exporter.TimerSendHostTimer();
        const QList<CopyDataRecord> sent = rig.transport.take();
        QCOMPARE(sent.size(), sentAgain);
        if (sentAgain) {
            QCOMPARE(sent.first().dwData, 135u);
            QCOMPARE(valueOf(sent.first().data), text.toLatin1());
        }
    }

    void aValueTooLongForItsFieldIsSkippedReportedOnceAndTheOthersGoOn_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("sent");
        QTest::newRow("29 characters fit") << 29 << true;
        QTest::newRow("30 characters do not") << 30 << false;
        QTest::newRow("200 characters do not") << 200 << false;
    }
    void aValueTooLongForItsFieldIsSkippedReportedOnceAndTheOthersGoOn()
    {
        QFETCH(int, length);
        QFETCH(bool, sent);
        ExportRig rig;
        rig.exporter.TimerSendHostTimer();
        rig.transport.take();

        // The first channel of the pass, so that a stop there would starve all the others.
        for (const char digit : {'7', '8', '9'}) {
            rig.display.setText(DisplayId::LabelSpeed, QString(length, QLatin1Char(digit)));
            rig.display.setText(DisplayId::DistPred, QString(QLatin1Char(digit)));
            rig.exporter.TimerSendHostTimer();
        }
        const QList<CopyDataRecord> records = rig.transport.take();
        QList<quint32> expected;
        for (int i = 0; i < 3; ++i)
            expected << (sent ? QList<quint32>{1, 146} : QList<quint32>{146});
        QList<quint32> ids;
        for (const CopyDataRecord& r : records)
            ids << r.dwData;
        QCOMPARE(ids, expected);
        QCOMPARE(rig.errors.reportCount(), sent ? 0 : 1);
        if (sent) {
            const QByteArray block = records.first().data;
            QCOMPARE(block.left(29), QByteArray(29, '7'));
            QCOMPARE(block.at(29), '\0');
            QCOMPARE(captionOf(block), cp1251("скорость,км/ч"));
        }

        // A text that fits again goes out at once.
        rig.display.setText(DisplayId::LabelSpeed, QStringLiteral("60"));
        rig.exporter.TimerSendHostTimer();
        QCOMPARE(rig.transport.channels(), QList<quint32>{1});
        QCOMPARE(valueOf(rig.transport.sent.first().data), QByteArray("60"));
    }

    void theDataBlockIsLaidOutByteForByte_data()
    {
        QTest::addColumn<quint32>("channel");
        QTest::addColumn<QByteArray>("caption");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("cbData");
        QTest::newRow("voltage 12.6") << 3u << cp1251("напряжение,В") << QByteArray("12.6") << 43;
        QTest::newRow("13-byte caption") << 1u << cp1251("скорость,км/ч") << QByteArray("60") << 44;
        QTest::newRow("empty value") << 146u << cp1251("До заправки,км") << QByteArray() << 45;
        QTest::newRow("29 characters")
            << 133u << cp1251("израсходовано,л") << QByteArray(29, '\xFF') << 46;
    }
    void theDataBlockIsLaidOutByteForByte()
    {
        QFETCH(quint32, channel);
        QFETCH(QByteArray, caption);
        QFETCH(QByteArray, value);
        QFETCH(int, cbData);
        ExportRig rig;
        QCOMPARE(rig.exporter.SendHostValue(channel, caption, value), HostExport::SendResult::Sent);
        QCOMPARE(rig.transport.sent.size(), 1);
        const CopyDataRecord r = rig.transport.sent.first();
        QCOMPARE(r.dwData, channel);
        QCOMPARE(r.data.size(), cbData);
        QCOMPARE(r.data.size(), caption.size() + 31);
        QByteArray expected = value;
        expected.append(30 - value.size(), '\0');
        expected += caption;
        expected += '\0';
        QCOMPARE(r.data, expected);
    }

    void theLastSentTextsMoveOnWhetherOrNotAHostReceives()
    {
        ExportRig rig;
        rig.transport.result = HostTransport::SendResult::NoHost;
        rig.display.setText(DisplayId::LabelSpeed, QStringLiteral("40"));
        rig.exporter.TimerSendHostTimer();
        QCOMPARE(rig.exporter.hostLastSent(1), QStringLiteral("40"));
        QCOMPARE(rig.exporter.hostWindow(), 0u);

        // A host that registers now gets a channel only when its text next changes.
        rig.transport.result = HostTransport::SendResult::Delivered;
        rig.transport.registerHost(0x00C0FFEE);
        QCOMPARE(rig.exporter.hostWindow(), 0x00C0FFEEu);
        rig.transport.take();
        rig.exporter.TimerSendHostTimer();
        QCOMPARE(rig.transport.sent.size(), 0);
        rig.display.setText(DisplayId::LabelSpeed, QStringLiteral("41"));
        rig.exporter.TimerSendHostTimer();
        QCOMPARE(rig.transport.channels(), QList<quint32>{1});
    }

    // --- the local socket ------------------------------------------------------------------

    void theSocketIsPrivateToItsUser()
    {
        QTemporaryDir base;
        const QString dir = base.filePath(QStringLiteral("run/tachora"));
        LocalHostTransport transport;
        QCOMPARE(transport.listen(dir, true), QString());
        QCOMPARE(transport.socketPath(), QDir(dir).filePath(QStringLiteral("host.sock")));
        struct stat st
        {
        };
        QCOMPARE(::stat(QFile::encodeName(dir).constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0700));
        QCOMPARE(::stat(QFile::encodeName(transport.socketPath()).constData(), &st), 0);
        QVERIFY(S_ISSOCK(st.st_mode));
        QCOMPARE(st.st_mode & 07777, mode_t(0600));
    }

    void aStaleSocketIsTakenOverOnlyUnderTheInstanceLock_data()
    {
        QTest::addColumn<bool>("ownsRuntimeDir");
        QTest::newRow("lock held") << true;
        QTest::newRow("lock not held") << false;
    }
    void aStaleSocketIsTakenOverOnlyUnderTheInstanceLock()
    {
        QFETCH(bool, ownsRuntimeDir);
        QTemporaryDir runtime;
        const QString path = runtime.filePath(QStringLiteral("host.sock"));
        // What a killed instance leaves: a socket file that nobody listens on.
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, QFile::encodeName(path).constData(),
                     sizeof(address.sun_path) - 1);
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);

        LocalHostTransport transport;
        const QString error = transport.listen(runtime.path(), ownsRuntimeDir);
        QCOMPARE(error.isEmpty(), ownsRuntimeDir);
        QCOMPARE(transport.isListening(), ownsRuntimeDir);
        if (ownsRuntimeDir) {
            ThreadedHost host(path);
            QVERIFY(host.isConnected());
        }
    }

    void onlyARegistrationWithDwData64AndFourBytesTakesEffect_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<quint32>>("ids");
        const quint32 last = 0xBEEF;
        QTest::newRow("64 with 4 bytes")
            << record(64, QByteArray("\x04\x03\x02\x01", 4)) << QList<quint32>{0x01020304, last};
        QTest::newRow("64 with 6 bytes") << record(64, QByteArray("\xFF\x00\x00\x80\x01\x02", 6))
                                         << QList<quint32>{0x800000FF, last};
        QTest::newRow("64 with id 0") << record(64, le32(0)) << QList<quint32>{0, last};
        QTest::newRow("65") << record(65, le32(7)) << QList<quint32>{last};
        QTest::newRow("0") << record(0, le32(7)) << QList<quint32>{last};
        QTest::newRow("64 with 3 bytes")
            << record(64, QByteArray("\x07\x00\x00", 3)) << QList<quint32>{last};
        QTest::newRow("64 with no bytes") << record(64, {}) << QList<quint32>{last};
    }
    void onlyARegistrationWithDwData64AndFourBytesTakesEffect()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<quint32>, ids);
        SocketRig rig;
        QCOMPARE(rig.listenError, QString());
        QSignalSpy spy(&rig.transport, &HostTransport::registered);
        ThreadedHost host(rig.transport.socketPath());
        // Byte by byte with the event loop between, so that every split is met.
        for (const char byte : bytes) {
            host.write(QByteArray(1, byte));
            QTest::qWait(1);
        }
        QVERIFY(rig.registered(host, ids.last()));
        QList<quint32> got;
        for (const QList<QVariant>& args : spy)
            got << args.first().value<quint32>();
        QCOMPARE(got, ids);
        QCOMPARE(rig.exporter.hostWindow(), ids.last());
    }

    void theExportGoesToTheConnectionOfTheLatestRegistration()
    {
        SocketRig rig;
        ThreadedHost first(rig.transport.socketPath());
        ThreadedHost second(rig.transport.socketPath());
        QVERIFY(rig.registered(first, 1));
        QVERIFY(rig.registered(second, 2));
        QCOMPARE(rig.sendProbe(3), HostTransport::SendResult::Delivered);
        QVERIFY(rig.registered(first, 11));
        QCOMPARE(rig.sendProbe(8), HostTransport::SendResult::Delivered);

        QCOMPARE(second.received().size(), 1);
        QCOMPARE(second.received().first().dwData, 3u);
        QCOMPARE(first.received().size(), 1);
        const CopyDataRecord r = first.received().first();
        QCOMPARE(r.dwData, 8u);
        QCOMPARE(r.data,
                 QByteArray("12.6").leftJustified(30, '\0') + cp1251("напряжение,В") + '\0');
    }

    void aHostThatHangsOrLeavesIsDroppedUntilARegistration_data()
    {
        QTest::addColumn<bool>("hangs");
        QTest::newRow("hangs") << true;
        QTest::newRow("leaves") << false;
    }
    void aHostThatHangsOrLeavesIsDroppedUntilARegistration()
    {
        QFETCH(bool, hangs);
        SocketRig rig;
        {
            ThreadedHost host(rig.transport.socketPath(), ThreadedHost::Mode::Hang);
            QVERIFY(rig.registered(host, 5));
            if (hangs) {
                // Costs the answer time once; the host's connection is closed.
                QCOMPARE(rig.sendProbe(), HostTransport::SendResult::TimedOut);
                QTRY_VERIFY_WITH_TIMEOUT(host.closedByPeer(), 10000);
            }
        }
        if (!hangs)
            QTRY_COMPARE_WITH_TIMEOUT(rig.transport.connectionCount(), 0, 10000);
        QCOMPARE(rig.transport.hasHost(), false);
        QCOMPARE(rig.sendProbe(), HostTransport::SendResult::NoHost);
        QCOMPARE(rig.exporter.hostWindow(), 5u); // the dead id stays until a new registration

        ThreadedHost next(rig.transport.socketPath());
        QVERIFY(rig.registered(next, 6));
        QCOMPARE(rig.sendProbe(), HostTransport::SendResult::Delivered);
        QCOMPARE(next.received().size(), 1);
    }

    void aRecordOverSixtyFourKibClosesItsConnection_data()
    {
        QTest::addColumn<quint32>("cbData");
        QTest::addColumn<bool>("closes");
        QTest::newRow("64 KiB") << 65536u << false;
        QTest::newRow("64 KiB + 1") << 65537u << true;
        QTest::newRow("4 GiB - 1") << 0xFFFFFFFFu << true;
    }
    void aRecordOverSixtyFourKibClosesItsConnection()
    {
        QFETCH(quint32, cbData);
        QFETCH(bool, closes);
        SocketRig rig;
        ThreadedHost host(rig.transport.socketPath());
        QVERIFY(rig.registered(host, 9));
        host.write(le32(77) + le32(cbData));
        if (closes) {
            QTRY_VERIFY_WITH_TIMEOUT(host.closedByPeer(), 10000);
            QCOMPARE(rig.transport.hasHost(), false);
            QCOMPARE(rig.transport.connectionCount(), 0);
            return;
        }
        // The whole block is read and passed over; the stream stays in step.
        host.write(QByteArray(qsizetype(cbData), '\x40'));
        QVERIFY(rig.registered(host, 10));
        QCOMPARE(rig.sendProbe(), HostTransport::SendResult::Delivered);
        QCOMPARE(host.closedByPeer(), false);
    }

    void connectionsAreBoundedAndTheHostIsNeverEvicted()
    {
        SocketRig rig;
        ThreadedHost host(rig.transport.socketPath());
        QVERIFY(rig.registered(host, 1));
        std::vector<std::unique_ptr<ThreadedHost>> idle;
        for (int i = 0; i < 3 * LocalHostTransport::kMaxConnections; ++i) {
            idle.push_back(std::make_unique<ThreadedHost>(rig.transport.socketPath()));
            QTest::qWait(2);
        }
        QTRY_VERIFY_WITH_TIMEOUT(std::count_if(idle.begin(), idle.end(),
                                               [](const auto& h) { return h->closedByPeer(); }) ==
                                     long(idle.size()) - LocalHostTransport::kMaxConnections + 1,
                                 10000);
        QCOMPARE(rig.transport.connectionCount(), LocalHostTransport::kMaxConnections);
        QCOMPARE(rig.sendProbe(), HostTransport::SendResult::Delivered);
        QCOMPARE(host.received().size(), 1);
        // The newest connections are the ones kept: one of them can still take over.
        QVERIFY(rig.registered(*idle.back(), 2));
    }
};

QTEST_GUILESS_MAIN(TestHost)
#include "test_host.moc"

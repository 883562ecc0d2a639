#include "LinkHarness.h"

#include "common/ErrorReporter.h"
#include "display/DisplayState.h"
#include "link/AdapterConnection.h"
#include "link/AnswerFraming.h"
#include "link/PidPoller.h"
#include "link/SerialLink.h"
#include "link/SerialPortDevice.h"
#include "platform/Clock.h"
#include "platform/TraceLog.h"
#include "settings/SettingsState.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

namespace {

class NullClock : public Clock
{
public:
    quint32 tick = 0;
    quint32 tickMs() const override { return tick; }
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 9), QTime(12, 0)); }
    void sleepMs(int ms) override { tick += quint32(ms); }
};

// A port that is always there, forgets what is written and hands over injected bytes.
class LoopDevice : public SerialPortDevice
{
public:
    QByteArray pending;
    quint64 written = 0;
    bool open(const QString&, qint32, QString*) override
    {
        m_open = true;
        return true;
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray& bytes, QString*) override
    {
        written += quint64(bytes.size());
        return m_open;
    }
    QByteArray readAll() override { return std::exchange(pending, {}); }
    void inject(const QByteArray& bytes)
    {
        pending += bytes;
        Q_EMIT readyRead();
    }

private:
    bool m_open = false;
};

struct Harness
{
    int argc = 1;
    char name[8] = "fuzz";
    char* argv[2] = {name, nullptr};
    QCoreApplication app{argc, argv};
    NullClock clock;
    ErrorReporter errors;
    DisplayState display;
    SettingsState settings;
    TraceLog trace{clock, QStringLiteral("/nonexistent")};
    LoopDevice device;
    SerialLink link{device, settings, display, trace};
    AnswerFraming framing;
    PidPoller poller{link, settings, display, clock};
    AdapterConnection connection{link, framing, poller, settings, display, trace, errors, clock};

    Harness()
    {
        settings.setComPath(QStringLiteral("/dev/fuzz"));
        settings.setPortPath(QStringLiteral("/dev/fuzz"));
        settings.setListBox1({QStringLiteral("AT SP 6"), QStringLiteral("AT H0")});
    }
};

Harness& harness()
{
    static Harness* h = new Harness; // lives for the whole run
    return *h;
}

} // namespace

void runLinkInput(const uint8_t* data, size_t size)
{
    Harness& h = harness();
    if (size == 0)
        return;
    const uint8_t cfg = data[0];
    h.settings.setFastPulling(cfg & 0x08);
    h.settings.setToyota21(cfg & 0x10);
    h.settings.setMapMaf((cfg >> 5) & 1);
    h.settings.setComboBoxProtokol((cfg >> 6) == 3 ? 10 : (cfg >> 6));
    if (!h.link.isOpen())
        h.link.open();
    h.connection.setLinkState(static_cast<LinkState>(cfg % 5));
    h.poller.setPollCounter((cfg >> 3) % 31);

    size_t i = 1;
    while (i < size) {
        const uint8_t len = data[i++];
        if (len == 0xFF) {
            h.connection.TimerIniTimer();
            continue;
        }
        const size_t n = std::min<size_t>(len, size - i);
        h.device.inject(QByteArray(reinterpret_cast<const char*>(data + i), qsizetype(n)));
        i += n;
        if (h.framing.rxBuffer().size() > AnswerFraming::kMaxBuffer) {
            std::fprintf(stderr, "receive buffer grew past its bound\n");
            std::abort();
        }
    }
    // A well-formed exchange afterwards is still handled.
    h.device.inject(QByteArray(">")); // closes whatever was left unfinished
    h.connection.setLinkState(LinkState::Polling);
    h.device.inject(QByteArray("01 0D\r41 0D 3C \r\r>"));
    if (h.display.text(DisplayId::LabelSpeed) != QString::number(int(h.settings.kSpeed().value() * 60 + 0.5))
        && !h.settings.fastPulling()) {
        std::fprintf(stderr, "a well-formed speed answer was not decoded: %s\n",
                     qPrintable(h.display.text(DisplayId::LabelSpeed)));
        std::abort();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    runLinkInput(data, size);
    return 0;
}

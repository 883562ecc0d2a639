#include "host/HostExport.h"

#include "common/ErrorReporter.h"
#include "common/Win1251.h"

#include <cstring>

namespace {

constexpr int kTimeValueLength = 5; // "hh:mm" of the elapsed "hh:mm:ss"
constexpr int kMaxSpeedIndex = 11;

} // namespace

const std::array<HostExport::Channel, HostExport::kChannelCount>& HostExport::channels()
{
    static const std::array<Channel, kChannelCount> table = [] {
        const auto ch = [](quint32 id, DisplayId source, const char* caption) {
            return Channel{id, source, Win1251::encode(QString::fromUtf8(caption))};
        };
        return std::array<Channel, kChannelCount>{
            ch(1, DisplayId::LabelSpeed, "скорость,км/ч"),
            ch(8, DisplayId::Pressure, "давление,kPa"),
            ch(11, DisplayId::LabelRPM, "обороты,об/мин"),
            ch(12, DisplayId::airTemp, "темп.впуска,град С"),
            ch(2, DisplayId::LabelTempEng, "темп.двигателя,град С"),
            ch(39, DisplayId::MPGLabel, "воздух,г/сек"),
            ch(129, DisplayId::MPG1, "расход,л/час"),
            ch(131, DisplayId::LabelFuel, "мгн.расход,л/100км"),
            ch(132, DisplayId::LabelRashod, "расход,л/100км"),
            ch(133, DisplayId::LabelTopl, "израсходовано,л"),
            ch(134, DisplayId::LabelDistance, "проехали,км"),
            ch(kMaxSpeedChannel, DisplayId::LabelSpeedMaxOut, "max.скорость,км/ч"),
            ch(137, DisplayId::LabelSpeedSrOut, "ср.скорость,км/ч"),
            ch(kTimeChannel, DisplayId::LabelTime, "время в пути,чч:мм"),
            ch(3, DisplayId::LabelNapr, "напряжение,В"),
            ch(30, DisplayId::LabelTank, "Уровень топлива,%"),
            ch(145, DisplayId::EditTank, "Уровень топлива,л"),
            ch(146, DisplayId::DistPred, "До заправки,км"),
        };
    }();
    return table;
}

QByteArray HostExport::dataBlock(const QByteArray& caption, const QByteArray& value)
{
    Q_ASSERT(value.size() < kValueFieldSize);
    // Zero-filled: the value's terminator, the rest of its field and the final zero.
    QByteArray block(caption.size() + kValueFieldSize + 1, '\0');
    std::memcpy(block.data(), value.constData(), size_t(value.size()));
    std::memcpy(block.data() + kValueFieldSize, caption.constData(), size_t(caption.size()));
    return block;
}

HostExport::HostExport(DisplayState& display, HostTransport& transport, ErrorReporter& errors,
                       QObject* parent)
    : QObject(parent), m_display(display), m_transport(transport), m_errors(errors)
{
    Q_ASSERT(channels()[kMaxSpeedIndex].id == kMaxSpeedChannel);
    resetMaxSpeedSent();
    m_timerSendHost.setInterval(kTimerSendHostMs);
    connect(&m_timerSendHost, &QTimer::timeout, this, &HostExport::TimerSendHostTimer);
    connect(&m_transport, &HostTransport::registered, this, &HostExport::onRegistered);
}

QString HostExport::hostLastSent(quint32 channelId) const
{
    for (int i = 0; i < kChannelCount; ++i) {
        if (channels()[size_t(i)].id == channelId)
            return m_hostLastSent[size_t(i)];
    }
    return {};
}

void HostExport::enableTimerSendHost()
{
    if (!m_timerSendHost.isActive())
        m_timerSendHost.start();
}

void HostExport::resetMaxSpeedSent()
{
    m_hostLastSent[kMaxSpeedIndex] = QStringLiteral("0");
}

void HostExport::onRegistered(quint32 id)
{
    m_hostWindow = id;
}

void HostExport::TimerSendHostTimer()
{
    const auto& table = channels();
    for (size_t i = 0; i < table.size(); ++i) {
        const Channel& channel = table[i];
        const QString text = m_display.text(channel.source);
        if (text == m_hostLastSent[i])
            continue;
        // The time channel sends "hh:mm" but remembers the whole text, so it goes out again
        // each time the seconds change.
        const QByteArray value =
            Win1251::encode(channel.id == kTimeChannel ? text.left(kTimeValueLength) : text);
        const SendResult result = SendHostValue(channel.id, channel.caption, value);
        if (result == SendResult::TooLong) {
            if (!m_tooLongReported[i]) {
                m_tooLongReported[i] = true;
                m_errors.report(QStringLiteral("The host export skips channel %1 (%2): its text "
                                               "has %3 characters, at most %4 fit.")
                                    .arg(channel.id)
                                    .arg(Win1251::decode(channel.caption))
                                    .arg(value.size())
                                    .arg(kValueFieldSize - 1));
            }
        } else {
            m_tooLongReported[i] = false;
        }
        // Skipped or not, this text was handled: a text too long is not retried every tick,
        // and the channel goes out again as soon as its text changes.
        m_hostLastSent[i] = m_display.text(channel.source);
    }
}

HostExport::SendResult HostExport::SendHostValue(quint32 channel, const QByteArray& caption,
                                                 const QByteArray& value)
{
    if (value.size() >= kValueFieldSize)
        return SendResult::TooLong;
    const HostTransport::SendResult result = m_transport.send(channel, dataBlock(caption, value));
    return result == HostTransport::SendResult::Delivered ? SendResult::Sent
                                                          : SendResult::NotDelivered;
}

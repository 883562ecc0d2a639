#pragma once

#include "display/DisplayState.h"
#include "host/HostTransport.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <array>

class ErrorReporter;

// The telemetry export: every TimerSendHost tick compares the texts of 18 display fields with
// the texts last sent and sends each changed one to the registered host, one copy-data
// record per channel (SendHostValue). The display texts are the only source of the values.
class HostExport : public QObject
{
    Q_OBJECT

public:
    static constexpr int kTimerSendHostMs = 100;
    static constexpr int kChannelCount = 18;
    // The value field of the data block, its zero terminator included.
    static constexpr int kValueFieldSize = 30;
    static constexpr quint32 kMaxSpeedChannel = 135;
    static constexpr quint32 kTimeChannel = 142;

    struct Channel
    {
        quint32 id;
        DisplayId source;
        QByteArray caption; // Windows-1251
    };
    // In the order of the export pass.
    static const std::array<Channel, kChannelCount>& channels();

    // The data block of one channel: the value at offset 0 in a zero-filled 30-byte field, the
    // caption at offset 30, a final zero; caption length + 31 bytes. The value must be
    // shorter than 30 bytes.
    static QByteArray dataBlock(const QByteArray& caption, const QByteArray& value);

    HostExport(DisplayState& display, HostTransport& transport, ErrorReporter& errors,
               QObject* parent = nullptr);

    // The id of the latest registration; 0 until a host registers. Never cleared: a host
    // that went away keeps its id here until another one registers.
    quint32 hostWindow() const { return m_hostWindow; }
    // The text last handed to SendHostValue per channel, in table order (on the time channel
    // the full "hh:mm:ss" display text).
    const std::array<QString, kChannelCount>& hostLastSent() const { return m_hostLastSent; }
    QString hostLastSent(quint32 channelId) const;

    // Polling began or imitation was ticked. Starting the running timer does not restart its
    // period; nothing stops it.
    void enableTimerSendHost();
    const QTimer& timerSendHost() const { return m_timerSendHost; }

    // One export pass over the channels in table order.
    void TimerSendHostTimer();

    // Makes the next pass send the maximum speed again unless its text is "0": start-up, trip
    // reset and end of trip.
    void resetMaxSpeedSent();

    enum class SendResult
    {
        Sent,
        NotDelivered,
        TooLong
    };
    // Builds the block and hands it to the transport, which waits for the host. A value of 30
    // bytes or more does not fit its field and is not sent.
    SendResult SendHostValue(quint32 channel, const QByteArray& caption, const QByteArray& value);

private:
    void onRegistered(quint32 id);

    DisplayState& m_display;
    HostTransport& m_transport;
    ErrorReporter& m_errors;
    quint32 m_hostWindow = 0;
    std::array<QString, kChannelCount> m_hostLastSent;
    // Per channel: a too-long text was reported and no value has been sent since.
    std::array<bool, kChannelCount> m_tooLongReported{};
    QTimer m_timerSendHost;
};

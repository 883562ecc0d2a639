#pragma once

#include "link/SerialPortDevice.h"
#include "link/TripHooks.h"

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <utility>

// A serial device the test drives by hand. Every write is recorded; received bytes are
// injected with receive() (readyRead follows at once) or come from the responder, whose
// answer to a request arrives on the event loop, as a real adapter's would.
class FakeSerialDevice : public SerialPortDevice
{
    Q_OBJECT

public:
    using SerialPortDevice::SerialPortDevice;

    QList<QByteArray> writes;
    // Device and rate of every successful open, as "device@baud".
    QStringList opens;
    int openAttempts = 0;
    int closes = 0;
    bool failOpen = false;
    // Answers a written request; a null array means no answer at all.
    std::function<QByteArray(const QByteArray& request)> responder;
    // When set, writes ("> text", CR left out), opens and closes are noted here in order.
    QStringList* journal = nullptr;

    bool open(const QString& device, qint32 baud, QString* error) override
    {
        ++openAttempts;
        if (failOpen) {
            *error = QStringLiteral("Cannot open serial port %1: No such file or directory").arg(device);
            return false;
        }
        m_open = true;
        opens << QStringLiteral("%1@%2").arg(device).arg(baud);
        note(QStringLiteral("open ") + opens.last());
        return true;
    }

    void close() override
    {
        if (!m_open)
            return;
        m_open = false;
        m_pending.clear(); // a closed port forgets what it had not handed over
        ++closes;
        note(QStringLiteral("close"));
    }

    bool isOpen() const override { return m_open; }

    bool write(const QByteArray& bytes, QString* error) override
    {
        if (!m_open) {
            *error = QStringLiteral("Serial port is not open");
            return false;
        }
        writes << bytes;
        note(QStringLiteral("> ") + QString::fromLatin1(bytes).remove(QLatin1Char('\r')));
        if (responder) {
            const QByteArray answer = responder(bytes);
            if (!answer.isNull()) {
                QPointer<FakeSerialDevice> self(this);
                QTimer::singleShot(0, this, [self, answer] {
                    if (self && self->m_open)
                        self->receive(answer);
                });
            }
        }
        return true;
    }

    QByteArray readAll() override { return std::exchange(m_pending, QByteArray()); }

    // Bytes arrive from the adapter; an empty batch is an event with a count of 0.
    void receive(const QByteArray& bytes)
    {
        m_pending += bytes;
        Q_EMIT readyRead();
    }

    // The open device breaks (unplugged, I/O error); it stays nominally open.
    void fail(const QString& reason) { Q_EMIT failed(reason); }

    QList<QByteArray> takeWrites() { return std::exchange(writes, {}); }

private:
    void note(const QString& entry)
    {
        if (journal)
            *journal << entry;
    }

    bool m_open = false;
    QByteArray m_pending;
};

// The trip computer as the link sees it: records every call. startTrip marks the trip
// active, as the real one does; tripActive and fuelUsed can be set by the test.
class FakeTripHooks : public TripHooks
{
public:
    QStringList calls;
    bool active = false;
    double fuel = 0.0;
    // When set, calls are noted here as well (shared with FakeSerialDevice::journal).
    QStringList* journal = nullptr;

    void startTrip() override
    {
        active = true;
        record(QStringLiteral("startTrip"));
    }
    void endTrip() override { record(QStringLiteral("endTrip")); }
    bool tripActive() const override { return active; }
    void setTripActive(bool a) override { active = a; }
    double fuelUsed() const override { return fuel; }
    void portOpened() override { record(QStringLiteral("portOpened")); }
    void processSpeedSample(quint32 sampleTime, int speed) override
    {
        record(QStringLiteral("processSpeedSample(%1,%2)").arg(sampleTime).arg(speed));
    }
    void updateFuelModel() override { record(QStringLiteral("updateFuelModel")); }

private:
    void record(const QString& call)
    {
        calls << call;
        if (journal)
            *journal << call;
    }
};

#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The serial device under the link: 8 data bits, no parity, 1 stop bit, no flow control,
// DTR and RTS raised. The real one is QtSerialPortDevice; unit tests may use a fake.
class SerialPortDevice : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // On failure returns false and a user-fit reason in *error.
    virtual bool open(const QString& device, qint32 baud, QString* error) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Queues all bytes in order. False (with a reason) when the port is closed or broken.
    virtual bool write(const QByteArray& bytes, QString* error) = 0;
    virtual QByteArray readAll() = 0;
    // Takes what the driver holds without waiting and announces it with readyRead.
    virtual void pollForData() {}

Q_SIGNALS:
    // Received bytes wait to be read.
    void readyRead();
    // The open device failed (unplugged, I/O error); it is still nominally open.
    void failed(const QString& reason);
};

#pragma once

#include "link/SerialPortDevice.h"

#include <QSerialPort>

class QtSerialPortDevice : public SerialPortDevice
{
    Q_OBJECT

public:
    explicit QtSerialPortDevice(QObject* parent = nullptr);

    bool open(const QString& device, qint32 baud, QString* error) override;
    void close() override;
    bool isOpen() const override;
    bool write(const QByteArray& bytes, QString* error) override;
    QByteArray readAll() override;
    void pollForData() override;

private:
    void onError(QSerialPort::SerialPortError error);

    QSerialPort m_port;
    bool m_failed = false;
};

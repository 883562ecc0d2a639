#include "link/QtSerialPortDevice.h"

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

QtSerialPortDevice::QtSerialPortDevice(QObject* parent)
    : SerialPortDevice(parent)
{
    m_port.setReadBufferSize(0); // the framing bounds what it keeps
    connect(&m_port, &QSerialPort::readyRead, this, &SerialPortDevice::readyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialPortDevice::onError);
}

bool QtSerialPortDevice::open(const QString& device, qint32 baud, QString* error)
{
    if (m_port.isOpen())
        m_port.close();
    m_failed = false;
    m_port.setPortName(device);
    if (!m_port.setBaudRate(baud)) {
        *error = QStringLiteral("Cannot set %1 baud on %2").arg(baud).arg(device);
        return false;
    }
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port.open(QIODevice::ReadWrite)) {
        *error = QStringLiteral("Cannot open serial port %1: %2").arg(device, m_port.errorString());
        m_port.clearError();
        return false;
    }
    // A pseudo-terminal has no modem lines; failing to raise them is harmless.
    m_port.setDataTerminalReady(true);
    m_port.setRequestToSend(true);
    m_port.clearError();
    m_failed = false;
    return true;
}

void QtSerialPortDevice::close()
{
    if (m_port.isOpen())
        m_port.close();
    m_port.clearError();
    m_failed = false;
}

bool QtSerialPortDevice::isOpen() const
{
    return m_port.isOpen();
}

bool QtSerialPortDevice::write(const QByteArray& bytes, QString* error)
{
    if (!m_port.isOpen() || m_failed) {
        *error = QStringLiteral("Serial port %1 is not open").arg(m_port.portName());
        return false;
    }
    // A request is a few bytes and the line is idle when it goes out: write it to the device
    // at once instead of through the port's write notifier, which costs a turn of the event
    // loop per exchange. Whatever the driver does not take goes the ordinary way.
    qsizetype done = 0;
#ifdef Q_OS_UNIX
    if (m_port.bytesToWrite() == 0) {
        const ssize_t n = ::write(m_port.handle(), bytes.constData(), size_t(bytes.size()));
        if (n > 0)
            done = n;
    }
#endif
    if (done == bytes.size())
        return true;
    if (m_port.write(bytes.constData() + done, bytes.size() - done) != bytes.size() - done) {
        *error = QStringLiteral("Cannot write to serial port %1: %2")
                     .arg(m_port.portName(), m_port.errorString());
        return false;
    }
    return true;
}

void QtSerialPortDevice::pollForData()
{
    if (m_port.isOpen() && !m_failed)
        m_port.waitForReadyRead(0); // emits readyRead when something came
}

QByteArray QtSerialPortDevice::readAll()
{
    return m_port.readAll();
}

void QtSerialPortDevice::onError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::NoError:
    case QSerialPort::UnsupportedOperationError: // DTR/RTS on a pseudo-terminal
    case QSerialPort::TimeoutError:
        return;
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
        if (m_port.isOpen() && !m_failed) {
            m_failed = true;
            Q_EMIT failed(m_port.errorString());
        }
        return;
    default:
        // Errors of open() and of settings are reported by open() itself.
        return;
    }
}

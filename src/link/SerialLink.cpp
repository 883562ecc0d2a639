#include "link/SerialLink.h"

#include "display/DisplayState.h"
#include "link/LinkError.h"
#include "link/SerialPortDevice.h"
#include "platform/PortNames.h"
#include "platform/TraceLog.h"
#include "settings/SettingsState.h"

SerialLink::SerialLink(SerialPortDevice& device, SettingsState& settings, DisplayState& display,
                       TraceLog& trace, QObject* parent)
    : QObject(parent)
    , m_device(device)
    , m_settings(settings)
    , m_display(display)
    , m_trace(trace)
{
    connect(&m_device, &SerialPortDevice::readyRead, this, &SerialLink::onReadyRead);
    connect(&m_device, &SerialPortDevice::failed, this, &SerialLink::onFailed);
}

void SerialLink::configure(quint16 number, const QString& path, qint32 baud)
{
    // Setting either one clears the other, so only the one that names the port is set.
    if (path.isEmpty())
        m_settings.setComNumber(number);
    else
        m_settings.setComPath(path);
    m_settings.setComBaud(baud);
}

QString SerialLink::deviceName() const
{
    if (!m_settings.comPath().isEmpty())
        return m_settings.comPath();
    return PortNames::deviceForNumber(m_settings.comNumber());
}

QString SerialLink::portText() const
{
    if (!m_settings.comPath().isEmpty())
        return m_settings.comPath();
    return QString::number(m_settings.comNumber());
}

void SerialLink::open()
{
    if (m_open)
        close();
    const QString device = deviceName();
    if (device.isEmpty())
        throw LinkError(QStringLiteral("No serial port is chosen: choose one on the settings page"));
    QString error;
    if (!m_device.open(device, m_settings.comBaud(), &error))
        throw LinkError(error);
    m_open = true;
    if (onPortOpened)
        onPortOpened();
}

void SerialLink::close()
{
    if (!m_open)
        return;
    m_device.close();
    m_open = false;
    m_trace.writeLine(TraceLog::portClosedText());
}

bool SerialLink::isOpen() const
{
    return m_open;
}

void SerialLink::pollDevice()
{
    if (m_open)
        m_device.pollForData();
}

void SerialLink::sendText(const QByteArray& text)
{
    QString error;
    if (!m_open) {
        throw LinkError(QStringLiteral("Serial port %1 is not open").arg(portText()));
    }
    if (!m_device.write(text, &error))
        throw LinkError(error);
    m_bytesWritten += quint64(text.size());
    if (onSent)
        onSent();
}

DisplayId SerialLink::lampId(Lamp lamp)
{
    switch (lamp) {
    case Lamp::Port:
        return DisplayId::ImagePort;
    case Lamp::Adapter:
        return DisplayId::ImageAdapter;
    case Lamp::Ecu:
        break;
    }
    return DisplayId::ImageECU;
}

void SerialLink::lightLamp(Lamp lamp)
{
    m_display.setLit(lampId(lamp), true);
}

void SerialLink::dimLamp(Lamp lamp)
{
    m_display.setLit(lampId(lamp), false);
}

void SerialLink::resetLamps()
{
    for (Lamp lamp : {Lamp::Port, Lamp::Adapter, Lamp::Ecu})
        m_display.setLit(lampId(lamp), false);
}

bool SerialLink::isLit(Lamp lamp) const
{
    return m_display.isLit(lampId(lamp));
}

void SerialLink::onReadyRead()
{
    if (!m_open)
        return;
    const QByteArray bytes = m_device.readAll();
    m_bytesRead += quint64(bytes.size());
    if (onData)
        onData(bytes);
}

void SerialLink::onFailed(const QString& reason)
{
    if (!m_open)
        return;
    // Bytes still buffered from a failed device are dropped: answering them would write to
    // a port that is gone. The connection starts again from the reset anyway.
    close();
    if (onDeviceFailed)
        onDeviceFailed(reason);
}

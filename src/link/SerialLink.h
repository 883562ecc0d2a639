#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

class DisplayState;
class SerialPortDevice;
class SettingsState;
class TraceLog;
enum class DisplayId : int;

// The one serial port to the adapter and its three lamps. The port's number (or device
// path) and rate are its own configuration, set only together and taken at the next open.
// Opening runs the port-opened handler before open() returns, closing runs the port-closed
// handler; received bytes go to the data handler on the event loop.
class SerialLink : public QObject
{
    Q_OBJECT

public:
    enum class Lamp { Port, Adapter, Ecu };

    SerialLink(SerialPortDevice& device, SettingsState& settings, DisplayState& display,
               TraceLog& trace, QObject* parent = nullptr);

    // Handlers, set by the connection.
    std::function<void()> onPortOpened;
    std::function<void(const QByteArray&)> onData;
    // The open device failed (unplugged, I/O error).
    std::function<void(const QString&)> onDeviceFailed;
    // A text went out to the adapter.
    std::function<void()> onSent;

    // Sets the port's number or path and rate (the settings' port component configuration).
    void configure(quint16 number, const QString& path, qint32 baud);
    // Throws LinkError when the port cannot be opened; then the port stays closed.
    void open();
    // Closing a closed port does nothing.
    void close();
    bool isOpen() const;
    // The device the current configuration names; empty when no port is chosen.
    QString deviceName() const;
    // The configured port as its user sees it: the number or the path.
    QString portText() const;

    // Reads at once whatever waits at the device, as a data event would.
    void pollDevice();

    // Writes the text unchanged. Throws LinkError when the port is closed or broken.
    void sendText(const QByteArray& text);

    void lightLamp(Lamp lamp);
    void dimLamp(Lamp lamp);
    void resetLamps();
    bool isLit(Lamp lamp) const;

    quint64 bytesWritten() const { return m_bytesWritten; }
    quint64 bytesRead() const { return m_bytesRead; }

private:
    void onReadyRead();
    void onFailed(const QString& reason);
    static DisplayId lampId(Lamp lamp);

    SerialPortDevice& m_device;
    SettingsState& m_settings;
    DisplayState& m_display;
    TraceLog& m_trace;
    bool m_open = false;
    quint64 m_bytesWritten = 0;
    quint64 m_bytesRead = 0;
};

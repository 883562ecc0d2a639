#pragma once

#include <QByteArray>
#include <QObject>

// How export records reach the host and registrations reach us. On Linux a local socket
// (LocalHostTransport); on Windows the same records travel as WM_COPYDATA window messages.
class HostTransport : public QObject
{
    Q_OBJECT

public:
    enum class SendResult
    {
        Delivered,    // the host handled the record and answered
        NoHost,       // nobody registered, or the last host was dropped: the record went nowhere
        TimedOut,     // the host did not answer in time; it is dropped
        Disconnected, // the host went away during the send; it is dropped
    };
    Q_ENUM(SendResult)

    using QObject::QObject;

    // Delivers one copy-data record to the registered host and waits, without running other
    // handlers, until the host has handled it or the transport gives up on it.
    virtual SendResult send(quint32 dwData, const QByteArray& block) = 0;
    // Whether a send would go anywhere.
    virtual bool hasHost() const = 0;

Q_SIGNALS:
    // A host registered (dwData 64, its 32-bit id in the block's first 4 bytes). A new
    // registration replaces the previous host without notice.
    void registered(quint32 id);
};

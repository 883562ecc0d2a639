#include "platform/PowerEvents.h"

#include <QDBusConnection>

PowerEvents::PowerEvents(QObject* parent)
    : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return;
    m_connected = bus.connect(QStringLiteral("org.freedesktop.login1"),
                              QStringLiteral("/org/freedesktop/login1"),
                              QStringLiteral("org.freedesktop.login1.Manager"),
                              QStringLiteral("PrepareForSleep"), this,
                              SLOT(onPrepareForSleep(bool)));
}

void PowerEvents::onPrepareForSleep(bool start)
{
    if (start)
        Q_EMIT suspendQuery();
    else
        Q_EMIT resumed();
}

#pragma once

#include <QObject>

// The system's sleep notifications: logind's PrepareForSleep(true) is the query before a
// suspend, PrepareForSleep(false) the resume. Without a system bus there are no events.
class PowerEvents : public QObject
{
    Q_OBJECT

public:
    explicit PowerEvents(QObject* parent = nullptr);
    // True when the subscription to the system bus succeeded.
    bool isConnected() const { return m_connected; }

Q_SIGNALS:
    void suspendQuery();
    void resumed();

private Q_SLOTS:
    void onPrepareForSleep(bool start);

private:
    bool m_connected = false;
};

// Plays logind on a private bus (run under dbus-run-session with the system bus pointed at
// the session bus) and checks that its sleep signals reach the program.
#include "platform/PowerEvents.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QSignalSpy>
#include <QTest>

class TestPowerEvents : public QObject
{
    Q_OBJECT

    static void emitPrepareForSleep(bool start)
    {
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                                         QStringLiteral("org.freedesktop.login1.Manager"),
                                                         QStringLiteral("PrepareForSleep"));
        signal << start;
        QVERIFY(QDBusConnection::systemBus().send(signal));
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!QDBusConnection::systemBus().isConnected())
            QSKIP("no bus to play logind on; run under dbus-run-session");
        QVERIFY(QDBusConnection::systemBus().registerService(QStringLiteral("org.freedesktop.login1")));
    }

    void prepareForSleepBecomesTheSuspendQueryAndTheResume()
    {
        PowerEvents power;
        QCOMPARE(power.isConnected(), true);
        QSignalSpy query(&power, &PowerEvents::suspendQuery);
        QSignalSpy resumed(&power, &PowerEvents::resumed);
        emitPrepareForSleep(true);
        QTRY_COMPARE(query.count(), 1);
        QCOMPARE(resumed.count(), 0);
        emitPrepareForSleep(false);
        QTRY_COMPARE(resumed.count(), 1);
        QCOMPARE(query.count(), 1);
    }

    void aSignalOfTheSameNameOnAnotherInterfaceIsIgnored()
    {
        PowerEvents power;
        QSignalSpy query(&power, &PowerEvents::suspendQuery);
        QDBusMessage other = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                                        QStringLiteral("org.example.Other"),
                                                        QStringLiteral("PrepareForSleep"));
        other << true;
        QDBusConnection::systemBus().send(other);
        QTest::qWait(200);
        QCOMPARE(query.count(), 0);
    }
};

QTEST_GUILESS_MAIN(TestPowerEvents)
#include "test_power_events.moc"

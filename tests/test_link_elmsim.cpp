// The wired core against the simulated adapter, through the real serial port class on a
// real pseudo-terminal.
#include "app/TachoraApp.h"
#include "display/DisplayState.h"
#include "link/AdapterConnection.h"
#include "link/PidPoller.h"
#include "link/SerialLink.h"
#include "platform/Clock.h"
#include "support/ElmSim.h"
#include "trip/TripComputer.h"
#include "trip/TripLog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Drive
{
    QTemporaryDir work;
    QTemporaryDir runtime;
    SystemClock clock;
    ElmSim sim;
    std::unique_ptr<TachoraApp> app;

    bool start(const QStringList& simArgs, const QByteArray& method = "MAP",
               const QByteArray& fastPull = "0", const QByteArray& mode21 = "0")
    {
        if (!sim.start(QStringList{QStringLiteral("--link"), work.filePath(QStringLiteral("elm327"))} + simArgs))
            return false;
        QFile f(work.filePath(QStringLiteral("Tachora.ini")));
        if (!f.open(QIODevice::WriteOnly))
            return false;
        f.write("port=" + QFile::encodeName(work.filePath(QStringLiteral("elm327"))) +
                "\r\nbaud=38400\r\nskins=\r\nv=2300\r\nh=75\r\nMapMaf=" + method +
                "\r\nprotocol=Automatic\r\nFuelTank=65\r\nKSpeed=1.00\r\nEngineWarm=0.00\r\n"
                "FastPull=" + fastPull + "\r\nMode21=" + mode21 + "\r\nPause=50\r\n");
        f.close();
        app = std::make_unique<TachoraApp>(clock, TachoraApp::Paths{work.path(), runtime.path()});
        return app->formCreate({}) == TachoraApp::StartResult::Running;
    }

    LinkState state() const { return app->connection().linkState(); }

    // The requests the cycle sent after the probe, without the first "0F".
    QStringList cycleRequests(int n) const
    {
        const qsizetype probe = sim.requests.lastIndexOf(QStringLiteral("01 00 1"));
        return sim.requests.mid(probe + 2, n);
    }
};

QStringList expectedCycle(const QString& fuelPid, const QString& prefix, const QString& suffix)
{
    auto req = [&](const char* pid) { return prefix + QLatin1String(pid) + suffix; };
    QStringList out;
    for (int pass = 1; pass <= 31; ++pass) {
        out << req("0C") << QStringLiteral("at rv") << req("0D") << prefix + fuelPid + suffix;
        const int counter = pass % 31;
        const bool map = fuelPid == QLatin1String("0B");
        if (counter == 0)
            out << req("0F");
        else if (counter == (map ? 15 : 30))
            out << req("05");
    }
    return out;
}

} // namespace

class TestLinkElmSim : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theLinkGoesFromTheStartToPollingAndTheReadingsMove()
    {
        Drive d;
        QVERIFY(d.start({QStringLiteral("--fixed"), QStringLiteral("rpm=1726,speed=60,map=35,iat=20,coolant=83,volts=12.6")}));
        QTRY_COMPARE_WITH_TIMEOUT(d.state(), LinkState::Polling, 10000);
        DisplayState& display = d.app->display();
        QTRY_COMPARE_WITH_TIMEOUT(display.text(DisplayId::LabelRPM), QStringLiteral("1726"), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(display.text(DisplayId::LabelSpeed), QStringLiteral("60"), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(display.text(DisplayId::Pressure), QStringLiteral("35"), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(display.text(DisplayId::airTemp), QStringLiteral("20"), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(display.text(DisplayId::LabelNapr), QStringLiteral("12.6"), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(display.text(DisplayId::LabelTempEng), QStringLiteral("83"), 5000);
        QCOMPARE(display.isLit(DisplayId::ImagePort), true);
        QCOMPARE(display.isLit(DisplayId::ImageAdapter), true);
        QCOMPARE(display.isLit(DisplayId::ImageECU), true);
        QCOMPARE(d.sim.requests.mid(0, 4),
                 (QStringList{QStringLiteral("atz"), QStringLiteral("AT DP"), QStringLiteral("01 00 1"),
                              QStringLiteral("01 0F")}));
    }

    void theCycleRequestsInItsExactOrder_data()
    {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QByteArray>("fastPull");
        QTest::addColumn<QByteArray>("mode21");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("MAP") << QByteArray("MAP") << QByteArray("0") << QByteArray("0")
                             << expectedCycle(QStringLiteral("0B"), QStringLiteral("01 "), QString());
        QTest::newRow("MAF") << QByteArray("MAF") << QByteArray("0") << QByteArray("0")
                             << expectedCycle(QStringLiteral("10"), QStringLiteral("01 "), QString());
        QTest::newRow("fast mode 21") << QByteArray("MAP") << QByteArray("1") << QByteArray("1")
                                      << expectedCycle(QStringLiteral("0B"), QStringLiteral("21 "), QStringLiteral(" 1"));
    }
    void theCycleRequestsInItsExactOrder()
    {
        QFETCH(QByteArray, method);
        QFETCH(QByteArray, fastPull);
        QFETCH(QByteArray, mode21);
        QFETCH(QStringList, expected);
        Drive d;
        QVERIFY(d.start({QStringLiteral("--fixed"), QStringLiteral("speed=60")}, method, fastPull, mode21));
        QTRY_VERIFY_WITH_TIMEOUT(d.sim.requests.size() > expected.size() + 10, 10000);
        QCOMPARE(d.cycleRequests(int(expected.size())), expected);
        QTRY_COMPARE_WITH_TIMEOUT(d.app->display().text(DisplayId::LabelSpeed), QStringLiteral("60"), 5000);
    }

    void everyFaultOfTheAdapterEndsInPollingAgain_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("reconnects");
        QTest::newRow("NO DATA") << "nodata" << true;
        QTest::newRow("UNABLE TO CONNECT") << "unable" << true;
        QTest::newRow("BUS INIT ERROR") << "businit" << true;
        QTest::newRow("STOPPED") << "stopped" << true;
        QTest::newRow("question mark, not recognised") << "question" << true;
        QTest::newRow("silence") << "silence" << true;
        QTest::newRow("garbage before the answer") << "garbage" << false;
        QTest::newRow("answer split over writes") << "split" << false;
    }
    void everyFaultOfTheAdapterEndsInPollingAgain()
    {
        QFETCH(QString, fault);
        QFETCH(bool, reconnects);
        Drive d;
        QVERIFY(d.start({}));
        d.app->connection().setAnswerTimeouts({3000, 3000, 5000, 1000});
        QTRY_COMPARE_WITH_TIMEOUT(d.state(), LinkState::Polling, 10000);
        QVERIFY(d.sim.command(QStringLiteral("fault %1 1").arg(fault)));
        if (reconnects)
            QTRY_VERIFY_WITH_TIMEOUT(d.sim.count(QStringLiteral("atz")) >= 2, 10000);
        const int before = int(d.sim.requests.size());
        QTRY_VERIFY_WITH_TIMEOUT(d.sim.requests.size() > before + 40, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(d.state(), LinkState::Polling, 10000);
    }

    void anUnpluggedAdapterIsFoundAgainWhenItReturns()
    {
        Drive d;
        QVERIFY(d.start({}));
        QTRY_COMPARE_WITH_TIMEOUT(d.state(), LinkState::Polling, 10000);
        QVERIFY(d.sim.command(QStringLiteral("hangup 1500")));
        QTRY_VERIFY_WITH_TIMEOUT(d.state() != LinkState::Polling, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!d.app->link().isOpen() || d.state() == LinkState::Reconnect, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(d.state(), LinkState::Polling, 15000);
        QVERIFY(d.sim.lines.join(QLatin1Char('\n')).contains(QStringLiteral("PATH /dev/")));
        const int before = int(d.sim.requests.size());
        QTRY_VERIFY_WITH_TIMEOUT(d.sim.requests.size() > before + 20, 5000);
    }

    void aDriveOfKnownSpeedAndAirFlowGivesTheExpectedTripRecord()
    {
        // 90 km/h with 200 g/s of air at 20 °C: 58 910 ml/h of fuel, so 65.46 l/100 km.
        Drive d;
        QVERIFY(d.start({QStringLiteral("--fixed"), QStringLiteral("rpm=2500,speed=90,maf=200,iat=20")},
                        "MAF"));
        QTRY_COMPARE_WITH_TIMEOUT(d.state(), LinkState::Polling, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(d.app->trip().totals().fuelUsed > 0.05, 20000);
        const double distance = d.app->trip().totals().distance;
        const double fuel = d.app->trip().totals().fuelUsed;
        d.app->formClose();

        const QList<TripLogEntry> records = d.app->tripLog().records();
        QCOMPARE(records.size(), 1);
        const TripRecord& r = records.first().record;
        QCOMPARE(*r.maxSpeed, 90.0);
        QVERIFY(*r.distance >= distance && *r.rashod >= fuel);
        // Distance and fuel are counted over the same sample intervals; only the last interval
        // (which a loaded machine may stretch) may lack its fuel: within 5 %.
        QVERIFY2(qAbs(*r.mpg / (58910.16 / 1000.0 / 90.0 * 100.0) - 1.0) < 0.05,
                 qPrintable(QStringLiteral("MPG %1, distance %2 km, fuel %3 l")
                                .arg(*r.mpg).arg(*r.distance).arg(*r.rashod)));
        QCOMPARE(*r.mpgTraff, *r.mpg);
        QCOMPARE(*r.rashodTraff, *r.rashod);
        QVERIFY(*r.fuelTank < 65.0);
        QCOMPARE(d.app->display().text(DisplayId::LabelSpeedMaxOut), QStringLiteral("90"));
    }

    void answersOfTwoControlUnitsDecodeAsOne()
    {
        Drive d;
        QVERIFY(d.start({QStringLiteral("--second-ecu"), QStringLiteral("--fixed"),
                         QStringLiteral("rpm=3000,speed=90")}));
        QTRY_COMPARE_WITH_TIMEOUT(d.state(), LinkState::Polling, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(d.app->display().text(DisplayId::LabelRPM), QStringLiteral("3000"), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(d.app->display().text(DisplayId::LabelSpeed), QStringLiteral("90"), 5000);
    }
};

QTEST_GUILESS_MAIN(TestLinkElmSim)
#include "test_link_elmsim.moc"

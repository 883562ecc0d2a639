#include "common/ErrorReporter.h"
#include "display/DisplayState.h"
#include "link/LiveReadings.h"
#include "settings/SettingsState.h"
#include "support/FakeClock.h"
#include "trip/TripComputer.h"
#include "trip/TripLogConversion.h"
#include "trip/TripRecord.h"
#include "trip/TripRecordSink.h"

#include <QTest>
#include <QThread>

#include <cmath>
#include <utility>

namespace {

class FakeTripLog : public TripRecordSink
{
public:
    QList<TripRecord> records;
    bool accept = true;

    bool append(const TripRecord& record) override
    {
        records.append(record);
        return accept;
    }
};

// The trip computer as the link sees it, over a clock the test moves.
struct Rig
{
    FakeClock clock;
    SettingsState settings;
    DisplayState display;
    ErrorReporter errors;
    LiveReadings readings;
    FakeTripLog log;
    TripComputer trip{readings, settings, display, clock, errors, log};
    int maxSpeedSentResets = 0;

    Rig()
    {
        accounting().onMaxSpeedSentReset = [this] { ++maxSpeedSentResets; };
    }

    TripTotals& totals() { return trip.totals(); }
    TripAccounting& accounting() { return trip.accounting(); }

    // A vehicle-speed answer afterMs after the previous one.
    void sample(int speed, qint64 afterMs = 0)
    {
        clock.advance(afterMs);
        trip.processSpeedSample(clock.tick, speed);
    }
};

double rounded(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

} // namespace

class TestTripAccounting : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theFirstSampleAfterThePortOpensAddsNoDistanceAndCountsNoFuel()
    {
        Rig rig;
        rig.settings.setMapMaf(SettingsState::kMaf);
        rig.readings.intakeAirTemperature = 20;
        rig.readings.airFlow = 24.444; // 7200 ml/h
        rig.readings.vehicleSpeed = 90;
        rig.clock.tick = 5000000;
        rig.trip.startTrip();
        rig.totals().previousSampleTime = 4999600; // from before the port closed

        rig.trip.portOpened();
        rig.sample(90);
        rig.trip.updateFuelModel();

        QCOMPARE(rig.totals().sampleInterval, 5000000u);
        QCOMPARE(rig.display.text(DisplayId::Label3), QStringLiteral("5000000"));
        QCOMPARE(rig.totals().distance, 0.0);
        QCOMPARE(rig.totals().fuelUsed, 0.0);
        QCOMPARE(rig.totals().maxSpeed, 90);

        rig.sample(90, 400);
        rig.trip.updateFuelModel();

        QCOMPARE(rig.display.text(DisplayId::Label3), QStringLiteral("400"));
        QCOMPARE(rig.totals().distance, 0.01);
        QCOMPARE(rig.totals().fuelUsed, 0.0008);
    }

    void theSpeedIsAppliedToTheWholeUnsignedIntervalSinceThePreviousSample_data()
    {
        QTest::addColumn<quint32>("previous");
        QTest::addColumn<quint32>("now");
        QTest::addColumn<int>("speed");
        QTest::addColumn<quint32>("interval");
        QTest::addColumn<double>("added");

        QTest::newRow("90 km/h over 400 ms") << 1000u << 1400u << 90 << 400u << 0.01;
        QTest::newRow("standing") << 1000u << 1400u << 0 << 400u << 0.0;
        QTest::newRow("across the tick wrap") << 0xFFFFFF00u << 0x90u << 90 << 400u << 0.01;
        QTest::newRow("an hour at 60 km/h") << 1000u << 3601000u << 60 << 3600000u << 60.0;
    }
    void theSpeedIsAppliedToTheWholeUnsignedIntervalSinceThePreviousSample()
    {
        QFETCH(quint32, previous);
        QFETCH(quint32, now);
        QFETCH(int, speed);
        QFETCH(quint32, interval);
        QFETCH(double, added);

        Rig rig;
        rig.trip.startTrip();
        rig.totals().distance = 2;
        rig.totals().previousSampleTime = previous;

        rig.trip.processSpeedSample(now, speed);

        QCOMPARE(rig.totals().sampleInterval, interval);
        QCOMPARE(rig.display.text(DisplayId::Label3), QString::number(interval));
        QCOMPARE(rig.totals().distance, 2 + added);
        QCOMPARE(rig.display.text(DisplayId::LabelDistance),
                 rig.display.text(DisplayId::LabelDistance2));
        QCOMPARE(rig.display.text(DisplayId::LabelDistance), QString::number(2 + added, 'f', 1));
        QCOMPARE(rig.totals().previousSampleTime, now);
    }

    void theMaximumSpeedIsKeptAndShownAsAWholeNumber()
    {
        Rig rig;
        rig.trip.startTrip();
        for (int speed : {50, 80, 60})
            rig.sample(speed, 300);
        QCOMPARE(rig.totals().maxSpeed, 80);
        QCOMPARE(rig.display.text(DisplayId::LabelSpeedMaxOut), QStringLiteral("80"));
        QCOMPARE(rig.display.text(DisplayId::LabelSpeedMax), QStringLiteral("80"));
    }

    void theMovingTimeTimerRunsAbove2KmhAndAddsAQuarterSecondPerTick()
    {
        Rig rig;
        const QTimer& timer = rig.accounting().timerTraff();
        QCOMPARE(timer.interval(), 250);
        QCOMPARE(timer.isActive(), false);

        rig.sample(3);
        QCOMPARE(timer.isActive(), true);
        for (int tick = 0; tick < 8; ++tick)
            rig.accounting().TimerTraffTimer();
        QCOMPARE(rig.totals().movingTimeMs, qint64(2000));

        rig.sample(2, 300);
        QCOMPARE(timer.isActive(), false);
    }

    void aRunningMovingTimeTimerKeepsItsPeriodOnTheNextSample()
    {
        Rig rig;
        rig.sample(50);
        // No events meanwhile, so the timer cannot fire and start a new period by itself.
        QThread::msleep(100);
        rig.sample(50, 100);
        QCOMPARE(rig.accounting().timerTraff().isActive(), true);
        QVERIFY2(rig.accounting().timerTraff().remainingTime() < 200,
                 "a second start restarted the period");
    }

    void theMovingTimeGrowsInTheEventLoopUntilASlowSampleStopsIt()
    {
        Rig rig;
        rig.sample(30);
        QTRY_VERIFY(rig.totals().movingTimeMs >= 500);
        rig.sample(0, 100);
        const qint64 stoppedAt = rig.totals().movingTimeMs;
        QTest::qWait(600);
        QCOMPARE(rig.totals().movingTimeMs, stoppedAt);
    }

    void tripTimeAndAverageSpeedCountWholeMinutesOfTheTimeOfDay_data()
    {
        QTest::addColumn<qint64>("elapsedMs");
        QTest::addColumn<double>("distance");
        QTest::addColumn<QString>("labelTime");
        QTest::addColumn<QString>("average");
        QTest::addColumn<QString>("distPred");

        const qint64 s = 1000;
        const qint64 h = 3600 * s;
        // No fuel used: once averaged, the distance to empty is "--".
        QTest::newRow("0:00:59 no average yet") << 59 * s << 1.0 << "00:00:59"
                                                << "untouched"
                                                << "untouched";
        QTest::newRow("0:01:00 with 1 km") << 60 * s << 1.0 << "00:01:00"
                                           << "60.0"
                                           << "--";
        QTest::newRow("1:30:40 ignores the seconds")
            << h + 30 * 60 * s + 40 * s << 45.0 << "01:30:40"
            << "30.0"
            << "--";
        QTest::newRow("24:00:30 starts again from 0") << 24 * h + 30 * s << 1.0 << "00:00:30"
                                                      << "untouched"
                                                      << "untouched";
        QTest::newRow("24:01:00 counts one minute") << 24 * h + 60 * s << 1.0 << "00:01:00"
                                                    << "60.0"
                                                    << "--";
        QTest::newRow("25:30:00 counts 90 minutes") << 25 * h + 30 * 60 * s << 45.0 << "01:30:00"
                                                    << "30.0"
                                                    << "--";
    }
    void tripTimeAndAverageSpeedCountWholeMinutesOfTheTimeOfDay()
    {
        QFETCH(qint64, elapsedMs);
        QFETCH(double, distance);
        QFETCH(QString, labelTime);
        QFETCH(QString, average);
        QFETCH(QString, distPred);

        Rig rig;
        rig.totals().fuelInTank = 45;
        rig.trip.startTrip();
        rig.totals().distance = distance;
        for (DisplayId id :
             {DisplayId::LabelSpeedSrOut, DisplayId::LabelSpeedSr, DisplayId::DistPred})
            rig.display.setText(id, QStringLiteral("untouched"));

        rig.sample(0, elapsedMs);

        QCOMPARE(rig.totals().elapsedMs, elapsedMs);
        QCOMPARE(rig.display.text(DisplayId::LabelTime), labelTime);
        QCOMPARE(rig.display.text(DisplayId::LabelSpeedSrOut), average);
        QCOMPARE(rig.display.text(DisplayId::LabelSpeedSr), average);
        QCOMPARE(rig.display.text(DisplayId::DistPred), distPred);
        QCOMPARE(rig.totals().averageSpeed, average == u"untouched" ? 0.0 : average.toDouble());
    }

    void theDistanceToEmptyKeepsATenthOfTheTankVariable_data()
    {
        QTest::addColumn<double>("tank");
        QTest::addColumn<double>("fuelUsed");
        QTest::addColumn<double>("distance");
        QTest::addColumn<QString>("distPred");

        QTest::newRow("45 l, 3 l over 40 km") << 45.0 << 3.0 << 40.0 << "540";
        QTest::newRow("empty tank") << 0.0 << 3.0 << 40.0 << "--";
        QTest::newRow("no fuel used") << 45.0 << 0.0 << 40.0 << "--";
        QTest::newRow("no distance") << 45.0 << 3.0 << 0.0 << "--";
        QTest::newRow("a tank below zero gives a negative estimate")
            << -3.0 << 3.0 << 40.0 << "-36";
        QTest::newRow("4.5 rounds to the even 4") << 5.0 << 1.0 << 1.0 << "4";
        QTest::newRow("13.5 rounds to the even 14") << 15.0 << 1.0 << 1.0 << "14";
    }
    void theDistanceToEmptyKeepsATenthOfTheTankVariable()
    {
        QFETCH(double, tank);
        QFETCH(double, fuelUsed);
        QFETCH(double, distance);
        QFETCH(QString, distPred);

        Rig rig;
        rig.trip.startTrip();
        rig.accounting().RestoreTank(tank);
        rig.totals().fuelUsed = fuelUsed;
        rig.totals().distance = distance;

        rig.sample(0, 60000);

        QCOMPARE(rig.display.text(DisplayId::DistPred), distPred);
    }

    void theTankLevelFollowsTheEditWithinItsRange_data()
    {
        QTest::addColumn<double>("capacity");
        QTest::addColumn<double>("restored");
        QTest::addColumn<QString>("button");
        QTest::addColumn<double>("tank");
        QTest::addColumn<QString>("editTank");
        QTest::addColumn<double>("bar");
        QTest::addColumn<QString>("labelTank");

        QTest::newRow("restored half of 65 l")
            << 65.0 << 32.5 << "" << 32.5 << "32.50" << 50.0 << "50";
        QTest::newRow("restored empty still sets the level")
            << 65.0 << 0.0 << "" << 0.0 << "0.00" << 0.0 << "0";
        QTest::newRow("restored beyond the edit's range")
            << 65.0 << 120.0 << "" << 120.0 << "100.00" << 100.0 << "100";
        QTest::newRow("+10 on 60 l goes past the capacity")
            << 65.0 << 60.0 << "+10" << 70.0 << "70.00" << 100.0 << "100";
        QTest::newRow("-10 on 7 l goes below empty")
            << 65.0 << 7.0 << "-10" << -3.0 << "0.00" << 0.0 << "0";
        QTest::newRow("+1") << 65.0 << 31.5 << "+1" << 32.5 << "32.50" << 50.0 << "50";
        QTest::newRow("-1 to 42.5 % shows the even 42")
            << 80.0 << 35.0 << "-1" << 34.0 << "34.00" << 42.5 << "42";
        QTest::newRow("full tank of 65 l")
            << 65.0 << 20.0 << "full" << 65.0 << "65.00" << 100.0 << "100";
    }
    void theTankLevelFollowsTheEditWithinItsRange()
    {
        QFETCH(double, capacity);
        QFETCH(double, restored);
        QFETCH(QString, button);
        QFETCH(double, tank);
        QFETCH(QString, editTank);
        QFETCH(double, bar);
        QFETCH(QString, labelTank);

        Rig rig;
        rig.settings.setSpinValue(SettingsState::Spin::FuelTank, capacity);
        rig.accounting().RestoreTank(restored);
        TripAccounting& a = rig.accounting();
        if (button == u"+10")
            a.SpeedButton1Click();
        else if (button == u"-10")
            a.SpeedButton3Click();
        else if (button == u"+1")
            a.SpeedButton2Click();
        else if (button == u"-1")
            a.SpeedButton4Click();
        else if (button == u"full")
            a.SpeedButton5Click();

        QCOMPARE(rig.totals().fuelInTank, tank);
        QCOMPARE(rig.display.text(DisplayId::EditTank), editTank);
        QCOMPARE(rig.display.value(DisplayId::ProgressBarFuel), bar);
        QCOMPARE(rig.display.text(DisplayId::LabelTank), labelTank);
    }

    void restoringTheTankAtStartUpClearsTheMovingFiguresAndTheMaximumSpeed()
    {
        Rig rig;
        rig.totals().movingTimeMs = 5000;
        rig.totals().fuelUsedMoving = 1.2;
        rig.totals().maxSpeed = 90;

        rig.accounting().RestoreTank(40);

        QCOMPARE(rig.totals().movingTimeMs, qint64(0));
        QCOMPARE(rig.totals().fuelUsedMoving, 0.0);
        QCOMPARE(rig.totals().maxSpeed, 0);
        QCOMPARE(rig.maxSpeedSentResets, 1);
        QCOMPARE(rig.totals().fuelInTank, 40.0);
    }

    void everyTripStartTakesTheWarmUpAllowanceFromTheTank()
    {
        Rig rig;
        rig.settings.setSpinValue(SettingsState::Spin::Progrev, 0.5);
        rig.accounting().RestoreTank(45);
        rig.totals().movingTimeMs = 7000;

        rig.trip.startTrip();

        QCOMPARE(rig.totals().fuelInTank, 44.5);
        QCOMPARE(rig.display.text(DisplayId::EditTank), QStringLiteral("44.50"));
        QCOMPARE(rig.display.text(DisplayId::LabelTank), QStringLiteral("68")); // of 65 l
        QCOMPARE(rig.totals().movingTimeMs, qint64(0));
        QCOMPARE(rig.trip.tripActive(), true);
        QCOMPARE(rig.totals().tripStart, rig.clock.now());

        rig.clock.advance(60000);
        rig.trip.startTrip();
        QCOMPARE(rig.totals().fuelInTank, 44.0);
        QCOMPARE(rig.display.text(DisplayId::EditTank), QStringLiteral("44.00"));
        QCOMPARE(rig.totals().tripStart, rig.clock.now());
    }

    void resettingForANewTripClearsTheTripAndItsDisplay()
    {
        Rig rig;
        TripTotals& t = rig.totals();
        t.distance = 12;
        t.fuelUsed = 1.1;
        t.averageSpeed = 40;
        t.maxSpeed = 90;
        t.fuelUsedMoving = 0.9;
        t.fuelInTank = 30;
        rig.readings.instantConsumption = 7.5;
        const std::pair<DisplayId, const char*> texts[] = {
            {DisplayId::LabelDistance, "0.0"},
            {DisplayId::LabelTopl, "0.00"},
            {DisplayId::LabelRashod, "0.0"},
            {DisplayId::LabelRashod2, ">>>"},
            {DisplayId::LabelTime, "00:00:00"},
            {DisplayId::LabelTempEng, "0"},
            {DisplayId::LabelTank, "0"},
            {DisplayId::LabelSpeed, "0"},
            {DisplayId::Pressure, "0"},
            {DisplayId::airTemp, "0"},
            {DisplayId::LabelRPM, "0"},
            {DisplayId::LabelSpeedSr, "0.0"},
            {DisplayId::LabelSpeedSrOut, "0.0"},
            {DisplayId::LabelSpeedMax, "0.0"},
            {DisplayId::LabelSpeedMaxOut, "0.0"},
            {DisplayId::LabelFuel, "0.0"},
            {DisplayId::MPG1, "0.0"},
            {DisplayId::MPGLabel, "0.0"},
        };
        const DisplayId instruments[] = {DisplayId::ThermometerEng, DisplayId::ProgressBarFuel,
                                         DisplayId::GaugePressure,  DisplayId::ThermometerAirTemp,
                                         DisplayId::GaugeRPM,       DisplayId::GaugeMPG,
                                         DisplayId::GaugeMPG1,      DisplayId::GaugeAirMPG};
        for (const auto& [id, text] : texts)
            rig.display.setText(id, QStringLiteral("9"));
        for (DisplayId id : instruments)
            rig.display.setValue(id, 5);

        rig.accounting().ResetTripDisplay();

        for (const auto& [id, text] : texts)
            QCOMPARE(rig.display.text(id), QString::fromUtf8(text));
        for (DisplayId id : instruments)
            QCOMPARE(rig.display.value(id), 0.0);
        QCOMPARE(t.distance, 0.0);
        QCOMPARE(t.fuelUsed, 0.0);
        QCOMPARE(t.averageSpeed, 0.0);
        QCOMPARE(t.maxSpeed, 0);
        QCOMPARE(rig.maxSpeedSentResets, 1);
        // The moving fuel, the tank and the instantaneous consumption carry over.
        QCOMPARE(t.fuelUsedMoving, 0.9);
        QCOMPARE(t.fuelInTank, 30.0);
        QCOMPARE(rig.readings.instantConsumption, 7.5);
    }

    void aTripStartLeavesASummaryOnTheStatisticsPage()
    {
        Rig rig;
        rig.display.setIndex(DisplayId::RadioGroup1, 2);
        for (DisplayId id :
             {DisplayId::LabelRashod2, DisplayId::LabelSpeedSr, DisplayId::LabelSpeedMax})
            rig.display.setText(id, QStringLiteral("summary"));

        rig.trip.startTrip();

        for (DisplayId id :
             {DisplayId::LabelRashod2, DisplayId::LabelSpeedSr, DisplayId::LabelSpeedMax})
            QCOMPARE(rig.display.text(id), QStringLiteral("summary"));
        QCOMPARE(rig.display.text(DisplayId::LabelSpeedMaxOut), QStringLiteral("0.0"));
        QCOMPARE(rig.display.text(DisplayId::LabelSpeedSrOut), QStringLiteral("0.0"));
    }

    void theStatisticsLabelsFollowTheTripOnlyOnTheFirstFilterItem_data()
    {
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("maxSpeed");
        QTest::addColumn<QString>("distance");
        QTest::addColumn<QString>("average");

        QTest::newRow("current trip") << 0 << "90"
                                      << "1.5"
                                      << "90.0";
        QTest::newRow("day") << 1 << "summary"
                             << "summary"
                             << "summary";
        QTest::newRow("week") << 2 << "summary"
                              << "summary"
                              << "summary";
        QTest::newRow("month") << 3 << "summary"
                               << "summary"
                               << "summary";
    }
    void theStatisticsLabelsFollowTheTripOnlyOnTheFirstFilterItem()
    {
        QFETCH(int, filter);
        QFETCH(QString, maxSpeed);
        QFETCH(QString, distance);
        QFETCH(QString, average);

        Rig rig;
        rig.trip.startTrip();
        rig.display.setIndex(DisplayId::RadioGroup1, filter);
        for (DisplayId id :
             {DisplayId::LabelSpeedMax, DisplayId::LabelDistance2, DisplayId::LabelSpeedSr})
            rig.display.setText(id, QStringLiteral("summary"));
        rig.totals().previousSampleTime = rig.clock.tick;

        rig.sample(90, 60000); // 1.5 km in the first minute

        QCOMPARE(rig.display.text(DisplayId::LabelSpeedMaxOut), QStringLiteral("90"));
        QCOMPARE(rig.display.text(DisplayId::LabelDistance), QStringLiteral("1.5"));
        QCOMPARE(rig.display.text(DisplayId::LabelSpeedSrOut), QStringLiteral("90.0"));
        QCOMPARE(rig.display.text(DisplayId::LabelSpeedMax), maxSpeed);
        QCOMPARE(rig.display.text(DisplayId::LabelDistance2), distance);
        QCOMPARE(rig.display.text(DisplayId::LabelSpeedSr), average);
    }

    void aTripEndsInTheLogOnlyAbove10MlAndIsClearedWhateverTheLogSays_data()
    {
        QTest::addColumn<double>("fuelUsed");
        QTest::addColumn<bool>("logAccepts");
        QTest::addColumn<int>("records");

        QTest::newRow("5 ml: nothing at all") << 0.005 << true << 0;
        QTest::newRow("10 ml: nothing at all") << 0.01 << true << 0;
        QTest::newRow("20 ml: one record") << 0.02 << true << 1;
        QTest::newRow("20 ml refused by the log") << 0.02 << false << 1;
    }
    void aTripEndsInTheLogOnlyAbove10MlAndIsClearedWhateverTheLogSays()
    {
        QFETCH(double, fuelUsed);
        QFETCH(bool, logAccepts);
        QFETCH(int, records);

        Rig rig;
        rig.log.accept = logAccepts;
        rig.accounting().RestoreTank(40);
        rig.trip.startTrip();
        const QDateTime start = rig.clock.now();
        rig.sample(50, 90000);
        TripTotals& t = rig.totals();
        t.distance = 12;
        t.fuelUsed = fuelUsed;
        t.fuelUsedMoving = 0.004;
        t.movingTimeMs = 61000;
        t.averageSpeed = 48;
        rig.display.setText(DisplayId::LabelRPM, QStringLiteral("2500"));
        rig.display.setValue(DisplayId::GaugeRPM, 2500);
        const TripRecord expected = TripLogConversion::recordFromTotals(t);
        const int resetsBefore = rig.maxSpeedSentResets;

        rig.trip.endTrip();

        QCOMPARE(rig.log.records.size(), records);
        const bool cleared = records > 0;
        if (cleared)
            QCOMPARE(rig.log.records.first(), expected);
        QCOMPARE(t.distance, cleared ? 0.0 : 12.0);
        QCOMPARE(t.fuelUsed, cleared ? 0.0 : fuelUsed);
        QCOMPARE(t.fuelUsedMoving, cleared ? 0.0 : 0.004);
        QCOMPARE(t.movingTimeMs, cleared ? qint64(0) : qint64(61000));
        QCOMPARE(t.averageSpeed, cleared ? 0.0 : 48.0);
        QCOMPARE(t.maxSpeed, cleared ? 0 : 50);
        QCOMPARE(rig.maxSpeedSentResets, resetsBefore + (cleared ? 1 : 0));
        QCOMPARE(rig.display.text(DisplayId::LabelRPM),
                 cleared ? QStringLiteral("0") : QStringLiteral("2500"));
        QCOMPARE(rig.display.value(DisplayId::GaugeRPM), cleared ? 0.0 : 2500.0);
        // Never reset here.
        QCOMPARE(t.fuelInTank, 40.0);
        QCOMPARE(t.tripStart, start);
        QCOMPARE(t.elapsedMs, qint64(90000));
        QCOMPARE(rig.trip.tripActive(), true);
    }

    void anEndedTripIsRecordedWithTimesOfDayAndWholeSecondsOfMovingTime_data()
    {
        QTest::addColumn<qint64>("elapsedMs");
        QTest::addColumn<qint64>("movingMs");
        QTest::addColumn<double>("distance");
        QTest::addColumn<QTime>("timeAll");
        QTest::addColumn<qint64>("timeTraffMs");
        QTest::addColumn<double>("mpg");
        QTest::addColumn<double>("mpgTraff");

        const qint64 h = 3600000;
        QTest::newRow("1:30:40, moving 1:02:05.4")
            << h * 3 / 2 + 40000 << qint64(3725400) << 45.0 << QTime(1, 30, 40) << qint64(3725000)
            << 6.6667 << 6.0;
        QTest::newRow("25 h drops the whole day")
            << 25 * h << qint64(999) << 45.0 << QTime(1, 0) << qint64(0) << 6.6667 << 6.0;
        QTest::newRow("24 h of moving is kept whole")
            << 24 * h << 24 * h << 45.0 << QTime(0, 0) << 24 * h << 6.6667 << 6.0;
        QTest::newRow("25:01:01.999 of moving")
            << 26 * h << 25 * h + 61999 << 45.0 << QTime(2, 0) << 25 * h + 61000 << 6.6667 << 6.0;
        QTest::newRow("no distance gives no consumption")
            << h << h << 0.0 << QTime(1, 0) << h << 0.0 << 0.0;
    }
    void anEndedTripIsRecordedWithTimesOfDayAndWholeSecondsOfMovingTime()
    {
        QFETCH(qint64, elapsedMs);
        QFETCH(qint64, movingMs);
        QFETCH(double, distance);
        QFETCH(QTime, timeAll);
        QFETCH(qint64, timeTraffMs);
        QFETCH(double, mpg);
        QFETCH(double, mpgTraff);

        Rig rig;
        TripTotals& t = rig.totals();
        t.tripStart = QDateTime(QDate(2026, 12, 9), QTime(23, 45, 12, 345));
        t.elapsedMs = elapsedMs;
        t.movingTimeMs = movingMs;
        t.distance = distance;
        t.fuelUsed = 3;
        t.fuelUsedMoving = 2.7;
        t.fuelInTank = 40.5;
        t.averageSpeed = 30;
        t.maxSpeed = 121;

        rig.trip.endTrip();

        QCOMPARE(rig.log.records.size(), 1);
        const TripRecord& r = rig.log.records.first();

        QCOMPARE(r.startDate, std::optional(QDate(2026, 12, 9)));
        QCOMPARE(r.startTime, std::optional(QTime(23, 45, 12, 345)));
        QCOMPARE(r.timeAll, std::optional(timeAll));
        QCOMPARE(r.timeTraffMs, std::optional(timeTraffMs));
        QCOMPARE(r.distance, std::optional(distance));
        QCOMPARE(r.rashod, std::optional(3.0));
        QCOMPARE(r.rashodTraff, std::optional(2.7));
        QCOMPARE(r.fuelTank, std::optional(40.5));
        QCOMPARE(rounded(r.mpg.value(), 4), mpg);
        QCOMPARE(rounded(r.mpgTraff.value(), 4), mpgTraff);
        QCOMPARE(r.averageSpeed, std::optional(30.0));
        QCOMPARE(r.maxSpeed, std::optional(121.0));
    }
};

QTEST_GUILESS_MAIN(TestTripAccounting)
#include "test_trip_accounting.moc"

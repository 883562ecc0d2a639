#include "common/ErrorReporter.h"
#include "display/DisplayState.h"
#include "link/LiveReadings.h"
#include "settings/SettingsState.h"
#include "trip/FuelModel.h"
#include "trip/TripTotals.h"

#include <QTest>

#include <cmath>

namespace {

// The model over its own readings, totals, settings and display.
struct Rig
{
    LiveReadings readings;
    TripTotals totals;
    SettingsState settings;
    DisplayState display;
    ErrorReporter errors;
    FuelModel model{readings, totals, settings, display, errors};

    Rig()
    {
        readings.intakeAirTemperature = 20;
        totals.sampleInterval = 5000; // no fuel counted unless a test asks for it
    }

    // The MAF method with an air flow that gives the wanted fresh consumption at 75 km/h
    // and 20 °C.
    void airFlowForConsumption(double litresPer100Km)
    {
        settings.setMapMaf(SettingsState::kMaf);
        readings.vehicleSpeed = 75;
        readings.airFlow = litresPer100Km * 11172 * 75 / 360000;
    }

    QStringList displaySnapshot() const
    {
        QStringList items;
        for (int i = 0; i < kDisplayItemCount; ++i) {
            const auto id = static_cast<DisplayId>(i);
            items << DisplayState::name(id) + '=' + display.text(id) + '|' +
                         QString::number(display.value(id), 'g', 17);
        }
        return items;
    }
};

// Reals shown as worked examples with a few decimals.
double rounded(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

} // namespace

class TestFuelModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void airFlowFuelFlowAndFreshConsumptionFollowTheChosenMethod_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<QString>("vd");
        QTest::addColumn<double>("rpm");
        QTest::addColumn<int>("pressure");
        QTest::addColumn<int>("airTemp");
        QTest::addColumn<double>("mafAirFlow");
        QTest::addColumn<int>("speed");
        QTest::addColumn<double>("airFlow");
        QTest::addColumn<double>("fuelFlow");
        QTest::addColumn<double>("consumption");
        QTest::addColumn<QString>("mpgLabel");
        QTest::addColumn<QString>("mpg1");
        QTest::addColumn<QString>("labelFuel");

        // Kor stays at its default 75.
        QTest::newRow("MAP 3000 rpm, 50 kPa, 20 C, 60 km/h")
            << SettingsState::kMap << "2300" << 3000.0 << 50 << 20 << 0.0 << 60 << 25.6375
            << 7551.55 << 13.77 << "25.6"
            << "7.6"
            << "13.8";
        QTest::newRow("MAF 5 g/s, 30 C, 50 km/h") << SettingsState::kMaf << "2300" << 0.0 << 0 << 30
                                                  << 5.0 << 50 << 5.0 << 1487.48 << 3.25 << "5.0"
                                                  << "1.5"
                                                  << "3.3";
        QTest::newRow("MAF ignores a displacement that is no whole number")
            << SettingsState::kMaf << "2.3" << 0.0 << 0 << 30 << 5.0 << 50 << 5.0 << 1487.48 << 3.25
            << "5.0"
            << "1.5"
            << "3.3";
        QTest::newRow("MAF below 20 C takes fuel off by 0.001 per degree")
            << SettingsState::kMaf << "2300" << 0.0 << 0 << -10 << 5.0 << 50 << 5.0 << 1428.57
            << 3.13 << "5.0"
            << "1.4"
            << "3.1";
    }
    void airFlowFuelFlowAndFreshConsumptionFollowTheChosenMethod()
    {
        QFETCH(int, method);
        QFETCH(QString, vd);
        QFETCH(double, rpm);
        QFETCH(int, pressure);
        QFETCH(int, airTemp);
        QFETCH(double, mafAirFlow);
        QFETCH(int, speed);
        QFETCH(double, airFlow);
        QFETCH(double, fuelFlow);
        QFETCH(double, consumption);
        QFETCH(QString, mpgLabel);
        QFETCH(QString, mpg1);
        QFETCH(QString, labelFuel);

        Rig rig;
        rig.settings.setMapMaf(method);
        rig.settings.setVd(vd);
        rig.readings.engineSpeed = rpm;
        rig.readings.manifoldPressure = pressure;
        rig.readings.intakeAirTemperature = airTemp;
        rig.readings.airFlow = mafAirFlow;
        rig.readings.vehicleSpeed = speed;

        rig.model.UpdateFuelModel();

        QCOMPARE(rounded(rig.readings.airFlow, 4), airFlow);
        QCOMPARE(rounded(rig.readings.fuelFlow, 2), fuelFlow);
        QCOMPARE(rounded(rig.readings.instantConsumption, 2), consumption);
        QCOMPARE(rig.display.text(DisplayId::MPGLabel), mpgLabel);
        QCOMPARE(rig.display.text(DisplayId::MPG1), mpg1);
        QCOMPARE(rig.display.text(DisplayId::LabelFuel), labelFuel);
        // The gauges show what the labels say, not the unrounded figures.
        QCOMPARE(rig.display.value(DisplayId::GaugeAirMPG), mpgLabel.toDouble());
        QCOMPARE(rig.display.value(DisplayId::GaugeMPG1), mpg1.toDouble());
        QCOMPARE(rig.display.value(DisplayId::GaugeMPG),
                 FuelModel::ConsumptionToBar(rig.readings.instantConsumption));
        QCOMPARE(rig.errors.reportCount(), 0);
    }

    void fuelIsCountedOnlyForIntervalsBelow2400MsAndWhileMovingAbove2Kmh_data()
    {
        QTest::addColumn<quint32>("interval");
        QTest::addColumn<int>("speed");
        QTest::addColumn<double>("burnt");
        QTest::addColumn<double>("burntMoving");
        QTest::addColumn<QString>("labelTopl");
        QTest::addColumn<QString>("labelTopl2");

        // 7200 ml/h; the trip has used 1.5 l so far, 0.5 l of it while moving.
        QTest::newRow("500 ms at 3 km/h") << 500u << 3 << 0.001 << 0.001 << "1.50"
                                          << "1.5";
        QTest::newRow("500 ms at 2 km/h is not moving") << 500u << 2 << 0.001 << 0.0 << "1.50"
                                                        << "1.5";
        QTest::newRow("2399 ms still counts") << 2399u << 60 << 0.004798 << 0.004798 << "1.50"
                                              << "1.5";
        QTest::newRow("2400 ms counts nothing and leaves the labels")
            << 2400u << 60 << 0.0 << 0.0 << "0.00"
            << "0.0";
        QTest::newRow("first sample after the port opened: the whole tick count")
            << 5000000u << 60 << 0.0 << 0.0 << "0.00"
            << "0.0";
    }
    void fuelIsCountedOnlyForIntervalsBelow2400MsAndWhileMovingAbove2Kmh()
    {
        QFETCH(quint32, interval);
        QFETCH(int, speed);
        QFETCH(double, burnt);
        QFETCH(double, burntMoving);
        QFETCH(QString, labelTopl);
        QFETCH(QString, labelTopl2);

        Rig rig;
        rig.settings.setMapMaf(SettingsState::kMaf);
        rig.readings.airFlow = 24.444; // 7200 ml/h at 20 C
        rig.readings.vehicleSpeed = speed;
        rig.totals.sampleInterval = interval;
        rig.totals.fuelUsed = 1.5;
        rig.totals.fuelUsedMoving = 0.5;
        rig.totals.fuelInTank = 40;

        rig.model.UpdateFuelModel();

        QCOMPARE(rig.readings.fuelFlow, 7200.0);
        QCOMPARE(rig.totals.fuelUsed, 1.5 + burnt);
        QCOMPARE(rig.totals.fuelUsedMoving, 0.5 + burntMoving);
        QCOMPARE(rig.totals.fuelInTank, 40 - burnt);
        QCOMPARE(rig.display.text(DisplayId::LabelTopl), labelTopl);
        QCOMPARE(rig.display.text(DisplayId::LabelTopl2), labelTopl2);
    }

    void instantConsumptionIsARunningMeanShownOffScaleFrom100_data()
    {
        QTest::addColumn<double>("stored");
        QTest::addColumn<double>("fresh");
        QTest::addColumn<double>("mean");
        QTest::addColumn<QString>("labelFuel");
        QTest::addColumn<double>("bar");

        QTest::newRow("8 and 10") << 8.0 << 10.0 << 9.0 << "9.0" << 18.0;
        QTest::newRow("a stored 0 takes the fresh value") << 0.0 << 10.0 << 10.0 << "10.0" << 20.0;
        QTest::newRow("99.99 rounds up to 100.0") << 99.98 << 100.0 << 99.99 << "100.0" << 99.8943;
        QTest::newRow("100 is off the scale") << 0.0 << 100.0 << 100.0 << ">>>" << 99.9;
        QTest::newRow("above 100 the bar is full") << 0.0 << 150.0 << 150.0 << ">>>" << 100.0;
    }
    void instantConsumptionIsARunningMeanShownOffScaleFrom100()
    {
        QFETCH(double, stored);
        QFETCH(double, fresh);
        QFETCH(double, mean);
        QFETCH(QString, labelFuel);
        QFETCH(double, bar);

        Rig rig;
        rig.airFlowForConsumption(fresh);
        rig.readings.instantConsumption = stored;

        rig.model.UpdateFuelModel();

        QCOMPARE(rig.readings.instantConsumption, mean);
        QCOMPARE(rig.display.text(DisplayId::LabelFuel), labelFuel);
        QCOMPARE(rig.display.value(DisplayId::GaugeMPG), bar);
    }

    void standingShowsAFullBarAndKeepsTheStoredConsumption()
    {
        Rig rig;
        rig.airFlowForConsumption(10);
        rig.readings.vehicleSpeed = 0;
        rig.readings.instantConsumption = 8;

        rig.model.UpdateFuelModel();

        QCOMPARE(rig.readings.instantConsumption, 8.0);
        QCOMPARE(rig.display.text(DisplayId::LabelFuel), QStringLiteral(">>>"));
        QCOMPARE(rig.display.value(DisplayId::GaugeMPG), 100.0);
    }

    void consumptionToBarFillsSixtyPercentUpTo30AndTheRestUpTo100_data()
    {
        QTest::addColumn<double>("consumption");
        QTest::addColumn<double>("bar");
        QTest::newRow("0") << 0.0 << 0.0;
        QTest::newRow("10") << 10.0 << 20.0;
        QTest::newRow("30") << 30.0 << 60.0;
        QTest::newRow("40") << 40.0 << 65.7;
        QTest::newRow("100") << 100.0 << 99.9;
        QTest::newRow("beyond the scale is left to the bar") << 130.0 << 117.0;
    }
    void consumptionToBarFillsSixtyPercentUpTo30AndTheRestUpTo100()
    {
        QFETCH(double, consumption);
        QFETCH(double, bar);
        QCOMPARE(FuelModel::ConsumptionToBar(consumption), bar);
    }

    void averageConsumptionNeedsADistanceAndIsOffScaleFrom100_data()
    {
        QTest::addColumn<double>("distance");
        QTest::addColumn<double>("fuelUsed");
        QTest::addColumn<QString>("shown");

        QTest::newRow("no distance leaves both labels") << 0.0 << 0.6 << "untouched";
        QTest::newRow("0.6 l over 0.5 km") << 0.5 << 0.6 << ">>>";
        QTest::newRow("exactly 100") << 1.0 << 1.0 << ">>>";
        QTest::newRow("0.8 l over 10 km") << 10.0 << 0.8 << "8.0";
    }
    void averageConsumptionNeedsADistanceAndIsOffScaleFrom100()
    {
        QFETCH(double, distance);
        QFETCH(double, fuelUsed);
        QFETCH(QString, shown);

        Rig rig;
        rig.airFlowForConsumption(10);
        rig.totals.distance = distance;
        rig.totals.fuelUsed = fuelUsed;
        rig.display.setText(DisplayId::LabelRashod, QStringLiteral("untouched"));
        rig.display.setText(DisplayId::LabelRashod2, QStringLiteral("untouched"));

        rig.model.UpdateFuelModel();

        QCOMPARE(rig.display.text(DisplayId::LabelRashod), shown);
        QCOMPARE(rig.display.text(DisplayId::LabelRashod2), shown);
    }

    void aSummaryOnTheStatisticsPageIsLeftAloneWhileTheMainPageFollowsTheTrip_data()
    {
        QTest::addColumn<int>("filter");
        QTest::newRow("day") << 1;
        QTest::newRow("week") << 2;
        QTest::newRow("month") << 3;
    }
    void aSummaryOnTheStatisticsPageIsLeftAloneWhileTheMainPageFollowsTheTrip()
    {
        QFETCH(int, filter);
        Rig rig;
        rig.airFlowForConsumption(10);
        rig.totals.sampleInterval = 500;
        rig.totals.distance = 10;
        rig.totals.fuelUsed = 0.8;
        rig.display.setIndex(DisplayId::RadioGroup1, filter);
        rig.display.setText(DisplayId::LabelTopl2, QStringLiteral("12.3"));
        rig.display.setText(DisplayId::LabelRashod2, QStringLiteral("7.7"));

        rig.model.UpdateFuelModel();

        QCOMPARE(rig.display.text(DisplayId::LabelTopl), QStringLiteral("0.80"));
        QCOMPARE(rig.display.text(DisplayId::LabelRashod), QStringLiteral("8.0"));
        QCOMPARE(rig.display.text(DisplayId::LabelTopl2), QStringLiteral("12.3"));
        QCOMPARE(rig.display.text(DisplayId::LabelRashod2), QStringLiteral("7.7"));
    }

    void theTankEditShowsTheTankAtEveryPassWithinItsRange_data()
    {
        QTest::addColumn<quint32>("interval");
        QTest::addColumn<double>("tank");
        QTest::addColumn<QString>("editTank");
        QTest::newRow("nothing counted") << 2400u << 40.126 << "40.13";
        QTest::newRow("counted") << 500u << 40.0 << "40.00"; // 0.00095 l burnt
        QTest::newRow("below empty") << 2400u << -3.0 << "0.00";
        QTest::newRow("above the edit's range") << 2400u << 120.0 << "100.00";
    }
    void theTankEditShowsTheTankAtEveryPassWithinItsRange()
    {
        QFETCH(quint32, interval);
        QFETCH(double, tank);
        QFETCH(QString, editTank);
        Rig rig;
        rig.airFlowForConsumption(10);
        rig.totals.sampleInterval = interval;
        rig.totals.fuelInTank = tank;

        rig.model.UpdateFuelModel();

        QCOMPARE(rig.display.text(DisplayId::EditTank), editTank);
    }

    void aDisplacementThatIsNoWholeNumberStopsThePassAndIsReportedOnce_data()
    {
        QTest::addColumn<QString>("vd");
        QTest::addColumn<QString>("message");
        QTest::newRow("decimal") << "2.3"
                                 << "Engine displacement: '2.3' is not a valid integer value";
        QTest::newRow("empty") << ""
                               << "Engine displacement: '' is not a valid integer value";
        QTest::newRow("blank") << " 2300"
                               << "Engine displacement: ' 2300' is not a valid integer value";
    }
    void aDisplacementThatIsNoWholeNumberStopsThePassAndIsReportedOnce()
    {
        QFETCH(QString, vd);
        QFETCH(QString, message);

        Rig rig;
        rig.settings.setMapMaf(SettingsState::kMap);
        rig.settings.setVd(vd);
        rig.readings.engineSpeed = 3000;
        rig.readings.manifoldPressure = 50;
        rig.readings.vehicleSpeed = 60;
        rig.readings.airFlow = 4.0;
        rig.readings.fuelFlow = 1100;
        rig.readings.instantConsumption = 5;
        rig.totals.sampleInterval = 500;
        rig.totals.fuelUsed = 1;
        rig.totals.fuelInTank = 30;
        rig.totals.distance = 10;
        const QStringList before = rig.displaySnapshot();

        for (int pass = 0; pass < 20; ++pass)
            rig.model.UpdateFuelModel();

        QCOMPARE(rig.displaySnapshot(), before);
        QCOMPARE(rig.readings.airFlow, 4.0);
        QCOMPARE(rig.readings.fuelFlow, 1100.0);
        QCOMPARE(rig.readings.instantConsumption, 5.0);
        QCOMPARE(rig.totals.fuelUsed, 1.0);
        QCOMPARE(rig.totals.fuelInTank, 30.0);
        QCOMPARE(rig.errors.reportCount(), 1);
        QCOMPARE(rig.errors.shownMessages(), QStringList{message});

        // Corrected, the next pass counts again.
        rig.settings.setVd(QStringLiteral("2300"));
        rig.model.UpdateFuelModel();
        QCOMPARE(rounded(rig.readings.airFlow, 4), 25.6375);
        QCOMPARE(rig.display.text(DisplayId::MPGLabel), QStringLiteral("25.6"));
        QCOMPARE(rounded(rig.totals.fuelUsed, 6), 1.001049);
        QCOMPARE(rig.errors.reportCount(), 1);
    }

    void eachDistinctBadDisplacementIsReportedOnce()
    {
        Rig rig;
        rig.settings.setMapMaf(SettingsState::kMap);
        for (const char* text : {"2.3", "2.3", "abc", "2.3", "abc"}) {
            rig.settings.setVd(QString::fromLatin1(text));
            rig.model.UpdateFuelModel();
        }
        QCOMPARE(rig.errors.reportCount(), 2);
    }
};

QTEST_GUILESS_MAIN(TestFuelModel)
#include "test_fuel_model.moc"

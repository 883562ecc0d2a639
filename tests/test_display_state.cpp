#include "display/DisplayState.h"

#include <QSignalSpy>
#include <QTest>

#include <cmath>

class TestDisplayState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void gaugesStoreAndReadBackTheValueClampedToTheirScale_data()
    {
        QTest::addColumn<DisplayId>("id");
        QTest::addColumn<double>("set");
        QTest::addColumn<double>("readBack");
        QTest::newRow("rpm above scale") << DisplayId::GaugeRPM << 8000.0 << 7000.0;
        QTest::newRow("rpm inside") << DisplayId::GaugeRPM << 1726.5 << 1726.5;
        QTest::newRow("rpm below") << DisplayId::GaugeRPM << -5.0 << 0.0;
        QTest::newRow("tank bar above") << DisplayId::ProgressBarFuel << 130.0 << 100.0;
        QTest::newRow("voltage below") << DisplayId::GaugeNapr << 9.1 << 10.0;
        QTest::newRow("voltage inside") << DisplayId::GaugeNapr << 12.6 << 12.6;
        QTest::newRow("air flow above") << DisplayId::GaugeAirMPG << 51.0 << 50.0;
        QTest::newRow("fuel flow above") << DisplayId::GaugeMPG1 << 10.5 << 10.0;
        QTest::newRow("coolant at -40") << DisplayId::ThermometerEng << -40.0 << 0.0;
        QTest::newRow("nan takes the minimum") << DisplayId::GaugePressure << std::nan("") << 0.0;
    }
    void gaugesStoreAndReadBackTheValueClampedToTheirScale()
    {
        QFETCH(DisplayId, id);
        QFETCH(double, set);
        QFETCH(double, readBack);
        DisplayState d;
        d.setValue(id, set);
        QCOMPARE(d.value(id), readBack);
    }

    void theDialCaptionIsIndependentOfItsClampedValue()
    {
        DisplayState d;
        QCOMPARE(d.caption(DisplayId::GaugeRPM), QStringLiteral("0"));
        d.setValue(DisplayId::GaugeRPM, 8000);
        d.setCaption(DisplayId::GaugeRPM, QStringLiteral("8000"));
        QCOMPARE(d.value(DisplayId::GaugeRPM), 7000.0);
        QCOMPARE(d.caption(DisplayId::GaugeRPM), QStringLiteral("8000"));
    }

    void itemsStartAsDesigned()
    {
        DisplayState d;
        QCOMPARE(d.value(DisplayId::GaugeNapr), 10.0);
        QCOMPARE(d.value(DisplayId::GaugeMPG), 1.0);
        QCOMPARE(d.value(DisplayId::ThermometerEng), 1.0);
        QCOMPARE(d.value(DisplayId::ThermometerAirTemp), 0.0);
        QCOMPARE(d.text(DisplayId::LabelSpeedMaxOut), QStringLiteral("LabelSpeedSrOut"));
        QCOMPARE(d.text(DisplayId::Label3), QStringLiteral("       "));
        QCOMPARE(d.text(DisplayId::DistPred), QStringLiteral("--"));
        QCOMPARE(d.text(DisplayId::LabelRPM), QStringLiteral("LabelRPM"));
        QCOMPARE(d.text(DisplayId::Label13), QString::fromUtf8("Пробег, км"));
        QCOMPARE(d.text(DisplayId::EditTank), QStringLiteral("0.00"));
        QCOMPARE(d.index(DisplayId::sPageControl1), 0);
        QCOMPARE(d.index(DisplayId::RadioGroup1), 0);
        // The main page's place is highlighted, the other four show their normal picture.
        const DisplayId shown[] = {DisplayId::Image12, DisplayId::Image3, DisplayId::Image4,
                                   DisplayId::Image5, DisplayId::Image6};
        const DisplayId hidden[] = {DisplayId::Image7, DisplayId::Image8, DisplayId::Image9,
                                    DisplayId::Image10, DisplayId::Image11};
        for (DisplayId id : shown)
            QVERIFY2(d.isVisible(id), qPrintable(DisplayState::name(id)));
        for (DisplayId id : hidden)
            QVERIFY2(!d.isVisible(id), qPrintable(DisplayState::name(id)));
        for (DisplayId lamp : {DisplayId::ImagePort, DisplayId::ImageAdapter, DisplayId::ImageECU})
            QCOMPARE(d.isLit(lamp), false);
    }

    void namesAreUniqueAndFindTheirItem()
    {
        for (int i = 0; i < kDisplayItemCount; ++i) {
            const auto id = static_cast<DisplayId>(i);
            QCOMPARE(DisplayState::idFromName(DisplayState::name(id)), std::optional(id));
        }
        QCOMPARE(DisplayState::name(DisplayId::LabelSpeed), QStringLiteral("LabelSpeed"));
        QCOMPARE(DisplayState::idFromName(QStringLiteral("NoSuchLabel")), std::nullopt);
    }

    void changesAreSignalledOnlyWhenSomethingChanged()
    {
        DisplayState d;
        QSignalSpy spy(&d, &DisplayState::changed);
        d.setText(DisplayId::LabelSpeed, QStringLiteral("0")); // as it was
        d.setValue(DisplayId::GaugeRPM, 0);
        d.setValue(DisplayId::ProgressBarFuel, 100);
        d.setValue(DisplayId::ProgressBarFuel, 130); // clamps to the same 100
        d.setText(DisplayId::LabelSpeed, QStringLiteral("60"));
        d.setLit(DisplayId::ImageECU, true);
        d.setLit(DisplayId::ImageECU, true);
        QCOMPARE(spy.count(), 3);
        QCOMPARE(spy.at(0).at(0).value<DisplayId>(), DisplayId::ProgressBarFuel);
        QCOMPARE(spy.at(1).at(0).value<DisplayId>(), DisplayId::LabelSpeed);
        QCOMPARE(spy.at(2).at(0).value<DisplayId>(), DisplayId::ImageECU);
    }

    void theExportCarriersAreNeverVisible()
    {
        DisplayState d;
        d.setVisible(DisplayId::LabelSpeedSrOut, true);
        d.setVisible(DisplayId::LabelSpeedMaxOut, true);
        d.setText(DisplayId::LabelSpeedMaxOut, QStringLiteral("123"));
        QCOMPARE(d.isVisible(DisplayId::LabelSpeedSrOut), false);
        QCOMPARE(d.isVisible(DisplayId::LabelSpeedMaxOut), false);
    }

    void theTankEditHoldsZeroToHundredAndNotifiesOnlyWhenItsShownTextChanges_data()
    {
        QTest::addColumn<double>("start");
        QTest::addColumn<QString>("setText");
        QTest::addColumn<double>("setValue");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("notifications");
        const double none = std::nan("");
        QTest::newRow("95.5 + 10") << 95.5 << QString() << 105.5 << "100.00" << 100.0 << 1;
        QTest::newRow("5 - 10") << 5.0 << QString() << -5.0 << "0.00" << 0.0 << 1;
        QTest::newRow("text with two decimals") << 0.0 << "32.50" << none << "32.50" << 32.5 << 1;
        QTest::newRow("negative text") << 10.0 << "-3.00" << none << "0.00" << 0.0 << 1;
        QTest::newRow("same shown text") << 12.341 << QString() << 12.344 << "12.34" << 12.344 << 0;
        QTest::newRow("no number") << 12.0 << "abc" << none << "12.00" << 12.0 << 0;
        QTest::newRow("half away from zero") << 0.0 << QString() << 0.125 << "0.13" << 0.125 << 1;
    }
    void theTankEditHoldsZeroToHundredAndNotifiesOnlyWhenItsShownTextChanges()
    {
        QFETCH(double, start);
        QFETCH(QString, setText);
        QFETCH(double, setValue);
        QFETCH(QString, shown);
        QFETCH(double, value);
        QFETCH(int, notifications);
        DisplayState d;
        d.setTankValue(start);
        QSignalSpy spy(&d, &DisplayState::editTankChanged);
        if (!setText.isNull())
            d.setText(DisplayId::EditTank, setText);
        else
            d.setTankValue(setValue);
        QCOMPARE(d.text(DisplayId::EditTank), shown);
        QCOMPARE(d.tankValue(), value);
        QCOMPARE(spy.count(), notifications);
    }
};

QTEST_GUILESS_MAIN(TestDisplayState)
#include "test_display_state.moc"

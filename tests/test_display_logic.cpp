#include "display/DisplayState.h"
#include "display/Navigation.h"
#include "display/NeedleAnimation.h"

#include <QTest>

using Place = Navigation::Place;

class TestDisplayLogic : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachClickShowsItsPageAndHighlightsOnlyItsPlace_data()
    {
        QTest::addColumn<Place>("place");
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("hidden");
        auto l = [](std::initializer_list<const char*> names) {
            QStringList out;
            for (const char* n : names)
                out << QString::fromLatin1(n);
            return out;
        };
        QTest::newRow("Image7Click") << Place::Main << 0 << l({"Image12", "Image3", "Image4", "Image5", "Image6"})
                                     << l({"Image7", "Image8", "Image9", "Image10", "Image11"});
        QTest::newRow("Image6Click") << Place::Statistics << 2 << l({"Image11", "Image3", "Image4", "Image5", "Image7"})
                                     << l({"Image6", "Image8", "Image9", "Image10", "Image12"});
        QTest::newRow("Image5Click") << Place::Sensors << 1 << l({"Image10", "Image3", "Image4", "Image6", "Image7"})
                                     << l({"Image5", "Image8", "Image9", "Image11", "Image12"});
        QTest::newRow("Image4Click") << Place::Fuel << 4 << l({"Image9", "Image3", "Image5", "Image6", "Image7"})
                                     << l({"Image4", "Image8", "Image10", "Image11", "Image12"});
        QTest::newRow("Image3Click") << Place::Settings << 3 << l({"Image8", "Image4", "Image5", "Image6", "Image7"})
                                     << l({"Image3", "Image9", "Image10", "Image11", "Image12"});
    }
    void eachClickShowsItsPageAndHighlightsOnlyItsPlace()
    {
        QFETCH(Place, place);
        QFETCH(int, page);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, hidden);
        DisplayState d;
        Navigation nav(d);
        // From any other page first, so every picture has something to change.
        nav.click(place == Place::Fuel ? Place::Settings : Place::Fuel);
        nav.click(place);
        QCOMPARE(d.index(DisplayId::sPageControl1), page);
        for (const QString& name : shown)
            QVERIFY2(d.isVisible(*DisplayState::idFromName(name)), qPrintable(name));
        for (const QString& name : hidden)
            QVERIFY2(!d.isVisible(*DisplayState::idFromName(name)), qPrintable(name));
    }

    void clickingThePlaceAlreadyShownChangesNothing()
    {
        DisplayState d;
        Navigation nav(d);
        int changes = 0;
        connect(&d, &DisplayState::changed, [&] { ++changes; });
        nav.Image7Click();
        QCOMPARE(changes, 0);
    }

    void theNeedleStepsTowardsTheNewSpeed_data()
    {
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<QList<double>>("afterEachTick"); // empty: set at once, no timer
        QList<double> up;
        for (int i = 1; i <= 11; ++i)
            up << 800 + 200.0 * i;
        QTest::newRow("800 to 3000 in 11 steps") << 800.0 << 3000.0 << up;
        QTest::newRow("3000 to 2800 jumps") << 3000.0 << 2800.0 << QList<double>{};
        QTest::newRow("equal speeds") << 2000.0 << 2000.0 << QList<double>{};
        QTest::newRow("299 rpm is one step") << 1000.0 << 1299.0 << QList<double>{};
        QTest::newRow("500 rpm is two steps") << 1000.0 << 1500.0 << QList<double>{1250.0, 1500.0};
        QTest::newRow("the dial clamps") << 6000.0 << 8000.0
                                         << QList<double>{6200, 6400, 6600, 6800, 7000, 7000, 7000, 7000, 7000, 7000};
    }
    void theNeedleStepsTowardsTheNewSpeed()
    {
        QFETCH(double, from);
        QFETCH(double, to);
        QFETCH(QList<double>, afterEachTick);
        DisplayState d;
        NeedleAnimation needle(d);
        needle.start(from, to);
        if (afterEachTick.isEmpty()) {
            QCOMPARE(needle.timer().isActive(), false);
            QCOMPARE(d.value(DisplayId::GaugeRPM), qMin(to, 7000.0));
            return;
        }
        QCOMPARE(needle.timer().isActive(), true);
        for (int i = 0; i < afterEachTick.size(); ++i) {
            QCOMPARE(needle.timer().isActive(), true);
            needle.step();
            QCOMPARE(d.value(DisplayId::GaugeRPM), afterEachTick[i]);
        }
        QCOMPARE(needle.timer().isActive(), false);
    }

    void aNewSpeedDuringAnAnimationRestartsFromThePreviousStoredSpeed()
    {
        DisplayState d;
        NeedleAnimation needle(d);
        needle.start(800, 3000);
        needle.step();
        needle.step(); // the needle stands at 1200
        needle.start(3000, 2000); // 5 steps from 3000, not from 1200
        needle.step();
        QCOMPARE(d.value(DisplayId::GaugeRPM), 2800.0);
        // A jump during the animation leaves the timer running with nothing to do...
        needle.start(2000, 2100);
        QCOMPARE(d.value(DisplayId::GaugeRPM), 2100.0);
        QCOMPARE(needle.timer().isActive(), true);
        needle.step();
        QCOMPARE(d.value(DisplayId::GaugeRPM), 2100.0);
        // ...and a gauge set from elsewhere does not stop a running one.
        needle.start(2100, 3100);
        d.setValue(DisplayId::GaugeRPM, 0);
        for (int i = 0; i < 5; ++i)
            needle.step();
        QCOMPARE(d.value(DisplayId::GaugeRPM), 3100.0);
        QCOMPARE(needle.timer().isActive(), false);
    }
};

QTEST_GUILESS_MAIN(TestDisplayLogic)
#include "test_display_logic.moc"

// The painted instruments: clamping and signals, the colour and band rules, pixel checks of
// what each one shows, a stale-face check, and comparisons with reference renders.
//
// The reference renders leave all text out (numbers off, no caption), so that they do not
// depend on the fonts of the machine. TACHORA_UPDATE_REFERENCES=1 rewrites them in the source
// tree; look at them before committing.
#include "ui/instruments/AngularGauge.h"
#include "ui/instruments/ColorBand.h"
#include "ui/instruments/ColorStop.h"
#include "ui/instruments/LinearGauge.h"
#include "ui/instruments/SegmentedBar.h"
#include "ui/instruments/Thermometer.h"

#include <QDir>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <limits>
#include <memory>

Q_DECLARE_METATYPE(BandSpan)

namespace {

constexpr double kPi = 3.14159265358979323846;

const QColor kLime = QColor::fromRgba(0xFF00FF00);
const QColor kOrange = QColor::fromRgba(0xFFFFA500);
const QColor kRed = QColor::fromRgba(0xFFFF0000);
const QColor kDarkOrange = QColor::fromRgba(0xFFFF8C00);
const QColor kForestGreen = QColor::fromRgba(0xFF228B22);
const QColor kGreen = QColor::fromRgba(0xFF008000);

const QList<ColorStop> kConsumptionStops{
    {0.25, kLime, false}, {0.9, kOrange, false}, {1.0, kRed, false}};
const QList<ColorStop> kFuelStops{
    {0.1, kRed, false}, {0.1, kDarkOrange, true}, {0.97, kForestGreen, false}};

// The instruments as the window sets them up, text left out for the references.
std::unique_ptr<InstrumentWidget> make(const QString& kind, bool withText = true)
{
    if (kind == QLatin1String("dial")) {
        auto dial = std::make_unique<AngularGauge>();
        dial->setNumbersVisible(withText);
        if (!withText)
            dial->setCaption(QString());
        return dial;
    }
    if (kind == QLatin1String("thermometer")) {
        auto thermometer = std::make_unique<Thermometer>();
        thermometer->setNumbersVisible(withText);
        return thermometer;
    }
    if (kind == QLatin1String("bar"))
        return std::make_unique<SegmentedBar>();
    if (kind == QLatin1String("tank")) {
        auto bar = std::make_unique<SegmentedBar>();
        bar->setColorStops(kFuelStops);
        return bar;
    }
    if (kind == QLatin1String("linear")) {
        auto gauge = std::make_unique<LinearGauge>();
        gauge->setNumbersVisible(withText);
        return gauge;
    }
    qFatal("unknown instrument kind %s", qPrintable(kind));
}

QSize designedSize(const QString& kind)
{
    if (kind == QLatin1String("dial"))
        return AngularGauge::kDesignedSize;
    if (kind == QLatin1String("thermometer"))
        return Thermometer::kDesignedSize;
    if (kind == QLatin1String("linear"))
        return LinearGauge::kDesignedSize;
    return SegmentedBar::kDesignedSize;
}

QImage shot(QWidget& widget, const QSize& size)
{
    widget.resize(size);
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage shot(QWidget& widget)
{
    return shot(widget, widget.size());
}

bool isBlack(QRgb pixel)
{
    return qRed(pixel) < 12 && qGreen(pixel) < 12 && qBlue(pixel) < 12;
}

// The orange-red of the needle and the pointer, lit or shaded, and nothing else on the faces.
bool isNeedle(QRgb pixel)
{
    return qRed(pixel) > 170 && qGreen(pixel) < 150 && qBlue(pixel) < 100 &&
           qRed(pixel) - qGreen(pixel) > 80;
}

bool closeTo(const QColor& actual, const QColor& expected, int tolerance)
{
    const QColor a = actual.toRgb();
    const QColor e = expected.toRgb();
    return std::abs(a.red() - e.red()) <= tolerance &&
           std::abs(a.green() - e.green()) <= tolerance &&
           std::abs(a.blue() - e.blue()) <= tolerance;
}

// Hue distance in degrees, round the wheel.
int hueDistance(int a, int b)
{
    const int d = std::abs(a - b) % 360;
    return std::min(d, 360 - d);
}

// The centre rows of the runs of pixels down column x that match.
template <typename Match> QList<double> runsDown(const QImage& image, int x, Match match)
{
    QList<double> centres;
    int start = -1;
    for (int y = 0; y <= image.height(); ++y) {
        const bool hit = y < image.height() && match(image.pixel(x, y));
        if (hit && start < 0)
            start = y;
        if (!hit && start >= 0) {
            centres.append((start + y - 1) / 2.0);
            start = -1;
        }
    }
    return centres;
}

// The topmost row in which two renders differ within columns [left, right), or -1.
int topmostDifference(const QImage& a, const QImage& b, int left, int right)
{
    for (int y = 0; y < a.height(); ++y) {
        for (int x = left; x < right; ++x) {
            if (a.pixel(x, y) != b.pixel(x, y))
                return y;
        }
    }
    return -1;
}

} // namespace

class TestInstruments : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void valueIsClampedToTheScaleAndReadBackClamped_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<double>("set");
        QTest::addColumn<double>("expected");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("engine speed above the scale")
            << "dial" << 0.0 << 7000.0 << 8000.0 << 7000.0;
        QTest::newRow("engine speed below the scale") << "dial" << 0.0 << 7000.0 << -1.0 << 0.0;
        QTest::newRow("engine speed inside") << "dial" << 0.0 << 7000.0 << 3456.5 << 3456.5;
        QTest::newRow("tank above full") << "tank" << 0.0 << 100.0 << 130.0 << 100.0;
        QTest::newRow("tank below empty") << "tank" << 0.0 << 100.0 << -5.0 << 0.0;
        QTest::newRow("consumption at the top") << "bar" << 0.0 << 100.0 << 100.0 << 100.0;
        QTest::newRow("voltage below 10 V") << "linear" << 10.0 << 15.0 << 9.0 << 10.0;
        QTest::newRow("voltage above 15 V") << "linear" << 10.0 << 15.0 << 15.5 << 15.0;
        QTest::newRow("voltage inside") << "linear" << 10.0 << 15.0 << 12.6 << 12.6;
        QTest::newRow("air flow above 50 g/s") << "linear" << 0.0 << 50.0 << 75.0 << 50.0;
        QTest::newRow("coolant below 0") << "thermometer" << 0.0 << 120.0 << -40.0 << 0.0;
        QTest::newRow("coolant above 120") << "thermometer" << 0.0 << 120.0 << 130.0 << 120.0;
        QTest::newRow("NaN stores the minimum") << "linear" << 10.0 << 15.0 << nan << 10.0;
        QTest::newRow("infinity stores the maximum") << "bar" << 0.0 << 100.0 << inf << 100.0;
        QTest::newRow("minus infinity the minimum") << "dial" << 0.0 << 7000.0 << -inf << 0.0;
    }
    void valueIsClampedToTheScaleAndReadBackClamped()
    {
        QFETCH(QString, kind);
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(double, set);
        QFETCH(double, expected);
        const auto instrument = make(kind);
        instrument->setRange(minimum, maximum);
        instrument->setValue(set);
        QCOMPARE(instrument->value(), expected);
    }

    void aNewRangeReclampsTheValueAndKeepsItsBoundsInOrder()
    {
        LinearGauge gauge; // starts at 0 on 0..100
        QSignalSpy values(&gauge, &InstrumentWidget::valueChanged);
        QSignalSpy ranges(&gauge, &InstrumentWidget::rangeChanged);

        gauge.setRange(15, 10); // the voltage gauge, given the wrong way round
        QCOMPARE(gauge.minimum(), 10.0);
        QCOMPARE(gauge.maximum(), 15.0);
        QCOMPARE(gauge.value(), 10.0);
        QCOMPARE(values.count(), 1);
        QCOMPARE(ranges.count(), 1);

        gauge.setRange(std::numeric_limits<double>::quiet_NaN(), 20);
        gauge.setRange(10, std::numeric_limits<double>::infinity());
        QCOMPARE(gauge.minimum(), 10.0);
        QCOMPARE(gauge.maximum(), 15.0);

        gauge.setMaximum(5); // below the minimum: the range collapses onto it
        QCOMPARE(gauge.minimum(), 5.0);
        QCOMPARE(gauge.maximum(), 5.0);
        QCOMPARE(gauge.value(), 5.0);
        QCOMPARE(ranges.count(), 2);
    }

    void settersSignalOnlyOnARealChange()
    {
        AngularGauge dial;
        QSignalSpy values(&dial, &InstrumentWidget::valueChanged);
        QSignalSpy captions(&dial, &AngularGauge::captionChanged);
        QSignalSpy looks(&dial, &InstrumentWidget::appearanceChanged);

        dial.setValue(8000);
        dial.setValue(9000); // clamps to the same 7000
        dial.setValue(7000);
        QCOMPARE(values.count(), 1);
        QCOMPARE(values.at(0).at(0).toDouble(), 7000.0);

        dial.setCaption(QStringLiteral("0")); // the initial caption
        QCOMPARE(captions.count(), 0);
        dial.setCaption(QStringLiteral("8000"));
        dial.setCaption(QStringLiteral("8000"));
        QCOMPARE(captions.count(), 1);

        dial.setBands(dial.bands());
        dial.setNeedleColor(dial.needleColor());
        dial.setNumberFont(dial.numberFont());
        dial.setRange(0, 7000);
        QCOMPARE(looks.count(), 0);
        dial.setBands({{kRed, 1.0}});
        dial.setNeedleColor(Qt::white);
        QCOMPARE(looks.count(), 2);
    }

    void dialCaptionIsIndependentOfTheValue()
    {
        AngularGauge dial;
        dial.setNumbersVisible(false);
        dial.resize(AngularGauge::kDesignedSize);
        dial.setValue(8000);
        dial.setCaption(QStringLiteral("8000"));
        QCOMPARE(dial.value(), 7000.0);
        QCOMPARE(dial.caption(), QStringLiteral("8000"));
        const QImage over = shot(dial);

        dial.setValue(7000);
        QCOMPARE(shot(dial), over); // the needle stands at 7000 either way
        dial.setValue(1234);
        QCOMPARE(dial.caption(), QStringLiteral("8000"));

        // The caption is drawn, centred under the hub and nowhere else.
        dial.setValue(7000);
        dial.setCaption(QString());
        const QImage bare = shot(dial);
        const double radius = dial.width() / 2.0;
        int left = dial.width(), right = -1, differing = 0;
        for (int y = 0; y < bare.height(); ++y) {
            for (int x = 0; x < bare.width(); ++x) {
                if (bare.pixel(x, y) == over.pixel(x, y))
                    continue;
                ++differing;
                QVERIFY2(y > radius * 1.45,
                         qPrintable(QStringLiteral("caption pixel at %1,%2").arg(x).arg(y)));
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
        QVERIFY(differing > 100);
        QVERIFY(std::abs((left + right) / 2.0 - radius) <= 2);
    }

    void scaleLabelsShowEveryTickWithTheFewestDecimals_data()
    {
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("engine speed")
            << 0.0 << 7000.0 << 8
            << QStringList{"0", "1000", "2000", "3000", "4000", "5000", "6000", "7000"};
        QTest::newRow("voltage") << 10.0 << 15.0 << 6
                                 << QStringList{"10", "11", "12", "13", "14", "15"};
        QTest::newRow("fuel flow")
            << 0.0 << 10.0 << 6 << QStringList{"0", "2", "4", "6", "8", "10"};
        QTest::newRow("tenths") << 0.0 << 1.0 << 6
                                << QStringList{"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"};
        // 0.1 * 3 is 0.30000000000000004 in binary.
        QTest::newRow("binary noise") << 0.0 << 0.3 << 4 << QStringList{"0.0", "0.1", "0.2", "0.3"};
        QTest::newRow("no minus zero") << -0.3 << 0.3 << 3 << QStringList{"-0.3", "0.0", "0.3"};
        QTest::newRow("thirds stop at three decimals")
            << 0.0 << 1.0 << 4 << QStringList{"0.000", "0.333", "0.667", "1.000"};
        QTest::newRow("one tick") << 5.0 << 9.0 << 1 << QStringList{"5"};
        QTest::newRow("none") << 0.0 << 1.0 << 0 << QStringList{};
    }
    void scaleLabelsShowEveryTickWithTheFewestDecimals()
    {
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(int, count);
        QFETCH(QStringList, expected);
        QCOMPARE(InstrumentWidget::scaleLabels(minimum, maximum, count), expected);
    }

    void bandsAreLaidEndToEndAndCutAtTheMaximum_data()
    {
        QTest::addColumn<QList<ColorBand>>("bands");
        QTest::addColumn<QList<BandSpan>>("expected");
        const QColor blue = QColor::fromRgba(0xFF0000FF);
        const QColor spring = QColor::fromRgba(0xFF00FF7F);
        QTest::newRow("engine speed: red cut at the end")
            << QList<ColorBand>{{kGreen, 0.85}, {kRed, 0.3}}
            << QList<BandSpan>{{0, 0.85, kGreen}, {0.85, 1, kRed}};
        QTest::newRow("coolant: three bands fill the scale")
            << QList<ColorBand>{{blue, 0.5}, {spring, 0.27}, {kRed, 0.23}}
            << QList<BandSpan>{{0, 0.5, blue}, {0.5, 0.77, spring}, {0.77, 1, kRed}};
        QTest::newRow("a long first band leaves no room")
            << QList<ColorBand>{{blue, 1.2}, {kRed, 0.3}} << QList<BandSpan>{{0, 1, blue}};
        QTest::newRow("empty and negative bands take no room")
            << QList<ColorBand>{{blue, 0}, {spring, -0.2}, {kRed, 0.5}}
            << QList<BandSpan>{{0, 0.5, kRed}};
        QTest::newRow("short bands leave the rest bare")
            << QList<ColorBand>{{blue, 0.3}} << QList<BandSpan>{{0, 0.3, blue}};
        QTest::newRow("no bands") << QList<ColorBand>{} << QList<BandSpan>{};
    }
    void bandsAreLaidEndToEndAndCutAtTheMaximum()
    {
        QFETCH(QList<ColorBand>, bands);
        QFETCH(QList<BandSpan>, expected);
        const QList<BandSpan> spans = layOutBands(bands);
        QCOMPARE(spans.size(), expected.size());
        for (qsizetype i = 0; i < spans.size(); ++i) {
            QCOMPARE(spans[i].from, expected[i].from);
            QVERIFY(qFuzzyCompare(spans[i].to, expected[i].to));
            QCOMPARE(spans[i].color, expected[i].color);
        }
    }

    void colourStopsHoldTheirColourOverTheirStretch_data()
    {
        QTest::addColumn<QList<ColorStop>>("stops");
        QTest::addColumn<double>("blend");
        QTest::addColumn<double>("fraction");
        QTest::addColumn<QColor>("expected");
        const auto row = [](const char* name, const QList<ColorStop>& stops, double blend,
                            double fraction, const QColor& expected) {
            QTest::newRow(name) << stops << blend << fraction << expected;
        };
        const QList<ColorStop>& c = kConsumptionStops;
        const QList<ColorStop>& f = kFuelStops;
        row("consumption: lime at the bottom", c, 0.1, 0, kLime);
        row("consumption: lime up to the blend", c, 0.1, 0.2, kLime);
        row("consumption: orange after it", c, 0.1, 0.3, kOrange);
        row("consumption: orange to 0.85", c, 0.1, 0.85, kOrange);
        row("consumption: red from 0.95", c, 0.1, 0.95, kRed);
        row("consumption: red at the top", c, 0.1, 1, kRed);
        row("consumption without blend: lime to 0.25", c, 0, 0.25, kLime);
        row("consumption without blend: orange past it", c, 0, 0.2501, kOrange);
        row("tank: red at the bottom", f, 0.1, 0, kRed);
        row("tank: red up to 0.1", f, 0.1, 0.1, kRed);
        row("tank: dark orange sharply past 0.1", f, 0.1, 0.1001, kDarkOrange);
        row("tank: dark orange holds", f, 0.1, 0.15, kDarkOrange);
        row("tank: green from 0.25", f, 0.1, 0.25, kForestGreen);
        row("tank: green at half", f, 0.1, 0.5, kForestGreen);
        row("tank: the last colour goes on to the top", f, 0.1, 1, kForestGreen);
        row("below the scale takes the first colour", c, 0.1, -0.5, kLime);
        row("one stop colours everything", QList<ColorStop>{{0.5, kRed, false}}, 0.1, 0.9, kRed);
    }
    void colourStopsHoldTheirColourOverTheirStretch()
    {
        QFETCH(QList<ColorStop>, stops);
        QFETCH(double, blend);
        QFETCH(double, fraction);
        QFETCH(QColor, expected);
        const QColor actual = colorAtFraction(stops, fraction, blend);
        QVERIFY2(closeTo(actual, expected, 1), qPrintable(actual.name()));
    }

    void colourStopsBlendRoundTheColourWheel()
    {
        // From lime to orange through yellow: the hue falls steadily and the colour stays as
        // bright and saturated as its ends, never muddy as a straight RGB mix would be.
        int previousHue = 121;
        for (int i = 0; i <= 20; ++i) {
            const double fraction = 0.2 + i * 0.005;
            const QColor color = colorAtFraction(kConsumptionStops, fraction, 0.1).toHsv();
            QVERIFY2(color.hsvHue() <= previousHue, qPrintable(QString::number(fraction)));
            QVERIFY(color.saturationF() > 0.95f);
            QVERIFY(color.valueF() > 0.95f);
            previousHue = color.hsvHue();
        }
        QCOMPARE(previousHue, kOrange.hsvHue());
        QVERIFY(!colorAtFraction({}, 0.5, 0.1).isValid());
    }

    void rendersLikeItsReference_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<double>("value");
        QTest::newRow("dial-2500") << "dial" << 0.0 << 7000.0 << 2500.0;
        QTest::newRow("thermometer-85") << "thermometer" << 0.0 << 120.0 << 85.0;
        QTest::newRow("bar-consumption-60") << "bar" << 0.0 << 100.0 << 60.0;
        QTest::newRow("bar-tank-35") << "tank" << 0.0 << 100.0 << 35.0;
        QTest::newRow("linear-voltage-12.6") << "linear" << 10.0 << 15.0 << 12.6;
    }
    void rendersLikeItsReference()
    {
        QFETCH(QString, kind);
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(double, value);
        const auto instrument = make(kind, false);
        instrument->setRange(minimum, maximum);
        instrument->setValue(value);
        const QImage actual = shot(*instrument, designedSize(kind));

        const QString name = QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".png");
        const QString directory = QFINDTESTDATA("data/instruments");
        QVERIFY2(!directory.isEmpty(), "tests/data/instruments not found");
        const QString path = QDir(directory).filePath(name);
        if (qEnvironmentVariableIntValue("TACHORA_UPDATE_REFERENCES") == 1) {
            QVERIFY(actual.save(path));
            QSKIP(qPrintable(QStringLiteral("reference written: ") + path));
        }
        QImage expected(path);
        QVERIFY2(
            !expected.isNull(),
            qPrintable(path + QStringLiteral(" missing: run with TACHORA_UPDATE_REFERENCES=1")));
        expected = expected.convertToFormat(QImage::Format_RGB32);
        QCOMPARE(actual.size(), expected.size());

        // Antialiasing may differ in the last bits between builds; a broken painter changes
        // whole shapes.
        constexpr int kChannelTolerance = 24;
        constexpr double kMaxDifferingShare = 0.005;
        int differing = 0;
        for (int y = 0; y < actual.height(); ++y) {
            for (int x = 0; x < actual.width(); ++x) {
                const QRgb a = actual.pixel(x, y);
                const QRgb e = expected.pixel(x, y);
                if (std::abs(qRed(a) - qRed(e)) > kChannelTolerance ||
                    std::abs(qGreen(a) - qGreen(e)) > kChannelTolerance ||
                    std::abs(qBlue(a) - qBlue(e)) > kChannelTolerance)
                    ++differing;
            }
        }
        const double share = double(differing) / (actual.width() * actual.height());
        if (share > kMaxDifferingShare) {
            const QString saved = QDir::temp().filePath(QStringLiteral("actual-") + name);
            actual.save(saved);
            QFAIL(qPrintable(QStringLiteral("%1 % of the pixels differ; the render is in %2")
                                 .arg(share * 100, 0, 'f', 2)
                                 .arg(saved)));
        }
    }

    void dialNeedlePointsAtItsValueWithTheTailOpposite_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("degrees"); // clockwise from twelve o'clock
        QTest::newRow("0 lower left") << 0.0 << -135.0;
        QTest::newRow("3500 straight up") << 3500.0 << 0.0;
        QTest::newRow("7000 lower right") << 7000.0 << 135.0;
        QTest::newRow("8000 held at 7000") << 8000.0 << 135.0;
        QTest::newRow("1000 left of nine o'clock") << 1000.0 << -135.0 + 270.0 / 7;
    }
    void dialNeedlePointsAtItsValueWithTheTailOpposite()
    {
        QFETCH(double, value);
        QFETCH(double, degrees);
        AngularGauge dial;
        dial.setNumbersVisible(false);
        dial.setCaption(QString());
        dial.setValue(value);
        const QImage image = shot(dial, AngularGauge::kDesignedSize);
        const double radius = image.width() / 2.0;
        const auto at = [&](double fraction, double angle) {
            const double a = angle * kPi / 180;
            return image.pixel(int(radius + fraction * radius * std::sin(a)),
                               int(radius - fraction * radius * std::cos(a)));
        };
        QVERIFY(isNeedle(at(0.55, degrees)));
        QVERIFY(isNeedle(at(0.3, degrees + 180)));
        for (const double elsewhere : {-135.0, -67.5, 0.0, 67.5, 135.0}) {
            if (std::abs(elsewhere - degrees) > 20)
                QVERIFY2(!isNeedle(at(0.55, elsewhere)), qPrintable(QString::number(elsewhere)));
        }
    }

    void dialBandsColourTheirStretchOfTheScale()
    {
        AngularGauge dial;
        dial.setNumbersVisible(false);
        const QImage image = shot(dial, AngularGauge::kDesignedSize);
        const double radius = image.width() / 2.0;
        const double bandRadius = (0.9 + 0.01 + 0.025) * radius;
        const auto atRpm = [&](double rpm) {
            const double a = (-135 + 270 * rpm / 7000) * kPi / 180;
            return QColor(image.pixel(int(radius + bandRadius * std::sin(a)),
                                      int(radius - bandRadius * std::cos(a))));
        };
        for (const double rpm : {100.0, 3000.0, 5800.0})
            QVERIFY2(closeTo(atRpm(rpm), kGreen, 8), qPrintable(QString::number(rpm)));
        for (const double rpm : {6100.0, 6900.0})
            QVERIFY2(closeTo(atRpm(rpm), kRed, 8), qPrintable(QString::number(rpm)));
        QVERIFY(closeTo(atRpm(-300), QColor::fromRgba(AngularGauge::kCardColor), 0)); // the gap
    }

    void barLightsBlocksFromTheBottomUpToTheValue_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("litBelow");  // every block centred below this share is lit
        QTest::addColumn<double>("darkAbove"); // every block centred above this share is dark
        QTest::newRow("empty") << 0.0 << 0.0 << 0.0;
        QTest::newRow("1 % still lights the lowest block") << 1.0 << 0.03 << 0.05;
        QTest::newRow("half") << 50.0 << 0.5 << 0.55;
        QTest::newRow("full") << 100.0 << 1.0 << 1.0;
        QTest::newRow("over full") << 130.0 << 1.0 << 1.0;
    }
    void barLightsBlocksFromTheBottomUpToTheValue()
    {
        QFETCH(double, value);
        QFETCH(double, litBelow);
        QFETCH(double, darkAbove);
        SegmentedBar bar;
        bar.setValue(value);
        const QImage image = shot(bar, SegmentedBar::kDesignedSize);
        QVERIFY(bar.blockCount() >= 20);
        int lit = 0;
        for (int i = 0; i < bar.blockCount(); ++i) {
            const QRectF block = bar.blockRect(i);
            const QRgb pixel = image.pixel(int(block.center().x()), int(block.center().y()));
            const double share = 1 - block.center().y() / image.height();
            if (share < litBelow)
                QVERIFY2(!isBlack(pixel), qPrintable(QStringLiteral("block %1").arg(i)));
            if (share > darkAbove)
                QVERIFY2(isBlack(pixel), qPrintable(QStringLiteral("block %1").arg(i)));
            lit += isBlack(pixel) ? 0 : 1;
        }
        QCOMPARE(lit, bar.litBlockCount());
    }

    void fullBarsShowTheColoursOfTheirStops_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<double>("height"); // share of the bar's height, from the bottom
        QTest::addColumn<int>("hue");
        QTest::newRow("consumption: lime at the bottom") << "bar" << 0.02 << kLime.hsvHue();
        QTest::newRow("consumption: orange at half") << "bar" << 0.5 << kOrange.hsvHue();
        QTest::newRow("consumption: red at the top") << "bar" << 0.98 << kRed.hsvHue();
        QTest::newRow("tank: red at the bottom") << "tank" << 0.02 << kRed.hsvHue();
        QTest::newRow("tank: dark orange over 10 %") << "tank" << 0.13 << kDarkOrange.hsvHue();
        QTest::newRow("tank: green at half") << "tank" << 0.5 << kForestGreen.hsvHue();
        QTest::newRow("tank: green at the top") << "tank" << 0.98 << kForestGreen.hsvHue();
    }
    void fullBarsShowTheColoursOfTheirStops()
    {
        QFETCH(QString, kind);
        QFETCH(double, height);
        QFETCH(int, hue);
        const auto bar = make(kind);
        bar->setValue(100);
        const QImage image = shot(*bar, SegmentedBar::kDesignedSize);
        const auto* segmented = static_cast<SegmentedBar*>(bar.get());
        // The middle of the block nearest that height, where the metal shading is lightest.
        const double y = image.height() * (1 - height);
        QRectF block = segmented->blockRect(0);
        for (int i = 0; i < segmented->blockCount(); ++i) {
            if (std::abs(segmented->blockRect(i).center().y() - y) <
                std::abs(block.center().y() - y))
                block = segmented->blockRect(i);
        }
        const QColor color(image.pixel(int(block.center().x()), int(block.center().y())));
        QVERIFY2(color.hsvSaturation() > 150, qPrintable(color.name()));
        QVERIFY2(hueDistance(color.hsvHue(), hue) <= 8, qPrintable(color.name()));
    }

    void thermometerColumnRisesToTheTickOfItsValue()
    {
        Thermometer thermometer;
        const QSize size = Thermometer::kDesignedSize;
        thermometer.setValue(0);
        const QImage empty = shot(thermometer, size);
        // Between the tips of the minor and the major ticks only the major ticks cross.
        const QList<double> majors = runsDown(empty, int(0.63 * size.width()), [](QRgb p) {
            return qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) > 200;
        });
        QCOMPARE(majors.size(), 5); // 0, 30, 60, 90, 120 from the top down: 120 first

        const int tubeSide = size.width() / 2; // the tube stands left of the middle
        QList<int> tops;
        for (const double value : {30.0, 60.0, 90.0, 120.0}) {
            thermometer.setValue(value);
            const int top = topmostDifference(shot(thermometer, size), empty, 0, tubeSide);
            QVERIFY(top >= 0);
            tops.append(top);
        }
        for (int i = 0; i < 4; ++i)
            QVERIFY2(std::abs(tops[i] - majors[3 - i]) <= 1.5,
                     qPrintable(
                         QStringLiteral("column top %1, tick %2").arg(tops[i]).arg(majors[3 - i])));

        thermometer.setValue(-40);
        QCOMPARE(shot(thermometer, size), empty);
    }

    void linearPointerStandsAtTheTickOfItsValue_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("tick"); // major tick from the bottom
        QTest::newRow("9 V pinned at the bottom") << 9.0 << 0;
        QTest::newRow("10 V") << 10.0 << 0;
        QTest::newRow("12 V") << 12.0 << 2;
        QTest::newRow("15 V") << 15.0 << 5;
        QTest::newRow("16 V pinned at the top") << 16.0 << 5;
    }
    void linearPointerStandsAtTheTickOfItsValue()
    {
        QFETCH(double, value);
        QFETCH(int, tick);
        LinearGauge gauge;
        gauge.setNumbersVisible(false);
        gauge.setRange(10, 15);
        gauge.setValue(value);
        const QSize size = LinearGauge::kDesignedSize;
        const QImage image = shot(gauge, size);
        // Past the pointer's tip and the minor ticks, only the major ticks cross.
        const QList<double> majors = runsDown(image, int(0.5 * size.width()), [](QRgb p) {
            return qRed(p) > 180 && qBlue(p) > 180 && qGreen(p) > 150;
        });
        QCOMPARE(majors.size(), 6);
        // Across the arrowhead, clear of the forked tail.
        const QList<double> pointer = runsDown(image, int(0.3 * size.width()), isNeedle);
        QCOMPARE(pointer.size(), 1);
        QVERIFY2(std::abs(pointer[0] - majors[5 - tick]) <= 1.5,
                 qPrintable(
                     QStringLiteral("pointer %1, tick %2").arg(pointer[0]).arg(majors[5 - tick])));
    }

    void numbersAppearOnTheFaceWhenVisible_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("dial") << "dial";
        QTest::newRow("thermometer") << "thermometer";
        QTest::newRow("linear") << "linear";
    }
    void numbersAppearOnTheFaceWhenVisible()
    {
        QFETCH(QString, kind);
        const auto with = make(kind, true);
        const auto without = make(kind, false);
        if (auto* dial = qobject_cast<AngularGauge*>(with.get()))
            dial->setCaption(QString());
        const QImage a = shot(*with, designedSize(kind));
        const QImage b = shot(*without, designedSize(kind));
        int differing = 0;
        for (int y = 0; y < a.height(); ++y) {
            for (int x = 0; x < a.width(); ++x)
                differing += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
        }
        QVERIFY2(differing > 150, qPrintable(QString::number(differing)));
    }

    // A face kept from before a change would show the old scale: every change must give what a
    // new instrument made with that setting shows.
    void faceFollowsEverySettingAndSizeChange_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("change");
        QTest::newRow("dial bands") << "dial"
                                    << "bands";
        QTest::newRow("dial range") << "dial"
                                    << "range";
        QTest::newRow("dial numbers") << "dial"
                                      << "numbers";
        QTest::newRow("dial hub") << "dial"
                                  << "hub";
        QTest::newRow("dial size") << "dial"
                                   << "size";
        QTest::newRow("thermometer bands") << "thermometer"
                                           << "bands";
        QTest::newRow("thermometer column") << "thermometer"
                                            << "column";
        QTest::newRow("bar stops") << "bar"
                                   << "stops";
        QTest::newRow("bar frame") << "bar"
                                   << "frame";
        QTest::newRow("bar size") << "bar"
                                  << "size";
        QTest::newRow("linear background") << "linear"
                                           << "background";
        QTest::newRow("linear range") << "linear"
                                      << "range";
    }
    void faceFollowsEverySettingAndSizeChange()
    {
        QFETCH(QString, kind);
        QFETCH(QString, change);
        QSize size = designedSize(kind);
        const auto apply = [&](InstrumentWidget& w) {
            if (change == QLatin1String("range"))
                w.setRange(10, 15);
            else if (change == QLatin1String("size"))
                size = designedSize(kind) * 3 / 2;
            else if (change == QLatin1String("background"))
                w.setBackgroundColor(Qt::darkBlue);
            else if (auto* dial = qobject_cast<AngularGauge*>(&w)) {
                if (change == QLatin1String("bands"))
                    dial->setBands({{Qt::blue, 0.5}});
                else if (change == QLatin1String("numbers"))
                    dial->setNumbersVisible(false);
                else if (change == QLatin1String("hub"))
                    dial->setHubCapColor(Qt::yellow);
            } else if (auto* thermometer = qobject_cast<Thermometer*>(&w)) {
                if (change == QLatin1String("bands"))
                    thermometer->setBands({{Qt::magenta, 1.0}});
                else if (change == QLatin1String("column"))
                    thermometer->setColumnColor(Qt::red);
            } else if (auto* bar = qobject_cast<SegmentedBar*>(&w)) {
                if (change == QLatin1String("stops"))
                    bar->setColorStops(kFuelStops);
                else if (change == QLatin1String("frame"))
                    bar->setControlColor(Qt::darkRed);
            }
        };

        const auto changed = make(kind);
        changed->setValue(changed->minimum() + (changed->maximum() - changed->minimum()) * 0.7);
        const QImage before = shot(*changed, size);
        apply(*changed);
        changed->setValue(changed->minimum() + (changed->maximum() - changed->minimum()) * 0.7);
        const QImage after = shot(*changed, size);

        const auto fresh = make(kind);
        apply(*fresh);
        fresh->setValue(fresh->minimum() + (fresh->maximum() - fresh->minimum()) * 0.7);
        QVERIFY(after != before);
        QCOMPARE(after, shot(*fresh, size));
    }
};

QTEST_MAIN(TestInstruments)
#include "test_instruments.moc"

#include "app/Imitation.h"
#include "app/TachoraApp.h"
#include "display/DisplayState.h"
#include "display/NeedleAnimation.h"
#include "link/AdapterConnection.h"
#include "link/PidPoller.h"
#include "platform/Clock.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Fixture
{
    QTemporaryDir work, runtime;
    SystemClock clock;
    std::unique_ptr<TachoraApp> app;
    int exportStarts = 0;

    Fixture()
    {
        QFile ini(work.filePath(QStringLiteral("Tachora.ini")));
        if (ini.open(QIODevice::WriteOnly))
            ini.write("port=/dev/tachora-test-no-port\r\nbaud=38400\r\nskins=\r\nv=2300\r\nh=75\r\n"
                      "MapMaf=MAP\r\nprotocol=Automatic\r\nFuelTank=65\r\nKSpeed=1.00\r\n"
                      "EngineWarm=0.00\r\nFastPull=0\r\nMode21=0\r\nPause=200\r\n");
        ini.close();
        app = std::make_unique<TachoraApp>(clock, TachoraApp::Paths{work.path(), runtime.path()});
        app->formCreate({});
        // Every draw takes the largest value it can.
        app->imitation().random = [](int n) { return n - 1; };
        app->imitation().startExport = [this] { ++exportStarts; };
    }
};

} // namespace

class TestImitation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aTickFillsTheDisplayFromItsDraws()
    {
        Fixture f;
        DisplayState& d = f.app->display();
        f.app->poller().readings().engineSpeed = 1500;
        f.app->imitation().TimerImitationTimer();
        const std::pair<DisplayId, const char*> texts[] = {
            {DisplayId::LabelSpeed, "199"},       {DisplayId::LabelSpeedMaxOut, "199"},
            {DisplayId::LabelSpeedMax, "199"},    {DisplayId::Pressure, "32"},
            {DisplayId::airTemp, "74"},           {DisplayId::LabelTempEng, "94"},
            {DisplayId::LabelTempEng1, "94"},     {DisplayId::LabelNapr, "12.0"},
            {DisplayId::LabelRPM, "6999"},        {DisplayId::LabelDistance, "71.3"},
            {DisplayId::LabelDistance2, "71.3"},  {DisplayId::LabelSpeedSr, "71.3"},
            {DisplayId::LabelSpeedSrOut, "71.3"}, {DisplayId::LabelTopl, "23.33"},
            {DisplayId::LabelTopl2, "23.3"},      {DisplayId::LabelRashod, "30.0"},
            {DisplayId::LabelRashod2, "30.0"},    {DisplayId::LabelFuel, "99.7"},
            {DisplayId::EditTank, "49.00"},       {DisplayId::LabelTank, "75"},
            {DisplayId::DistPred, "199.5"},       {DisplayId::MPG1, "20.0"},
            {DisplayId::MPGLabel, "108.3"},       {DisplayId::LabelTime, "00:00:01"},
        };
        for (const auto& [id, text] : texts)
            QCOMPARE(d.text(id) + QLatin1Char(' ') + DisplayState::name(id),
                     QString::fromUtf8(text) + QLatin1Char(' ') + DisplayState::name(id));
        QCOMPARE(d.caption(DisplayId::GaugeRPM), QStringLiteral("6999"));
        QCOMPARE(d.value(DisplayId::GaugePressure), 32.0);
        QCOMPARE(d.value(DisplayId::ThermometerAirTemp), 74.0);
        QCOMPARE(d.value(DisplayId::ThermometerTempEng1), 94.0);
        QCOMPARE(d.value(DisplayId::ThermometerEng), 94.0);
        QCOMPARE(d.value(DisplayId::GaugeNapr), 12.0);
        QCOMPARE(d.value(DisplayId::GaugeMPG1), 10.0);   // 20 pins at the top
        QCOMPARE(d.value(DisplayId::GaugeAirMPG), 50.0); // 108.3 pins at the top
        QVERIFY(qAbs(d.value(DisplayId::GaugeMPG) - ((299 / 3.0 - 30) * 0.57 + 60)) < 1e-9);
        // The tank edit's handler put the bar at 100 x 49 / 65, replacing the draw of 99.
        QVERIFY(qAbs(d.value(DisplayId::ProgressBarFuel) - 4900.0 / 65) < 1e-9);
        QCOMPARE(f.app->poller().readings().previousEngineSpeed, 1500.0);
        QCOMPARE(f.app->poller().readings().engineSpeed, 6999.0);
        // The needle walks there in at most 35 steps of 20 ms, before the next tick.
        QVERIFY(f.app->needle().steps() <= 35);
    }

    void theClockLabelRunsOnPastMidnight()
    {
        Fixture f;
        f.app->display().setText(DisplayId::LabelTime, QStringLiteral("23:59:59"));
        f.app->imitation().TimerImitationTimer();
        QCOMPARE(f.app->display().text(DisplayId::LabelTime), QStringLiteral("00:00:00"));
    }

    void theCheckBoxStartsTheModeAndTheExportAndPollingStopsTheMode()
    {
        Fixture f;
        QTimer& timer = f.app->imitation().timerImitation();
        f.app->display().setChecked(DisplayId::CheckBoxImitation, true);
        QCOMPARE(timer.isActive(), true);
        QCOMPARE(f.exportStarts, 1);
        f.app->display().setChecked(DisplayId::CheckBoxImitation, false);
        QCOMPARE(timer.isActive(), false);

        f.app->display().setChecked(DisplayId::CheckBoxImitation, true);
        Q_EMIT f.app->connection().pollingStarted();
        QCOMPARE(timer.isActive(), false);
        QCOMPARE(f.app->display().isChecked(DisplayId::CheckBoxImitation), true);
    }

    void uncheckingFreezesTheDisplay()
    {
        Fixture f;
        f.app->imitation().random = [](int n) { return std::rand() % n; };
        f.app->display().setChecked(DisplayId::CheckBoxImitation, true);
        f.app->imitation().timerImitation().setInterval(10);
        QTRY_VERIFY(f.app->display().text(DisplayId::LabelTime) != QStringLiteral("00:00:00"));
        f.app->display().setChecked(DisplayId::CheckBoxImitation, false);
        const QString speed = f.app->display().text(DisplayId::LabelSpeed);
        const QString time = f.app->display().text(DisplayId::LabelTime);
        QTest::qWait(50);
        QCOMPARE(f.app->display().text(DisplayId::LabelSpeed), speed);
        QCOMPARE(f.app->display().text(DisplayId::LabelTime), time);
    }
};

QTEST_GUILESS_MAIN(TestImitation)
#include "test_imitation.moc"

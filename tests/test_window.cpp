// The real window, offscreen: navigation by clicks, deferred scaling, value labels.
#include "app/TachoraApp.h"
#include "display/DisplayState.h"
#include "platform/Clock.h"
#include "ui/Dashboard.h"
#include "ui/LayoutScaler.h"
#include "ui/MainWindow.h"
#include "ui/SvgPicture.h"

#include <QFile>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Window
{
    QTemporaryDir work;
    QTemporaryDir runtime;
    SystemClock clock;
    std::unique_ptr<TachoraApp> app;
    std::unique_ptr<MainWindow> window;

    Window()
    {
        QFile ini(work.filePath(QStringLiteral("Tachora.ini")));
        if (ini.open(QIODevice::WriteOnly))
            ini.write("port=/dev/tachora-test-no-port\r\nbaud=38400\r\nskins=\r\nv=2300\r\nh=75\r\n"
                      "MapMaf=MAP\r\nprotocol=Automatic\r\nFuelTank=65\r\nKSpeed=1.00\r\n"
                      "EngineWarm=0.00\r\nFastPull=0\r\nMode21=0\r\nPause=200\r\n");
        ini.close();
        app = std::make_unique<TachoraApp>(clock, TachoraApp::Paths{work.path(), runtime.path()});
        window = std::make_unique<MainWindow>(*app);
        app->formCreate({});
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    template <typename T = QWidget> T* find(const char* name) const
    {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
};

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theWindowStandsAsDesigned()
    {
        Window w;
        QCOMPARE(w.window->windowTitle(), QStringLiteral("Kestorin"));
        QVERIFY(w.find("PanelMain") && w.find("PanelButtons") && w.find("sPageControl1"));
        QCOMPARE(w.find<QStackedWidget>("sPageControl1")->count(), 5);
        QCOMPARE(w.find<QStackedWidget>("sPageControl1")->currentIndex(), 0);
        QCOMPARE(w.find("Image12")->isVisible(), true);
        QCOMPARE(w.find("Image7")->isVisible(), false);
        QCOMPARE(w.find("LabelSpeedSrOut")->isVisible(), false);
        QCOMPARE(w.find("LabelSpeedMaxOut")->isVisible(), false);
        QCOMPARE(w.find("Image5")->cursor().shape(), Qt::PointingHandCursor);
    }

    void clickingAPictureShowsItsPage_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("highlighted");
        QTest::newRow("statistics") << "Image6" << 2 << "Image11";
        QTest::newRow("sensors") << "Image5" << 1 << "Image10";
        QTest::newRow("fuel") << "Image4" << 4 << "Image9";
        QTest::newRow("settings") << "Image3" << 3 << "Image8";
    }
    void clickingAPictureShowsItsPage()
    {
        QFETCH(QString, picture);
        QFETCH(int, page);
        QFETCH(QString, highlighted);
        Window w;
        auto* p = w.window->findChild<SvgPicture*>(picture);
        QVERIFY(p);
        QTest::mouseClick(p, Qt::LeftButton);
        QCOMPARE(w.find<QStackedWidget>("sPageControl1")->currentIndex(), page);
        QCOMPARE(w.window->findChild<QWidget*>(picture)->isVisible(), false);
        QCOMPARE(w.window->findChild<QWidget*>(highlighted)->isVisible(), true);
        // Back to the main page through its normal picture.
        QTest::mouseClick(w.window->findChild<SvgPicture*>(QStringLiteral("Image7")), Qt::LeftButton);
        QCOMPARE(w.find<QStackedWidget>("sPageControl1")->currentIndex(), 0);
        QCOMPARE(w.window->findChild<QWidget*>(highlighted)->isVisible(), false);
    }

    void thePercentageFollowsTheNarrowerSide_data()
    {
        QTest::addColumn<QSize>("outer");
        QTest::addColumn<QSize>("panel");
        QTest::addColumn<int>("percent");
        QTest::newRow("884 x 474") << QSize(884, 474) << QSize(869, 400) << 101;
        QTest::newRow("again at the grown panel") << QSize(884, 474) << QSize(878, 404) << 100;
        QTest::newRow("three times as wide: by height") << QSize(2400, 800) << QSize(869, 400) << 200;
        QTest::newRow("square: by width") << QSize(1000, 1000) << QSize(869, 400) << 115;
        QTest::newRow("designed client") << QSize(876, 440) << QSize(869, 400) << 100;
        QTest::newRow("1920 x 1080") << QSize(1920, 1080) << QSize(869, 400) << 220;
    }
    void thePercentageFollowsTheNarrowerSide()
    {
        QFETCH(QSize, outer);
        QFETCH(QSize, panel);
        QFETCH(int, percent);
        QCOMPARE(LayoutScaler::percentFor(outer, panel), percent);
    }

    void edgesScaleByTheIntegerRule_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("scaled");
        QTest::newRow("869 by 101") << 869 << 101 << 878; // 877.69
        QTest::newRow("half away from zero") << 50 << 101 << 51; // 50.5
        QTest::newRow("negative half") << -50 << 101 << -51;
        QTest::newRow("unchanged") << 375 << 100 << 375;
        QTest::newRow("shrink") << 17 << 50 << 9; // 8.5
    }
    void edgesScaleByTheIntegerRule()
    {
        QFETCH(int, value);
        QFETCH(int, percent);
        QFETCH(int, scaled);
        QCOMPARE(LayoutScaler::scaleEdge(value, percent), scaled);
    }

    void aRescalingGrowsTheLayoutOnceAndCentresIt()
    {
        Window w;
        // Start from the designed panel at a window whose outer size fits it exactly.
        const QSize frame = w.window->frameGeometry().size() - w.window->size();
        w.window->scaler().timerSize().stop();
        w.window->resize(QSize(873, 400) - frame);
        QTest::qWait(LayoutScaler::kTimerSizeMs + 50);
        w.window->scaler().TimerSizeTimer();
        QCOMPARE(w.window->scaler().lastPercent(), 100);
        QWidget* panel = w.window->panelMain();
        QCOMPARE(panel->size(), QSize(869, 400));

        // An outer size of 884 x 474: a = 880/869, b = 474/400, so 101 %.
        w.window->resize(QSize(884, 474) - frame);
        QTRY_VERIFY(w.window->scaler().timerSize().isActive());
        QTRY_VERIFY(!w.window->scaler().timerSize().isActive());
        QCOMPARE(w.window->scaler().lastPercent(), 101);
        QCOMPARE(panel->size(), QSize(878, 404));
        QCOMPARE(panel->pos(), QPoint(1, 35)); // (884-4-878)/2 = 1, (474-404)/2 = 35
        QCOMPARE(w.find("ImageECU")->geometry(), QRect(52, 379, 17, 17)); // 51..68, 375..392
        QCOMPARE(w.find("GaugeRPM")->geometry(), QRect(205, 20, 217, 217));
        QCOMPARE(w.find("LabelSpeed")->font().pixelSize(), 80);
        // The same size again changes nothing.
        w.window->scaler().TimerSizeTimer();
        QCOMPARE(w.window->scaler().lastPercent(), 100);
        QCOMPARE(panel->size(), QSize(878, 404));
        // The bar keeps to the left, the pages fill the rest, the lamps keep to the bottom.
        QCOMPARE(w.find("PanelButtons")->geometry(), QRect(0, 0, 69, 404));
        QCOMPARE(w.find("sPageControl1")->geometry(), QRect(69, 0, 809, 404));
        QCOMPARE(w.find("Shape18")->geometry().bottom(), 403);
    }

    void aValueLabelKeepsItsRightEdge()
    {
        Window w;
        auto* label = w.find<Dashboard::ValueLabel>("LabelDistance");
        const int right = label->geometry().right();
        w.app->display().setText(DisplayId::LabelDistance, QStringLiteral("1234.5"));
        QCOMPARE(label->text(), QStringLiteral("1234.5"));
        QCOMPARE(label->geometry().right(), right);
        const int wide = label->width();
        w.app->display().setText(DisplayId::LabelDistance, QStringLiteral("0.0"));
        QCOMPARE(label->geometry().right(), right);
        QVERIFY(label->width() < wide);
    }

    void theLampsFollowTheLink()
    {
        Window w;
        auto* lamp = w.find<QLabel>("ImageAdapter");
        const QImage dark = lamp->pixmap().toImage();
        w.app->display().setLit(DisplayId::ImageAdapter, true);
        QVERIFY(lamp->pixmap().toImage() != dark);
    }
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"

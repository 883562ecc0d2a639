// CPU time to repaint each painted instrument, at its designed size and at four times that,
// with the face cached (only the value changes, as when a needle moves) and without it (the
// size changes every frame, so the face is rendered again each time).
//   bench_instruments [seconds per figure]
#include "ui/instruments/AngularGauge.h"
#include "ui/instruments/LinearGauge.h"
#include "ui/instruments/SegmentedBar.h"
#include "ui/instruments/Thermometer.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>

namespace {


struct Instrument
{
    const char* name;
    QSize designed;
    std::function<std::unique_ptr<InstrumentWidget>()> make;
};

// Microseconds of CPU per frame. A frame sets a new value, resizes when `resizing` (by one
// pixel back and forth, so that every frame is a real change of size) and renders the widget
// into an image, which runs its paint event as a repaint on screen would.
double measure(InstrumentWidget& widget, const QSize& size, bool resizing, double seconds)
{
    QImage target(size + QSize(1, 0), QImage::Format_ARGB32_Premultiplied);
    widget.resize(size);
    long frame = 0;
    const auto paintFrame = [&] {
        const double span = widget.maximum() - widget.minimum();
        widget.setValue(widget.minimum() + span * double(frame % 97) / 96);
        if (resizing)
            widget.resize(size + QSize(frame % 2, 0));
        QPainter painter(&target);
        widget.render(&painter);
        ++frame;
    };
    for (int i = 0; i < 10; ++i) // warm caches, glyphs and the face
        paintFrame();

    frame = 0;
    const double start = Bench::cpuSeconds();
    double elapsed = 0;
    while (elapsed < seconds || frame < 20) {
        paintFrame();
        elapsed = Bench::cpuSeconds() - start;
    }
    return elapsed / double(frame) * 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 0.5;

    const QList<Instrument> instruments{
        {"AngularGauge (GaugeRPM)", AngularGauge::kDesignedSize,
         [] {
             auto dial = std::make_unique<AngularGauge>();
             dial->setCaption(QStringLiteral("3150"));
             return dial;
         }},
        {"Thermometer", Thermometer::kDesignedSize, [] { return std::make_unique<Thermometer>(); }},
        {"SegmentedBar", SegmentedBar::kDesignedSize,
         [] { return std::make_unique<SegmentedBar>(); }},
        {"LinearGauge", LinearGauge::kDesignedSize, [] { return std::make_unique<LinearGauge>(); }},
    };

    std::printf("CPU time per repaint, microseconds (%.1f s of frames per figure, device pixel "
                "ratio %.0f)\n\n",
                seconds, qApp->devicePixelRatio());
    std::printf("%-25s %10s %14s %14s %8s\n", "instrument", "size", "face cached", "face redrawn",
                "ratio");
    for (const Instrument& instrument : instruments) {
        for (const int scale : {1, 4}) {
            const QSize size = instrument.designed * scale;
            const auto widget = instrument.make();
            const double cached = measure(*widget, size, false, seconds);
            const double redrawn = measure(*widget, size, true, seconds);
            const QString sizeText = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
            std::printf("%-25s %10s %14.1f %14.1f %7.1fx\n", instrument.name, qPrintable(sizeText),
                        cached, redrawn, redrawn / cached);
        }
    }
    return 0;
}

#include "ui/Screenshot.h"

#include "app/TachoraApp.h"
#include "display/DisplayState.h"
#include "display/Navigation.h"
#include "ui/LayoutScaler.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QEventLoop>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

namespace Screenshot {

const char* usage()
{
    return "usage: tachora [test] [--screenshot FILE [--page 0-4] [--size WxH] [--delay MS]]\n";
}

std::optional<Request> takeRequest(QStringList& arguments, QString* error)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--screenshot"));
    if (at < 0)
        return std::nullopt;
    Request request;
    auto value = [&](const QString& option) -> std::optional<QString> {
        const qsizetype i = arguments.indexOf(option);
        if (i < 0)
            return std::nullopt;
        if (i + 1 >= arguments.size()) {
            *error = option + QStringLiteral(" needs a value");
            return std::nullopt;
        }
        const QString v = arguments.at(i + 1);
        arguments.remove(i, 2);
        return v;
    };
    if (const auto file = value(QStringLiteral("--screenshot")))
        request.file = *file;
    if (const auto page = value(QStringLiteral("--page"))) {
        bool ok = false;
        request.page = page->toInt(&ok);
        if (!ok || request.page < 0 || request.page > 4)
            *error = QStringLiteral("--page takes 0 to 4");
    }
    if (const auto size = value(QStringLiteral("--size"))) {
        const QStringList wh = size->split(QLatin1Char('x'));
        bool okW = false, okH = false;
        if (wh.size() == 2)
            request.size = QSize(wh[0].toInt(&okW), wh[1].toInt(&okH));
        if (!okW || !okH || request.size.width() < 100 || request.size.height() < 100)
            *error = QStringLiteral("--size takes WIDTHxHEIGHT, e.g. 1920x1080");
    }
    if (const auto delay = value(QStringLiteral("--delay"))) {
        bool ok = false;
        request.delayMs = delay->toInt(&ok);
        if (!ok || request.delayMs < 0)
            *error = QStringLiteral("--delay takes milliseconds");
    }
    if (request.file.isEmpty() && error->isEmpty())
        *error = QStringLiteral("--screenshot needs a file name");
    return request;
}

int take(const Request& request, MainWindow& window, TachoraApp& app)
{
    window.resize(request.size);
    window.show();
    // Let the layout fit the size (the scaler's timer), and the readings come in.
    QEventLoop loop;
    QTimer::singleShot(LayoutScaler::kTimerSizeMs + 100 + request.delayMs, &loop, &QEventLoop::quit);
    loop.exec();
    if (window.scaler().timerSize().isActive())
        window.scaler().TimerSizeTimer();

    static const Navigation::Place kPlaceOfPage[] = {Navigation::Place::Main, Navigation::Place::Sensors,
                                                     Navigation::Place::Statistics,
                                                     Navigation::Place::Settings, Navigation::Place::Fuel};
    app.navigation().click(kPlaceOfPage[request.page]);
    QApplication::processEvents();

    const bool saved = window.grab().save(request.file, "PNG");
    window.close();
    if (!saved) {
        std::fprintf(stderr, "tachora: cannot write %s\n", qPrintable(request.file));
        return 1;
    }
    return 0;
}

} // namespace Screenshot

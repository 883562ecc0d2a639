#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

class MainWindow;
class TachoraApp;

// --screenshot FILE [--page N] [--size WxH] [--delay MS]: render the window at the given size
// (the designed one by default) after the layout has been fitted to it, save a PNG, close the
// window as a user would and end.
namespace Screenshot {

struct Request
{
    QString file;
    int page = 0;
    QSize size{876, 440};
    int delayMs = 0;
};

// Takes the screenshot options out of the arguments. Without --screenshot: no request.
std::optional<Request> takeRequest(QStringList& arguments, QString* error);
const char* usage();
int take(const Request& request, MainWindow& window, TachoraApp& app);

} // namespace Screenshot

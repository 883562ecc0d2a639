#include "ui/pages/FuelPage.h"

#include "app/TachoraApp.h"
#include "display/DisplayState.h"
#include "trip/TripAccounting.h"
#include "trip/TripComputer.h"
#include "ui/Dashboard.h"
#include "ui/DisplayBinder.h"
#include "ui/FlatButton.h"
#include "ui/LayoutScaler.h"

#include <QLineEdit>

using namespace Dashboard;

FuelPage::FuelPage(TachoraApp& app, DisplayBinder& binder, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("sTabSheet5"));
    setProperty(LayoutScaler::kContainerProperty, true);
    DisplayState& display = app.display();
    TripAccounting& tank = app.trip().accounting();

    // The tank and its correction buttons, the one-litre buttons outermost.
    card(this, {99, 6, 616, 109}, "Shape46");
    binder.bindText(caption(this, 346, 10, QString(), "Label53"), DisplayId::Label53);
    struct Correction
    {
        const char* name;
        const char* text;
        int left;
        void (TripAccounting::*click)();
    };
    const Correction corrections[] = {
        {"SpeedButton4", "-1", 130, &TripAccounting::SpeedButton4Click},
        {"SpeedButton3", "-10", 222, &TripAccounting::SpeedButton3Click},
        {"SpeedButton1", "+10", 509, &TripAccounting::SpeedButton1Click},
        {"SpeedButton2", "+1", 601, &TripAccounting::SpeedButton2Click},
    };
    for (const Correction& c : corrections) {
        auto* button = new FlatButton(QString::fromLatin1(c.text), tahoma(43), this);
        button->setObjectName(QString::fromLatin1(c.name));
        button->setGeometry(c.left, 33, 89, 65);
        connect(button, &FlatButton::clicked, this, [&tank, click = c.click] { (tank.*click)(); });
    }

    // Only the program sets the tank; the user reads it.
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QStringLiteral("EditTank"));
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::ClickFocus);
    edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edit->setFont(verdana(48));
    QPalette pal = edit->palette();
    pal.setColor(QPalette::Base, Qt::black);
    pal.setColor(QPalette::Text, Qt::white);
    edit->setPalette(pal);
    edit->setGeometry(313, 32, 193, 65);
    binder.bind(DisplayId::EditTank,
                [edit, &display] { edit->setText(display.text(DisplayId::EditTank)); });

    auto* fill = new FlatButton(QStringLiteral("Заправить полный бак"), tahoma(32), this);
    fill->setObjectName(QStringLiteral("SpeedButton5"));
    fill->setGeometry(205, 140, 409, 65);
    connect(fill, &FlatButton::clicked, this, [&tank] { tank.SpeedButton5Click(); });

    // The range forecast.
    card(this, {129, 235, 555, 86}, "Shape39");
    binder.bindText(
        label(this, 212, 254, QString(), verdana(32), Qt::white, cardColor(), "Label42"),
        DisplayId::Label42);
    binder.bindText(valueLabel(this, 514, 255, 32, false, "DistPred", cardColor()),
                    DisplayId::DistPred);
    binder.bindText(
        label(this, 526, 255, QString(), verdana(32), Qt::white, cardColor(), "Label43"),
        DisplayId::Label43);
}

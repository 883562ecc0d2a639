#include "ui/pages/SensorsPage.h"

#include "display/DisplayState.h"
#include "ui/Dashboard.h"
#include "ui/DisplayBinder.h"
#include "ui/LayoutScaler.h"
#include "ui/instruments/LinearGauge.h"
#include "ui/instruments/Thermometer.h"

using namespace Dashboard;

namespace {

constexpr int kValueBoxTop = 270;
constexpr QSize kValueBoxSize{86, 90};
constexpr int kValueTop = 290;
constexpr int kValuePixelSize = 37;
constexpr int kUnitTop = 339;

enum class Instrument
{
    Linear,
    Thermometer
};

struct Column
{
    const char* card;
    QRect cardGeometry;
    const char* valueBox;
    int valueBoxLeft;
    const char* gaugeBox; // the black box behind a thermometer, or null
    QPoint gaugeBoxPlace;
    Instrument instrument;
    DisplayId gauge;
    QRect gaugeGeometry;
    DisplayId value;
    int valueRightEdge;
    DisplayId unit;
    int unitLeft;
    DisplayId caption;
    QPoint captionPlace;
};

// clang-format off
const Column kColumns[] = {
    {"Shape12", {14, 0, 103, 385}, "Shape19", 23, nullptr, {}, Instrument::Linear,
     DisplayId::GaugeAirMPG, {31, 10, 65, 249}, DisplayId::MPGLabel, 105,
     DisplayId::Label28, 63, DisplayId::Label22, {21, 361}},
    {"Shape20", {138, 0, 103, 385}, "Shape21", 147, nullptr, {}, Instrument::Linear,
     DisplayId::GaugeMPG1, {155, 10, 65, 249}, DisplayId::MPG1, 229,
     DisplayId::Label29, 189, DisplayId::Label23, {156, 361}},
    {"Shape29", {261, 0, 105, 385}, "Shape30", 271, "Shape31", {269, 10}, Instrument::Thermometer,
     DisplayId::ThermometerTempEng1, {279, 20, 75, 230}, DisplayId::LabelTempEng1, 351,
     DisplayId::Label33, 321, DisplayId::Label24, {275, 361}},
    {"Shape24", {388, 0, 103, 385}, "Shape25", 397, nullptr, {}, Instrument::Linear,
     DisplayId::GaugeNapr, {405, 10, 65, 249}, DisplayId::LabelNapr, 480,
     DisplayId::Label32, 467, DisplayId::Label25, {398, 361}},
    {"Shape22", {516, 0, 103, 385}, "Shape23", 525, nullptr, {}, Instrument::Linear,
     DisplayId::GaugePressure, {533, 10, 65, 249}, DisplayId::Pressure, 606,
     DisplayId::Label31, 584, DisplayId::Label26, {527, 361}},
    {"Shape26", {639, 0, 105, 385}, "Shape28", 649, "Shape27", {647, 10}, Instrument::Thermometer,
     DisplayId::ThermometerAirTemp, {658, 18, 75, 230}, DisplayId::airTemp, 731,
     DisplayId::Label34, 703, DisplayId::Label27, {651, 362}},
};
// clang-format on

QByteArray nameOf(DisplayId id)
{
    return DisplayState::name(id).toLatin1();
}

} // namespace

SensorsPage::SensorsPage(DisplayBinder& binder, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("sTabSheet2"));
    setProperty(LayoutScaler::kContainerProperty, true);

    for (const Column& c : kColumns) {
        card(this, c.cardGeometry, c.card);
        valueBox(this, {QPoint(c.valueBoxLeft, kValueBoxTop), kValueBoxSize}, c.valueBox);
        if (c.gaugeBox)
            valueBox(this, {c.gaugeBoxPlace, QSize(89, 250)}, c.gaugeBox);

        InstrumentWidget* gauge = nullptr;
        if (c.instrument == Instrument::Linear)
            gauge = new LinearGauge(this);
        else
            gauge = new Thermometer(this);
        gauge->setObjectName(DisplayState::name(c.gauge));
        gauge->setGeometry(c.gaugeGeometry);
        binder.bindValue(gauge, c.gauge);

        binder.bindText(valueLabel(this, c.valueRightEdge, kValueTop, kValuePixelSize, true,
                                   nameOf(c.value).constData()),
                        c.value);
        binder.bindText(
            unitLabel(this, c.unitLeft, kUnitTop, QString(), nameOf(c.unit).constData()), c.unit);
        binder.bindText(caption(this, c.captionPlace.x(), c.captionPlace.y(), QString(),
                                nameOf(c.caption).constData()),
                        c.caption);
    }

    // The engine speed for the host export: in the page control's font and colour (black),
    // on the black page at its very foot.
    QLabel* rpm =
        label(this, 352, 392, QString(), verdana(16, true), Qt::black, Qt::black, "LabelRPM");
    binder.bindText(rpm, DisplayId::LabelRPM);
}

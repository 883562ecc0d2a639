#include "ui/pages/MainPage.h"

#include "display/DisplayState.h"
#include "ui/Dashboard.h"
#include "ui/DisplayBinder.h"
#include "ui/LayoutScaler.h"
#include "ui/SvgPicture.h"
#include "ui/instruments/AngularGauge.h"
#include "ui/instruments/SegmentedBar.h"
#include "ui/instruments/Thermometer.h"

using namespace Dashboard;

namespace {

const QColor kSilver(0xC0, 0xC0, 0xC0);

void scaleLabels(QWidget* page, DisplayBinder& binder, int left,
                 std::initializer_list<std::pair<DisplayId, int>> labels)
{
    for (const auto& [id, top] : labels) {
        QLabel* l = label(page, left, top, QString(), verdana(11), kSilver, Qt::black,
                          DisplayState::name(id).toLatin1().constData());
        binder.bindText(l, id);
    }
}

void bindValue(ValueLabel* l, DisplayBinder& binder, DisplayId id)
{
    binder.bindText(l, id);
}

} // namespace

MainPage::MainPage(DisplayBinder& binder, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("sTabSheet1"));
    setProperty(LayoutScaler::kContainerProperty, true);
    setFont(verdana(16));

    // Column A: distance, fuel, average consumption.
    card(this, {8, 1, 180, 120}, "Shape9");
    card(this, {8, 132, 180, 120}, "Shape16");
    card(this, {8, 264, 180, 120}, "Shape14");
    valueBox(this, {16, 9, 163, 90}, "Shape10");
    valueBox(this, {17, 140, 163, 90}, "Shape17");
    valueBox(this, {16, 272, 163, 90}, "Shape15");
    bindValue(valueLabel(this, 173, 21, 53, true, "LabelDistance"), binder, DisplayId::LabelDistance);
    binder.bindText(caption(this, 64, 101, QString(), "Label13"), DisplayId::Label13);
    bindValue(valueLabel(this, 175, 156, 53, true, "LabelTopl"), binder, DisplayId::LabelTopl);
    binder.bindText(caption(this, 41, 231, QString(), "Label15"), DisplayId::Label15);
    bindValue(valueLabel(this, 171, 284, 53, true, "LabelRashod"), binder, DisplayId::LabelRashod);
    binder.bindText(caption(this, 30, 363, QString(), "Label16"), DisplayId::Label16);

    // Column B: engine speed dial and vehicle speed.
    card(this, {197, 0, 229, 385}, "Shape3");
    valueBox(this, {206, 267, 213, 95}, "Shape4");
    auto* rpm = new AngularGauge(this);
    rpm->setObjectName(QStringLiteral("GaugeRPM"));
    rpm->setGeometry(203, 20, 215, 215);
    binder.bindDial(rpm, DisplayId::GaugeRPM);
    bindValue(valueLabel(this, 368, 267, 79, true, "LabelSpeed"), binder, DisplayId::LabelSpeed);
    binder.bindText(unitLabel(this, 375, 331, QString(), "Label21", true), DisplayId::Label21);
    binder.bindText(caption(this, 254, 363, QString(), "Label17"), DisplayId::Label17);

    // Column C: instant consumption.
    card(this, {437, 0, 103, 385}, "Shape1");
    valueBox(this, {444, 7, 89, 250}, "Shape2");
    valueBox(this, {446, 270, 86, 90}, "Shape5");
    auto* mpg = new SegmentedBar(this);
    mpg->setObjectName(QStringLiteral("GaugeMPG"));
    mpg->setGeometry(454, 19, 25, 230);
    binder.bindValue(mpg, DisplayId::GaugeMPG);
    auto* ticks1 = new SvgPicture(QStringLiteral(":/assets/ticks_consumption.svg"), false, this);
    ticks1->setObjectName(QStringLiteral("Image1"));
    ticks1->setGeometry(478, 20, 20, 229);
    scaleLabels(this, binder, 504,
                {{DisplayId::Label6, 16}, {DisplayId::Label14, 42}, {DisplayId::Label12, 69},
                 {DisplayId::Label1, 105}, {DisplayId::Label5, 149}, {DisplayId::Label4, 196},
                 {DisplayId::Label2, 240}});
    bindValue(valueLabel(this, 529, 298, 35, true, "LabelFuel"), binder, DisplayId::LabelFuel);
    binder.bindText(caption(this, 449, 362, QString(), "Label18"), DisplayId::Label18);

    // Column D: tank.
    card(this, {553, 0, 103, 385}, "Shape11");
    valueBox(this, {560, 7, 89, 250}, "Shape45");
    valueBox(this, {562, 270, 86, 90}, "Shape13");
    auto* tank = new SegmentedBar(this);
    tank->setObjectName(QStringLiteral("ProgressBarFuel"));
    tank->setGeometry(571, 19, 25, 230);
    tank->setColorStops({{0.1, QColor::fromRgba(0xFFFF0000), false},
                         {0.1, QColor::fromRgba(0xFFFF8C00), true},
                         {0.97, QColor::fromRgba(0xFF228B22), false}});
    binder.bindValue(tank, DisplayId::ProgressBarFuel);
    auto* ticks2 = new SvgPicture(QStringLiteral(":/assets/ticks_tank.svg"), false, this);
    ticks2->setObjectName(QStringLiteral("Image2"));
    ticks2->setGeometry(594, 20, 20, 229);
    scaleLabels(this, binder, 619,
                {{DisplayId::Label11, 16}, {DisplayId::Label10, 72}, {DisplayId::Label9, 128},
                 {DisplayId::Label8, 184}, {DisplayId::Label7, 240}});
    bindValue(valueLabel(this, 643, 293, 40, true, "LabelTank"), binder, DisplayId::LabelTank);
    binder.bindText(caption(this, 564, 363, QString(), "Label19"), DisplayId::Label19);

    // Column E: coolant.
    card(this, {669, 0, 103, 385}, "Shape6");
    valueBox(this, {676, 7, 89, 250}, "Shape8");
    valueBox(this, {678, 270, 86, 90}, "Shape7");
    auto* coolant = new Thermometer(this);
    coolant->setObjectName(QStringLiteral("ThermometerEng"));
    coolant->setGeometry(687, 18, 75, 230);
    binder.bindValue(coolant, DisplayId::ThermometerEng);
    bindValue(valueLabel(this, 759, 293, 40, true, "LabelTempEng"), binder, DisplayId::LabelTempEng);
    binder.bindText(caption(this, 691, 363, QString(), "Label20"), DisplayId::Label20);

    // Carriers of the current trip's speeds for the host export; never shown.
    for (auto [id, left] : {std::pair{DisplayId::LabelSpeedSrOut, 222}, std::pair{DisplayId::LabelSpeedMaxOut, 313}}) {
        QLabel* hidden = label(this, left, 362, QString(), verdana(16), Qt::white, Qt::black,
                               DisplayState::name(id).toLatin1().constData());
        binder.bindText(hidden, id);
    }
}

#include "ui/pages/StatisticsPage.h"

#include "app/TachoraApp.h"
#include "display/DisplayState.h"
#include "trip/TripStatistics.h"
#include "ui/Dashboard.h"
#include "ui/DisplayBinder.h"
#include "ui/FlatButton.h"
#include "ui/GroupBox.h"
#include "ui/LayoutScaler.h"
#include "ui/TripGrid.h"

using namespace Dashboard;

namespace {

constexpr int kBoxTop = 33;
constexpr int kBoxHeight = 36;
constexpr int kValuePixelSize = 29;
constexpr int kCaptionTop = 68;

struct Summary
{
    const char* box;
    int boxLeft;
    int boxWidth;
    DisplayId value;
    int rightEdge;
    int top;
    DisplayId caption;
    int captionLeft;
};

const Summary kSummary[] = {
    {"Shape33", 7, 187, DisplayId::LabelTime, 190, 34, DisplayId::Label39, 13},
    {"Shape34", 197, 140, DisplayId::LabelDistance2, 330, 35, DisplayId::Label38, 250},
    {"Shape36", 340, 96, DisplayId::LabelTopl2, 432, 34, DisplayId::Label37, 362},
    {"Shape37", 439, 97, DisplayId::LabelRashod2, 533, 34, DisplayId::Label36, 453},
    {"Shape38", 539, 117, DisplayId::LabelSpeedSr, 652, 34, DisplayId::Label35, 557},
    {"Shape51", 659, 117, DisplayId::LabelSpeedMax, 772, 34, DisplayId::Label40, 668},
};

} // namespace

StatisticsPage::StatisticsPage(TachoraApp& app, DisplayBinder& binder, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("sTabSheet4"));
    setProperty(LayoutScaler::kContainerProperty, true);
    DisplayState& display = app.display();

    // The summary.
    card(this, {0, 9, 782, 79}, "Shape32");
    binder.bindText(caption(this, 333, 13, QString(), "LabelRezult"), DisplayId::LabelRezult);
    for (const Summary& s : kSummary) {
        valueBox(this, {s.boxLeft, kBoxTop, s.boxWidth, kBoxHeight}, s.box);
        const QByteArray valueName = DisplayState::name(s.value).toLatin1();
        binder.bindText(
            valueLabel(this, s.rightEdge, s.top, kValuePixelSize, false, valueName.constData()),
            s.value);
        const QByteArray captionName = DisplayState::name(s.caption).toLatin1();
        binder.bindText(
            caption(this, s.captionLeft, kCaptionTop, QString(), captionName.constData()),
            s.caption);
    }

    // The period filter; the trip statistics act on a new item.
    m_filter = new RadioGroup(display.text(DisplayId::RadioGroup1),
                              {QStringLiteral("все/текущая"), QStringLiteral("сутки"),
                               QStringLiteral("неделя"), QStringLiteral("месяц")},
                              4, verdana(16), {0, 89, 777, 54}, this);
    m_filter->setObjectName(QStringLiteral("RadioGroup1"));
    connect(m_filter, &RadioGroup::itemClicked, this,
            [&display](int item) { display.setIndex(DisplayId::RadioGroup1, item); });
    binder.bind(DisplayId::RadioGroup1, [this, &display] {
        m_filter->setSelected(display.index(DisplayId::RadioGroup1));
        m_filter->setTitle(display.text(DisplayId::RadioGroup1));
    });

    m_grid = new TripGrid(app.statistics().model(), this);
    m_grid->setObjectName(QStringLiteral("RxDBGrid1"));
    m_grid->setGeometry(1, 152, 778, 193);

    m_clear = new FlatButton(QStringLiteral("Очистить таблицу"), verdana(16), this);
    m_clear->setObjectName(QStringLiteral("PngSpeedButton7"));
    m_clear->setGeometry(576, 352, 177, 31);
    connect(m_clear, &FlatButton::clicked, this,
            [&app] { app.statistics().PngSpeedButton7Click(); });
}

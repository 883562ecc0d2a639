#include "ui/pages/SettingsPage.h"

#include "app/TachoraApp.h"
#include "common/ErrorReporter.h"
#include "display/DisplayState.h"
#include "link/AdapterConnection.h"
#include "settings/SettingsState.h"
#include "ui/Dashboard.h"
#include "ui/DisplayBinder.h"
#include "ui/GroupBox.h"
#include "ui/LayoutScaler.h"
#include "ui/ScalingStyle.h"
#include "ui/SpinEditBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGraphicsDropShadowEffect>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <exception>
#include <iterator>

using namespace Dashboard;

namespace {

constexpr int kLabelPixelSize = 16;
constexpr int kEditorPixelSize = 21;

void blackOnWhite(QWidget* editor)
{
    QPalette pal = editor->palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Text, Qt::black);
    pal.setColor(QPalette::Button, Qt::white);
    pal.setColor(QPalette::ButtonText, Qt::black);
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    editor->setPalette(pal);
}

QCheckBox* checkBox(QWidget* parent, const QString& text, const QRect& geometry, const char* name)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setFont(verdana(kLabelPixelSize));
    ScalingStyle::apply(box);
    QPalette pal = box->palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Text, Qt::black);
    box->setPalette(pal);
    box->setGeometry(geometry);
    return box;
}

SpinEditBox* spinBox(QWidget* parent, SettingsState& settings, SettingsState::Spin which,
                     const QRect& geometry, const char* name)
{
    auto* box = new SpinEditBox(settings, which, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setFont(verdana(kEditorPixelSize));
    ScalingStyle::apply(box);
    box->setGeometry(geometry);
    return box;
}

} // namespace

SettingsPage::SettingsPage(TachoraApp& app, DisplayBinder& binder, QWidget* parent)
    : QWidget(parent), m_app(app)
{
    setObjectName(QStringLiteral("sTabSheet3"));
    setProperty(LayoutScaler::kContainerProperty, true);
    SettingsState& settings = app.settings();
    DisplayState& display = app.display();

    card(this, {30, 9, 225, 95}, "Shape47");
    card(this, {264, 9, 401, 95}, "Shape49");
    card(this, {30, 111, 481, 147}, "Shape48");
    card(this, {523, 111, 243, 147}, "Shape52");
    card(this, {30, 265, 481, 108}, "Shape50");

    auto cardLabel = [&](int left, int top, DisplayId id) {
        const QByteArray name = DisplayState::name(id).toLatin1();
        QLabel* l = label(this, left, top, QString(), verdana(kLabelPixelSize), Qt::white,
                          cardColor(), name.constData());
        binder.bindText(l, id);
        return l;
    };

    // The port and its rate: a user edit reopens the port with them.
    cardLabel(77, 20, DisplayId::Label47);
    m_comPortNum = portBox("ComPortNum", {130, 15, 103, 26});
    cardLabel(42, 63, DisplayId::Label48);
    m_comPortBaud = portBox("ComPortBaud", {130, 59, 103, 26});
    showPortItems();
    connect(&settings, &SettingsState::comPortItemsChanged, this, &SettingsPage::showPortItems);
    connect(&settings, &SettingsState::comPortTextsChanged, this, &SettingsPage::showPortTexts);

    // The protocol.
    cardLabel(410, 23, DisplayId::Label49);
    m_protokol = new QComboBox(this);
    m_protokol->setObjectName(QStringLiteral("ComboBoxProtokol"));
    m_protokol->setFont(verdana(kLabelPixelSize));
    ScalingStyle::apply(m_protokol);
    blackOnWhite(m_protokol);
    m_protokol->addItems(SettingsState::comboBoxProtokolItems());
    m_protokol->setGeometry(290, 58, 349, 26);
    m_protokol->setCurrentIndex(settings.comboBoxProtokol());
    connect(m_protokol, &QComboBox::activated, &settings, &SettingsState::setComboBoxProtokol);
    connect(&settings, &SettingsState::comboBoxProtokolChanged, m_protokol,
            &QComboBox::setCurrentIndex);

    // The calculation method; the engine group is there only for the manifold pressure.
    m_mapMaf = new RadioGroup(QStringLiteral("Метод расчета"), SettingsState::mapMafItems(), 1,
                              verdana(kLabelPixelSize), {65, 124, 161, 122}, this);
    m_mapMaf->setObjectName(QStringLiteral("MapMaf"));
    m_mapMaf->setSelected(settings.mapMaf());
    connect(m_mapMaf, &RadioGroup::itemClicked, &settings, &SettingsState::setMapMaf);
    connect(&settings, &SettingsState::mapMafChanged, m_mapMaf, &RadioGroup::setSelected);

    m_groupBoxMap =
        new GroupBox(display.text(DisplayId::GroupBoxMAP), verdana(kLabelPixelSize), this);
    m_groupBoxMap->setObjectName(QStringLiteral("GroupBoxMAP"));
    m_groupBoxMap->setGeometry(263, 122, 228, 123);
    binder.bindVisibility(m_groupBoxMap, DisplayId::GroupBoxMAP);
    for (auto [id, place] : {std::pair{DisplayId::RxLabel9, QPoint(31, 32)},
                             std::pair{DisplayId::RxLabel10, QPoint(10, 83)}}) {
        const QByteArray name = DisplayState::name(id).toLatin1();
        QLabel* l = label(m_groupBoxMap, place.x(), place.y(), QString(), verdana(kLabelPixelSize),
                          Qt::white, Qt::black, name.constData());
        auto* shadow = new QGraphicsDropShadowEffect(l);
        shadow->setColor(Qt::black);
        shadow->setOffset(1, 1);
        shadow->setBlurRadius(0);
        l->setGraphicsEffect(shadow);
        binder.bindText(l, id);
    }
    m_kor = spinBox(m_groupBoxMap, settings, SettingsState::Spin::Kor, {114, 28, 73, 33}, "Kor");
    m_vd = new QLineEdit(settings.vd(), m_groupBoxMap);
    m_vd->setObjectName(QStringLiteral("VD"));
    m_vd->setFont(verdana(kEditorPixelSize));
    blackOnWhite(m_vd);
    m_vd->setGeometry(114, 78, 75, 33);
    connect(m_vd, &QLineEdit::textEdited, &settings, &SettingsState::setVd);
    connect(&settings, &SettingsState::vdChanged, m_vd, [this](const QString& text) {
        if (m_vd->text() != text)
            m_vd->setText(text);
    });

    // Polling options.
    m_fastPulling =
        checkBox(this, QStringLiteral("Быстрый опрос"), {548, 152, 205, 17}, "FastPulling");
    m_fastPulling->setChecked(settings.fastPulling());
    connect(m_fastPulling, &QCheckBox::clicked, &settings, &SettingsState::setFastPulling);
    connect(&settings, &SettingsState::fastPullingChanged, m_fastPulling, &QCheckBox::setChecked);
    m_toyota21 =
        checkBox(this, QStringLiteral("Mode 21 (Toyota)"), {549, 199, 212, 25}, "Toyota21");
    m_toyota21->setChecked(settings.toyota21());
    connect(m_toyota21, &QCheckBox::clicked, &settings, &SettingsState::setToyota21);
    connect(&settings, &SettingsState::toyota21Changed, m_toyota21, &QCheckBox::setChecked);

    // The vehicle.
    cardLabel(50, 284, DisplayId::Label52);
    m_fuelTank =
        spinBox(this, settings, SettingsState::Spin::FuelTank, {197, 274, 87, 33}, "FuelTank");
    cardLabel(40, 330, DisplayId::Label51);
    m_kSpeed = spinBox(this, settings, SettingsState::Spin::KSpeed, {197, 322, 87, 33}, "KSpeed");
    cardLabel(309, 331, DisplayId::Label50);
    m_progrev =
        spinBox(this, settings, SettingsState::Spin::Progrev, {415, 320, 87, 33}, "Progrev");

    // The time between the last two speed readings.
    binder.bindText(label(this, 448, 280, QString(), verdana(kLabelPixelSize), Qt::white,
                          cardColor(), "Label3"),
                    DisplayId::Label3);

    // The imitation switch on the black page.
    m_imitation = checkBox(this, QString(), {561, 273, 212, 25}, "CheckBoxImitation");
    connect(m_imitation, &QCheckBox::clicked, &display, [&display](bool checked) {
        display.setChecked(DisplayId::CheckBoxImitation, checked);
    });
    binder.bind(DisplayId::CheckBoxImitation, [this, &display] {
        m_imitation->setText(display.text(DisplayId::CheckBoxImitation));
        m_imitation->setChecked(display.isChecked(DisplayId::CheckBoxImitation));
    });

    m_save = new QPushButton(QStringLiteral("Сохранить"), this);
    m_save->setObjectName(QStringLiteral("Button1"));
    m_save->setFont(verdana(16, true));
    m_save->setGeometry(562, 312, 193, 57);
    connect(m_save, &QPushButton::clicked, this, &SettingsPage::save);

    // The lines of the custom initialisation file; never shown.
    m_listBox1 = new QListWidget(this);
    m_listBox1->setObjectName(QStringLiteral("ListBox1"));
    m_listBox1->setGeometry(0, 112, 57, 57);
    m_listBox1->hide();
    auto showListBox1 = [this, &settings] {
        m_listBox1->clear();
        m_listBox1->addItems(settings.listBox1());
    };
    showListBox1();
    connect(&settings, &SettingsState::listBox1Changed, m_listBox1, showListBox1);

    // The keyboard focus order as designed; the hidden list is passed over.
    QWidget* const focusOrder[] = {m_comPortNum,
                                   m_protokol,
                                   m_comPortBaud,
                                   m_save,
                                   m_imitation,
                                   m_toyota21,
                                   m_fastPulling,
                                   m_listBox1,
                                   m_mapMaf->button(0),
                                   m_mapMaf->button(1),
                                   m_vd,
                                   m_kor,
                                   m_progrev,
                                   m_kSpeed,
                                   m_fuelTank};
    for (size_t i = 1; i < std::size(focusOrder); ++i)
        setTabOrder(focusOrder[i - 1], focusOrder[i]);
}

QComboBox* SettingsPage::portBox(const char* name, const QRect& geometry)
{
    auto* box = new QComboBox(this);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    // Completion would show a text the settings do not hold.
    box->setCompleter(nullptr);
    box->setFont(verdana(kLabelPixelSize));
    ScalingStyle::apply(box);
    blackOnWhite(box);
    box->setGeometry(geometry);
    // Only the user's edits: the program's own sets of the text emit neither signal.
    connect(box->lineEdit(), &QLineEdit::textEdited, this,
            [this, box](const QString& text) { portTextEdited(box, text); });
    connect(box, &QComboBox::activated, this,
            [this, box](int index) { portTextEdited(box, box->itemText(index)); });
    return box;
}

void SettingsPage::portTextEdited(QComboBox* box, const QString& text)
{
    SettingsState& settings = m_app.settings();
    if (box == m_comPortNum)
        settings.setComPortNumText(text);
    else
        settings.setComPortBaudText(text);
    m_app.connection().ComPortBaudChange();
}

void SettingsPage::showPortTexts()
{
    const SettingsState& settings = m_app.settings();
    for (auto [box, text] : {std::pair{m_comPortNum, settings.comPortNumText()},
                             std::pair{m_comPortBaud, settings.comPortBaudText()}}) {
        if (box->currentText() != text)
            box->setEditText(text);
    }
}

void SettingsPage::showPortItems()
{
    const SettingsState& settings = m_app.settings();
    for (auto [box, items] : {std::pair{m_comPortNum, settings.comPortNumItems()},
                              std::pair{m_comPortBaud, settings.comPortBaudItems()}}) {
        const QSignalBlocker blocker(box);
        box->clear();
        box->addItems(items);
    }
    // Filling a list puts its first item in the text; the settings' texts stand.
    m_comPortNum->setEditText(settings.comPortNumText());
    m_comPortBaud->setEditText(settings.comPortBaudText());
}

void SettingsPage::save()
{
    m_app.Button1Click();
}

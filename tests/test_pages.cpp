// The four pages besides the main one, driven through their widgets in a whole window over a
// whole core: the settings editors, the trip grid and its filter, the tank buttons, and that
// every label and gauge of the window shows its display item.

#include "app/TachoraApp.h"
#include "common/ErrorReporter.h"
#include "display/DisplayState.h"
#include "display/Navigation.h"
#include "link/SerialPortDevice.h"
#include "platform/PortNames.h"
#include "settings/SettingsState.h"
#include "support/FakeClock.h"
#include "trip/TripComputer.h"
#include "trip/TripLog.h"
#include "trip/TripLogModel.h"
#include "ui/FlatButton.h"
#include "ui/GroupBox.h"
#include "ui/MainWindow.h"
#include "ui/SpinEditBox.h"
#include "ui/TripGrid.h"
#include "ui/instruments/InstrumentWidget.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

// No port is there: every open fails, as for a device path that does not exist. The
// attempts are what a reopen leaves behind.
class MissingPort : public SerialPortDevice
{
public:
    QStringList attempts;
    bool open(const QString& device, qint32, QString* error) override
    {
        attempts << device;
        *error = QStringLiteral("no such device: ") + device;
        return false;
    }
    void close() override {}
    bool isOpen() const override { return false; }
    bool write(const QByteArray&, QString* error) override
    {
        *error = QStringLiteral("not open");
        return false;
    }
    QByteArray readAll() override { return {}; }
};

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct SettingsLines
{
    QByteArray mapMaf = "MAP";
    QByteArray protocol = "Automatic";
    QByteArray fastPull = "0";
    QByteArray mode21 = "0";
    QByteArray v = "2300";
};

struct Fixture
{
    QTemporaryDir work;
    QTemporaryDir runtime;
    FakeClock clock;
    MissingPort* port = nullptr;
    std::unique_ptr<TachoraApp> app;
    std::unique_ptr<MainWindow> window;

    explicit Fixture(const SettingsLines& s = {}, const QByteArray& initCommands = {})
    {
        const QByteArray portPath = work.filePath(QStringLiteral("no-such-dir/elm327")).toUtf8();
        writeFile(work.filePath(QStringLiteral("Tachora.ini")),
                  "port=" + portPath + "\r\nbaud=38400\r\nskins=\r\nv=" + s.v +
                      "\r\nh=75\r\nMapMaf=" + s.mapMaf + "\r\nprotocol=" + s.protocol +
                      "\r\nFuelTank=65\r\nKSpeed=1.00\r\nEngineWarm=0.00\r\nFastPull=" +
                      s.fastPull + "\r\nMode21=" + s.mode21 + "\r\nPause=200\r\n");
        if (!initCommands.isEmpty())
            writeFile(work.filePath(QStringLiteral("ELM.ini")), initCommands);
        auto device = std::make_unique<MissingPort>();
        port = device.get();
        app = std::make_unique<TachoraApp>(clock, TachoraApp::Paths{work.path(), runtime.path()},
                                           std::move(device));
        // As the program does it: the window first, then the start-up fills it.
        window = std::make_unique<MainWindow>(*app);
        app->formCreate({});
        window->show();
    }

    ~Fixture()
    {
        window.reset();
        app.reset();
    }

    template <typename T> T* find(const char* name) const
    {
        T* w = window->findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qWarning("no %s named %s", T::staticMetaObject.className(), name);
        return w;
    }

    void showPage(Navigation::Place place)
    {
        app->navigation().click(place);
        QApplication::processEvents();
    }
};

// The button of a spin box, where the user presses it.
QPoint spinButtonCentre(QAbstractSpinBox* box, QStyle::SubControl button)
{
    QStyleOptionSpinBox opt;
    opt.initFrom(box);
    opt.subControls = QStyle::SC_All;
    opt.buttonSymbols = box->buttonSymbols();
    opt.frame = box->hasFrame();
    opt.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
    return box->style()->subControlRect(QStyle::CC_SpinBox, &opt, button, box).center();
}

// Answers the next message box that comes up modal with `button`; records its text.
class MessageBoxAnswer : public QObject
{
public:
    QString question;

    explicit MessageBoxAnswer(QMessageBox::StandardButton button)
    {
        auto* timer = new QTimer(this);
        timer->setInterval(10);
        connect(timer, &QTimer::timeout, this, [this, timer, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            question = box->text();
            timer->stop();
            box->button(button)->click();
        });
        timer->start();
    }
};

TripRecord trip(QDate date, QTime start, double distance)
{
    TripRecord r;
    r.startDate = date;
    r.startTime = start;
    r.timeAll = QTime(0, 30);
    r.timeTraffMs = 20 * 60 * 1000;
    r.distance = distance;
    r.rashod = distance / 10;
    r.rashodTraff = distance / 12;
    r.fuelTank = 40;
    r.mpg = 10;
    r.mpgTraff = 8.3;
    r.averageSpeed = 45;
    r.maxSpeed = 90;
    return r;
}

const QStringList kSummaryLabels{QStringLiteral("LabelDistance2"), QStringLiteral("LabelTopl2"),
                                 QStringLiteral("LabelRashod2"), QStringLiteral("LabelSpeedSr"),
                                 QStringLiteral("LabelSpeedMax")};

} // namespace

class TestPages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyLabelAndGaugeShowsItsItem();
    void spinEditsStayInTheirRange_data();
    void spinEditsStayInTheirRange();
    void mapMafShowsTheMapGroupOnlyForMap_data();
    void mapMafShowsTheMapGroupOnlyForMap();
    void settingsEditorsShowTheSettingsAndTakeTheUsersEdits();
    void onlyAUserEditOfThePortOrRateReopensThePort();
    void focusFollowsTheDesignedOrder();
    void saveButtonWritesTheSettingsOrReportsWhyNot();
    void gridListsNewestFirstAndWritesEditsToTheLog();
    void deletingARecordAsksFirst_data();
    void deletingARecordAsksFirst();
    void clearButtonEmptiesTheLog();
    void filterFollowsTheDisplayBothWays();
    void periodSummaryStaysWhileTheTripGoesOn();
    void tankButtonsKeepTheTankWithinItsRange_data();
    void tankButtonsKeepTheTankWithinItsRange();
};

void TestPages::everyLabelAndGaugeShowsItsItem()
{
    Fixture f;
    for (int i = 0; i < kDisplayItemCount; ++i) {
        const auto id = DisplayId(i);
        const QString name = DisplayState::name(id);
        switch (DisplayState::kind(id)) {
        case DisplayKind::Label: {
            auto* label = f.window->findChild<QLabel*>(name);
            QVERIFY2(label, qPrintable(name));
            QCOMPARE(label->text(), f.app->display().text(id));
            const QString text = QStringLiteral("12.5 ") + name;
            f.app->display().setText(id, text);
            QCOMPARE(label->text(), text);
            break;
        }
        case DisplayKind::Gauge: {
            auto* gauge = f.window->findChild<InstrumentWidget*>(name);
            QVERIFY2(gauge, qPrintable(name));
            QCOMPARE(gauge->minimum(), DisplayState::minimum(id));
            QCOMPARE(gauge->maximum(), DisplayState::maximum(id));
            QCOMPARE(gauge->value(), f.app->display().value(id));
            f.app->display().setValue(id, DisplayState::maximum(id) + 1);
            QCOMPARE(gauge->value(), DisplayState::maximum(id));
            break;
        }
        default:
            break;
        }
    }
    // The engine speed text for the host export is there, black on the black page.
    auto* rpm = f.find<QLabel>("LabelRPM");
    QVERIFY(rpm);
    QCOMPARE(rpm->palette().color(QPalette::WindowText), QColor(Qt::black));
    QCOMPARE(rpm->pos(), QPoint(352, 392));
    // The tank edit shows the tank.
    f.app->display().setTankValue(42.5);
    QCOMPARE(f.find<QLineEdit>("EditTank")->text(), QStringLiteral("42.50"));
}

void TestPages::spinEditsStayInTheirRange_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("spin");
    QTest::addColumn<double>("start");
    QTest::addColumn<bool>("up");
    QTest::addColumn<double>("expected");
    QTest::addColumn<QString>("text");

    const int kSpeed = int(SettingsState::Spin::KSpeed);
    const int fuelTank = int(SettingsState::Spin::FuelTank);
    const int progrev = int(SettingsState::Spin::Progrev);
    const int kor = int(SettingsState::Spin::Kor);
    QTest::newRow("KSpeed up at 2.00")
        << QByteArray("KSpeed") << kSpeed << 2.0 << true << 2.0 << QStringLiteral("2.00");
    QTest::newRow("KSpeed up from 1.99")
        << QByteArray("KSpeed") << kSpeed << 1.99 << true << 2.0 << QStringLiteral("2.00");
    QTest::newRow("FuelTank down at 10")
        << QByteArray("FuelTank") << fuelTank << 10.0 << false << 10.0 << QStringLiteral("10");
    QTest::newRow("FuelTank down from 11")
        << QByteArray("FuelTank") << fuelTank << 11.0 << false << 10.0 << QStringLiteral("10");
    QTest::newRow("Progrev up from 1.50")
        << QByteArray("Progrev") << progrev << 1.5 << true << 2.0 << QStringLiteral("2.00");
    QTest::newRow("Kor up at 95") << QByteArray("Kor") << kor << 95.0 << true << 95.0
                                  << QStringLiteral("95");
}

void TestPages::spinEditsStayInTheirRange()
{
    QFETCH(QByteArray, name);
    QFETCH(int, spin);
    QFETCH(double, start);
    QFETCH(bool, up);
    QFETCH(double, expected);
    QFETCH(QString, text);

    Fixture f;
    f.showPage(Navigation::Place::Settings);
    const auto which = SettingsState::Spin(spin);
    auto* box = f.find<SpinEditBox>(name.constData());
    QVERIFY(box);

    // The settings' value shows in the box.
    f.app->settings().setSpinValue(which, start);
    QCOMPARE(box->value(), start);

    // Once with the mouse on the arrow button, once with the arrow key: both stop at the end.
    for (bool mouse : {true, false}) {
        f.app->settings().setSpinValue(which, start);
        if (mouse) {
            QTest::mouseClick(
                box, Qt::LeftButton, {},
                spinButtonCentre(box, up ? QStyle::SC_SpinBoxUp : QStyle::SC_SpinBoxDown));
        } else {
            QTest::keyClick(box, up ? Qt::Key_Up : Qt::Key_Down);
        }
        QCOMPARE(box->value(), expected);
        QCOMPARE(box->text(), text);
        QCOMPARE(f.app->settings().spinEdit(which).value(), expected);
        QCOMPARE(f.app->settings().spinEdit(which).text(), text);
    }
}

void TestPages::mapMafShowsTheMapGroupOnlyForMap_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<bool>("mapAtStart");
    QTest::newRow("MAP in the settings file") << QByteArray("MAP") << true;
    QTest::newRow("MAF in the settings file") << QByteArray("MAF") << false;
}

void TestPages::mapMafShowsTheMapGroupOnlyForMap()
{
    QFETCH(QByteArray, method);
    QFETCH(bool, mapAtStart);

    SettingsLines lines;
    lines.mapMaf = method;
    Fixture f(lines);
    f.showPage(Navigation::Place::Settings);
    auto* mapMaf = f.find<RadioGroup>("MapMaf");
    auto* group = f.find<GroupBox>("GroupBoxMAP");
    QVERIFY(mapMaf && group);
    QVERIFY(group->findChild<QWidget*>(QStringLiteral("Kor")));
    QVERIFY(group->findChild<QWidget*>(QStringLiteral("VD")));

    QCOMPARE(mapMaf->selected(), mapAtStart ? 0 : 1);
    QCOMPARE(group->isVisible(), mapAtStart);

    for (int item : {1, 0, 1, 0}) {
        QRadioButton* button = mapMaf->button(item);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
        QCOMPARE(f.app->settings().mapMaf(), item);
        QCOMPARE(group->isVisible(), item == 0);
    }
}

void TestPages::settingsEditorsShowTheSettingsAndTakeTheUsersEdits()
{
    SettingsLines lines;
    lines.protocol = "ISO 9141-2 (5 baud init, 10.4 Kbaud)";
    lines.fastPull = "1";
    lines.mode21 = "1";
    lines.v = "1800";
    Fixture f(lines, "ATSP3\r\nATH0\r\n");
    f.showPage(Navigation::Place::Settings);
    SettingsState& settings = f.app->settings();

    auto* protokol = f.find<QComboBox>("ComboBoxProtokol");
    auto* vd = f.find<QLineEdit>("VD");
    auto* fast = f.find<QCheckBox>("FastPulling");
    auto* toyota = f.find<QCheckBox>("Toyota21");
    auto* imitation = f.find<QCheckBox>("CheckBoxImitation");
    auto* listBox = f.find<QListWidget>("ListBox1");
    QVERIFY(protokol && vd && fast && toyota && imitation && listBox);

    // What the settings file said.
    QCOMPARE(protokol->count(), 11);
    QVERIFY(!protokol->isEditable());
    QCOMPARE(protokol->currentIndex(), 3);
    QCOMPARE(vd->text(), QStringLiteral("1800"));
    QVERIFY(fast->isChecked());
    QVERIFY(toyota->isChecked());
    QCOMPARE(listBox->count(), 2);
    QCOMPARE(listBox->item(0)->text(), QStringLiteral("ATSP3"));
    QVERIFY(!listBox->isVisible());

    // The user's edits reach the settings.
    QTest::mouseClick(fast, Qt::LeftButton, {}, QPoint(6, fast->height() / 2));
    QVERIFY(!settings.fastPulling());
    QTest::keyClick(toyota, Qt::Key_Space);
    QVERIFY(!settings.toyota21());
    vd->selectAll();
    QTest::keyClicks(vd, "1600");
    QCOMPARE(settings.vd(), QStringLiteral("1600"));
    protokol->setFocus();
    QTest::keyClick(protokol, Qt::Key_Down);
    QCOMPARE(settings.comboBoxProtokol(), 4);

    // And the settings' own changes show.
    settings.setVd(QStringLiteral("2000"));
    QCOMPARE(vd->text(), QStringLiteral("2000"));
    settings.setComboBoxProtokol(SettingsState::kProtokolFromFile);
    QCOMPARE(protokol->currentText(), QStringLiteral("Из файла"));
    settings.setFastPulling(true);
    QVERIFY(fast->isChecked());

    // The imitation switch is the display's check box, both ways.
    QVERIFY(!imitation->isChecked());
    QCOMPARE(imitation->text(), QStringLiteral("Имитация"));
    QTest::mouseClick(imitation, Qt::LeftButton, {}, QPoint(6, imitation->height() / 2));
    QVERIFY(f.app->display().isChecked(DisplayId::CheckBoxImitation));
    f.app->display().setChecked(DisplayId::CheckBoxImitation, false);
    QVERIFY(!imitation->isChecked());
}

void TestPages::onlyAUserEditOfThePortOrRateReopensThePort()
{
    Fixture f;
    f.showPage(Navigation::Place::Settings);
    SettingsState& settings = f.app->settings();
    auto* portBox = f.find<QComboBox>("ComPortNum");
    auto* baudBox = f.find<QComboBox>("ComPortBaud");
    QVERIFY(portBox && baudBox);
    QVERIFY(portBox->isEditable() && baudBox->isEditable());
    QCOMPARE(portBox->currentText(), settings.comPortNumText());
    QCOMPARE(baudBox->currentText(), QStringLiteral("38400"));
    QCOMPARE(baudBox->count(), 2);
    const qsizetype startAttempts = f.port->attempts.size();

    // The user types a bare port number over the text: port 4, opened at once.
    portBox->lineEdit()->selectAll();
    QTest::keyClicks(portBox->lineEdit(), "4");
    QCOMPARE(settings.comPortNumText(), QStringLiteral("4"));
    QCOMPARE(settings.portNumber(), quint16(4));
    QCOMPARE(f.port->attempts.size(), startAttempts + 1);
    QCOMPARE(f.port->attempts.last(), PortNames::deviceForNumber(4));

    // The program sets the texts: shown, but the port is left alone.
    settings.setComPortNumText(QStringLiteral("COM9"));
    settings.setComPortBaudText(QStringLiteral("9600"));
    QCOMPARE(portBox->currentText(), QStringLiteral("COM9"));
    QCOMPARE(baudBox->currentText(), QStringLiteral("9600"));
    QCOMPARE(settings.portNumber(), quint16(4));
    QCOMPARE(settings.baudRate(), 38400);
    QCOMPARE(f.port->attempts.size(), startAttempts + 1);
    // Nor does a new list of ports change the text.
    settings.setComPortNumItems({QStringLiteral("/dev/ttyUSB0"), QStringLiteral("/dev/ttyUSB1")});
    QCOMPARE(portBox->count(), 2);
    QCOMPARE(portBox->currentText(), QStringLiteral("COM9"));
    QCOMPARE(f.port->attempts.size(), startAttempts + 1);

    // The user picks a rate from the list: the port is reopened with it, and with the port
    // text the box shows.
    baudBox->showPopup();
    QAbstractItemView* list = baudBox->view();
    QTRY_VERIFY(list->isVisible());
    const QModelIndex item38400 = list->model()->index(1, 0);
    QCOMPARE(item38400.data().toString(), QStringLiteral("38400"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(item38400).center());
    QCOMPARE(baudBox->currentText(), QStringLiteral("38400"));
    QCOMPARE(settings.comPortBaudText(), QStringLiteral("38400"));
    QCOMPARE(settings.baudRate(), 38400);
    QCOMPARE(settings.portNumber(), quint16(9));
    QCOMPARE(f.port->attempts.size(), startAttempts + 2);
    QCOMPARE(f.port->attempts.last(), PortNames::deviceForNumber(9));
}

void TestPages::focusFollowsTheDesignedOrder()
{
    Fixture f;
    f.showPage(Navigation::Place::Settings);
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));

    const QStringList expected{QStringLiteral("ComPortNum"),
                               QStringLiteral("ComboBoxProtokol"),
                               QStringLiteral("ComPortBaud"),
                               QStringLiteral("Button1"),
                               QStringLiteral("CheckBoxImitation"),
                               QStringLiteral("Toyota21"),
                               QStringLiteral("FastPulling"),
                               QStringLiteral("MapMaf"),
                               QStringLiteral("VD"),
                               QStringLiteral("Kor"),
                               QStringLiteral("Progrev"),
                               QStringLiteral("KSpeed"),
                               QStringLiteral("FuelTank")};
    // The designed control that holds the focus (the line edit inside a combo box is its box).
    auto focused = [&expected]() -> QString {
        for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
            if (expected.contains(w->objectName()))
                return w->objectName();
        }
        return {};
    };
    f.find<QComboBox>("ComPortNum")->setFocus(Qt::OtherFocusReason);
    QStringList order{focused()};
    for (qsizetype i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << focused();
    }
    QCOMPARE(order, expected);
}

void TestPages::saveButtonWritesTheSettingsOrReportsWhyNot()
{
    Fixture f;
    f.showPage(Navigation::Place::Settings);
    auto* save = f.find<QPushButton>("Button1");
    auto* fuelTank = f.find<SpinEditBox>("FuelTank");
    QVERIFY(save && fuelTank);
    QCOMPARE(save->text(), QStringLiteral("Сохранить"));

    fuelTank->setValue(80);
    QTest::mouseClick(save, Qt::LeftButton);
    const QByteArray written = readFile(f.work.filePath(QStringLiteral("Tachora.ini")));
    QVERIFY2(written.contains("\r\nFuelTank=80\r\n"), written.constData());

    const int reportsBefore = f.app->errors().reportCount();
    QVERIFY(f.work.remove());
    QTest::mouseClick(save, Qt::LeftButton);
    QCOMPARE(f.app->errors().reportCount(), reportsBefore + 1);
}

void TestPages::gridListsNewestFirstAndWritesEditsToTheLog()
{
    Fixture f;
    const QDate today = f.clock.now().date();
    QVERIFY(f.app->tripLog().append(QList<TripRecord>{trip(today.addDays(-2), QTime(9, 0), 10),
                                                      trip(today, QTime(8, 0), 20),
                                                      trip(today, QTime(12, 0), 30)}));
    f.showPage(Navigation::Place::Statistics);
    auto* grid = f.find<TripGrid>("RxDBGrid1");
    QVERIFY(grid);
    QAbstractItemModel* model = grid->model();
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(model->columnCount(), int(TripLogModel::ColumnCount));
    for (int column = 0; column < TripLogModel::ColumnCount; ++column)
        QCOMPARE(grid->columnWidth(column), TripLogModel::columnWidth(column));
    auto distanceAt = [model](int row) {
        return model->index(row, TripLogModel::Distance).data().toString();
    };
    QCOMPARE(distanceAt(0), QStringLiteral("30.0"));
    QCOMPARE(distanceAt(1), QStringLiteral("20.0"));
    QCOMPARE(distanceAt(2), QStringLiteral("10.0"));

    // In place, as the user does it: F2 on the cell, a new number, Return.
    const QModelIndex cell = model->index(1, TripLogModel::Distance);
    grid->setCurrentIndex(cell);
    QVERIFY(!grid->viewport()->findChild<QLineEdit*>());
    QTest::keyClick(grid, Qt::Key_F2);
    QPointer<QLineEdit> editor = grid->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, "25.5");
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!editor);
    QCOMPARE(distanceAt(1), QStringLiteral("25.5"));

    const QList<TripLogEntry> records = f.app->tripLog().records();
    QCOMPARE(records.size(), 3);
    QCOMPARE(records[1].record.startTime, std::optional<QTime>(QTime(8, 0)));
    QCOMPARE(records[1].record.distance, std::optional<double>(25.5));
    QCOMPARE(records[0].record.distance, std::optional<double>(30));
}

void TestPages::deletingARecordAsksFirst_data()
{
    QTest::addColumn<bool>("fromMenu");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("Delete key, No") << false << int(QMessageBox::No) << false;
    QTest::newRow("Delete key, Yes") << false << int(QMessageBox::Yes) << true;
    QTest::newRow("menu, No") << true << int(QMessageBox::No) << false;
    QTest::newRow("menu, Yes") << true << int(QMessageBox::Yes) << true;
}

void TestPages::deletingARecordAsksFirst()
{
    QFETCH(bool, fromMenu);
    QFETCH(int, answer);
    QFETCH(bool, deleted);

    Fixture f;
    const QDate today = f.clock.now().date();
    QVERIFY(f.app->tripLog().append(
        QList<TripRecord>{trip(today, QTime(8, 0), 20), trip(today, QTime(12, 0), 30)}));
    f.showPage(Navigation::Place::Statistics);
    auto* grid = f.find<TripGrid>("RxDBGrid1");
    QVERIFY(grid);
    // The second row: the trip of 8:00.
    grid->setCurrentIndex(grid->model()->index(1, TripLogModel::Rashod));

    MessageBoxAnswer answering{QMessageBox::StandardButton(answer)};
    if (fromMenu) {
        QVERIFY(grid->actions().contains(grid->deleteAction()));
        QCOMPARE(grid->contextMenuPolicy(), Qt::ActionsContextMenu);
        grid->deleteAction()->trigger();
    } else {
        QTest::keyClick(grid, Qt::Key_Delete);
    }
    QCOMPARE(answering.question, QStringLiteral("Delete record?"));

    const QList<TripLogEntry> records = f.app->tripLog().records();
    QCOMPARE(records.size(), deleted ? 1 : 2);
    QCOMPARE(grid->model()->rowCount(), deleted ? 1 : 2);
    QCOMPARE(records.first().record.startTime, std::optional<QTime>(QTime(12, 0)));
}

void TestPages::clearButtonEmptiesTheLog()
{
    Fixture f;
    QVERIFY(f.app->tripLog().append(trip(f.clock.now().date(), QTime(8, 0), 20)));
    f.showPage(Navigation::Place::Statistics);
    auto* clear = f.find<FlatButton>("PngSpeedButton7");
    QVERIFY(clear);
    QCOMPARE(clear->text(), QStringLiteral("Очистить таблицу"));
    QTest::mouseClick(clear, Qt::LeftButton);
    QVERIFY(f.app->tripLog().records().isEmpty());
    QCOMPARE(f.find<TripGrid>("RxDBGrid1")->model()->rowCount(), 0);
}

void TestPages::filterFollowsTheDisplayBothWays()
{
    Fixture f;
    f.showPage(Navigation::Place::Statistics);
    auto* filter = f.find<RadioGroup>("RadioGroup1");
    QVERIFY(filter);
    QCOMPARE(filter->title(), QStringLiteral("Фильтр"));
    QCOMPARE(filter->count(), 4);
    QCOMPARE(filter->button(3)->text(), QStringLiteral("месяц"));
    QCOMPARE(filter->selected(), 0);

    QTest::mouseClick(filter->button(1), Qt::LeftButton, {},
                      QPoint(8, filter->button(1)->height() / 2));
    QCOMPARE(f.app->display().index(DisplayId::RadioGroup1), 1);
    QCOMPARE(f.find<QLabel>("LabelRezult")->text(), QStringLiteral("Суточный итог"));

    f.app->display().setIndex(DisplayId::RadioGroup1, 3);
    QCOMPARE(filter->selected(), 3);
    QCOMPARE(f.find<QLabel>("LabelRezult")->text(), QStringLiteral("Месячный итог"));
}

void TestPages::periodSummaryStaysWhileTheTripGoesOn()
{
    Fixture f;
    QVERIFY(f.app->tripLog().append(trip(f.clock.now().date().addDays(-3), QTime(8, 0), 20)));
    f.showPage(Navigation::Place::Statistics);
    auto* filter = f.find<RadioGroup>("RadioGroup1");
    auto* time = f.find<QLabel>("LabelTime");
    QVERIFY(filter && time);
    auto summary = [&f] {
        QStringList texts;
        for (const QString& name : kSummaryLabels)
            texts << f.window->findChild<QLabel*>(name)->text();
        return texts;
    };
    TripComputer& trip = f.app->trip();
    trip.startTrip();
    auto sample = [&](int speed) {
        f.clock.advance(61 * 1000);
        trip.processSpeedSample(f.clock.tick, speed);
    };

    // On the first item the labels follow the running trip...
    sample(60);
    sample(70);
    QCOMPARE(f.find<QLabel>("LabelSpeedMax")->text(), QStringLiteral("70"));

    // ...on "неделя" they hold the week's summary, and the trip only moves the time.
    QRadioButton* week = filter->button(2);
    QCOMPARE(week->text(), QStringLiteral("неделя"));
    QTest::mouseClick(week, Qt::LeftButton, {}, QPoint(8, week->height() / 2));
    QCOMPARE(f.app->display().index(DisplayId::RadioGroup1), 2);
    const QStringList weekSummary = summary();
    QCOMPARE(weekSummary,
             (QStringList{QStringLiteral("20.0"), QStringLiteral("2.0"), QStringLiteral("10.0"),
                          QStringLiteral("45.0"), QStringLiteral("90")}));
    const QString timeBefore = time->text();
    sample(120);
    QCOMPARE(summary(), weekSummary);
    QVERIFY(time->text() != timeBefore);
}

void TestPages::tankButtonsKeepTheTankWithinItsRange_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<double>("tank");
    QTest::addColumn<QString>("shown");
    QTest::newRow("+10 at 95.5") << QByteArray("SpeedButton1") << QStringLiteral("+10") << 95.5
                                 << QStringLiteral("100.00");
    QTest::newRow("+1 at 99.5") << QByteArray("SpeedButton2") << QStringLiteral("+1") << 99.5
                                << QStringLiteral("100.00");
    QTest::newRow("+1 at 20") << QByteArray("SpeedButton2") << QStringLiteral("+1") << 20.0
                              << QStringLiteral("21.00");
    QTest::newRow("-10 at 5") << QByteArray("SpeedButton3") << QStringLiteral("-10") << 5.0
                              << QStringLiteral("0.00");
    QTest::newRow("-1 at 0.5") << QByteArray("SpeedButton4") << QStringLiteral("-1") << 0.5
                               << QStringLiteral("0.00");
    QTest::newRow("full tank") << QByteArray("SpeedButton5")
                               << QStringLiteral("Заправить полный бак") << 5.0
                               << QStringLiteral("65.00");
}

void TestPages::tankButtonsKeepTheTankWithinItsRange()
{
    QFETCH(QByteArray, button);
    QFETCH(QString, caption);
    QFETCH(double, tank);
    QFETCH(QString, shown);

    Fixture f;
    f.showPage(Navigation::Place::Fuel);
    auto* b = f.find<FlatButton>(button.constData());
    auto* edit = f.find<QLineEdit>("EditTank");
    QVERIFY(b && edit);
    QVERIFY(edit->isReadOnly());
    QCOMPARE(b->text(), caption);
    QCOMPARE(f.find<QLabel>("DistPred")->text(), QStringLiteral("--"));

    f.app->trip().accounting().RestoreTank(tank);
    QTest::mouseClick(b, Qt::LeftButton);
    QCOMPARE(edit->text(), shown);
}

QTEST_MAIN(TestPages)
#include "test_pages.moc"

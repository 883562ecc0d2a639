#pragma once

#include <QWidget>

class DisplayBinder;
class GroupBox;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class RadioGroup;
class SpinEditBox;
class TachoraApp;

// sTabSheet3: the editors of the settings (port, rate, protocol, calculation method with the
// engine group, polling options, vehicle), the imitation switch, the save button and the
// speed sample interval. The editors show the settings and hand the user's edits to them.
class SettingsPage : public QWidget
{
    Q_OBJECT

public:
    SettingsPage(TachoraApp& app, DisplayBinder& binder, QWidget* parent = nullptr);

private:
    QComboBox* portBox(const char* name, const QRect& geometry);
    void portTextEdited(QComboBox* box, const QString& text);
    void showPortTexts();
    void showPortItems();
    void save();

    TachoraApp& m_app;
    QComboBox* m_comPortNum = nullptr;
    QComboBox* m_comPortBaud = nullptr;
    QComboBox* m_protokol = nullptr;
    RadioGroup* m_mapMaf = nullptr;
    GroupBox* m_groupBoxMap = nullptr;
    SpinEditBox* m_kor = nullptr;
    QLineEdit* m_vd = nullptr;
    QCheckBox* m_fastPulling = nullptr;
    QCheckBox* m_toyota21 = nullptr;
    SpinEditBox* m_fuelTank = nullptr;
    SpinEditBox* m_kSpeed = nullptr;
    SpinEditBox* m_progrev = nullptr;
    QCheckBox* m_imitation = nullptr;
    QPushButton* m_save = nullptr;
    QListWidget* m_listBox1 = nullptr;
};

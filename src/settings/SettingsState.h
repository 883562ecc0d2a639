#pragma once

#include "SpinEdit.h"

#include <QObject>
#include <QString>
#include <QStringList>

// The settings as the settings page's editors hold them, together with the serial port
// component's configuration and the custom init command list. The page and the program's
// logic both read and write it here; every setter signals only a real change.
//
// Nothing here reopens the port or touches a device: the port texts set here are
// programmatic sets, told apart from the user's edits by the layer that owns the port.
class SettingsState : public QObject
{
    Q_OBJECT

public:
    enum class Spin
    {
        Kor,
        FuelTank,
        KSpeed,
        Progrev
    };
    Q_ENUM(Spin)

    // MapMaf items: how the engine's air intake is measured.
    static constexpr int kMap = 0; // manifold pressure
    static constexpr int kMaf = 1; // mass air flow

    static constexpr int kProtokolAutomatic = 0;
    static constexpr int kProtokolFromFile = 10;

    explicit SettingsState(QObject* parent = nullptr);

    // The fixed item lists of the radio group and the protocol combo box.
    static QStringList mapMafItems();
    static QStringList comboBoxProtokolItems();

    // VD: engine displacement in cm3, free text.
    QString vd() const { return m_vd; }
    void setVd(const QString& text);

    const SpinEdit& spinEdit(Spin which) const;
    const SpinEdit& kor() const { return m_kor; }
    const SpinEdit& fuelTank() const { return m_fuelTank; }
    const SpinEdit& kSpeed() const { return m_kSpeed; }
    const SpinEdit& progrev() const { return m_progrev; }
    void setSpinValue(Spin which, double value);
    void setSpinText(Spin which, const QString& text);
    void stepUp(Spin which);
    void stepDown(Spin which);

    // Selected item of the MAP/MAF radio group; other indexes are ignored.
    int mapMaf() const { return m_mapMaf; }
    void setMapMaf(int index);

    // Selected protocol, 0..10; other indexes are ignored.
    int comboBoxProtokol() const { return m_comboBoxProtokol; }
    QString comboBoxProtokolText() const;
    void setComboBoxProtokol(int index);

    bool fastPulling() const { return m_fastPulling; }
    void setFastPulling(bool checked);
    bool toyota21() const { return m_toyota21; }
    void setToyota21(bool checked);

    // The port to use: a number n for COMn, or a device path, which then names the port
    // instead of the number. Setting one clears the other.
    quint16 portNumber() const { return m_portNumber; }
    QString portPath() const { return m_portPath; }
    void setPortNumber(quint16 number);
    void setPortPath(const QString& path);

    qint32 baudRate() const { return m_baudRate; }
    void setBaudRate(qint32 baud);

    // The wait before the port is reopened, in milliseconds.
    qint32 pauseMs() const { return m_pauseMs; }
    void setPauseMs(qint32 ms);

    // The serial port component's own configuration, which the settings file is saved
    // from. As with the port above, a path replaces the number.
    quint16 comNumber() const { return m_comNumber; }
    QString comPath() const { return m_comPath; }
    qint32 comBaud() const { return m_comBaud; }
    void setComNumber(quint16 number);
    void setComPath(const QString& path);
    void setComBaud(qint32 baud);

    // The texts and items of the two editable port combo boxes.
    QString comPortNumText() const { return m_comPortNumText; }
    QString comPortBaudText() const { return m_comPortBaudText; }
    void setComPortNumText(const QString& text);
    void setComPortBaudText(const QString& text);
    QStringList comPortNumItems() const { return m_comPortNumItems; }
    QStringList comPortBaudItems() const { return m_comPortBaudItems; }
    void setComPortNumItems(const QStringList& items);
    void setComPortBaudItems(const QStringList& items);

    // ListBox1: the custom init commands, sent as they are.
    QStringList listBox1() const { return m_listBox1; }
    void setListBox1(const QStringList& commands);
    void appendToListBox1(const QStringList& commands);

Q_SIGNALS:
    void vdChanged(const QString& text);
    void korChanged(double value);
    void fuelTankChanged(double value);
    void kSpeedChanged(double value);
    void progrevChanged(double value);
    void mapMafChanged(int index);
    void comboBoxProtokolChanged(int index);
    void fastPullingChanged(bool checked);
    void toyota21Changed(bool checked);
    void portChanged();
    void baudRateChanged(qint32 baud);
    void pauseMsChanged(qint32 ms);
    void comConfigChanged();
    void comPortTextsChanged();
    void comPortItemsChanged();
    void listBox1Changed();

private:
    SpinEdit& spinEditRef(Spin which);
    void emitSpinChanged(Spin which);

    QString m_vd = QStringLiteral("2300");
    SpinEdit m_kor{60, 95, 1, 0, 75};
    SpinEdit m_fuelTank{10, 100, 1, 0, 65};
    SpinEdit m_kSpeed{1, 2, 0.01, 2, 1};
    SpinEdit m_progrev{0, 2, 1, 2, 0};
    int m_mapMaf = kMap;
    int m_comboBoxProtokol = kProtokolAutomatic;
    bool m_fastPulling = false;
    bool m_toyota21 = false;

    quint16 m_portNumber = 0;
    QString m_portPath;
    qint32 m_baudRate = 0;
    qint32 m_pauseMs = 0;

    quint16 m_comNumber = 0;
    QString m_comPath;
    qint32 m_comBaud = 38400;

    QString m_comPortNumText = QStringLiteral("COM1");
    QString m_comPortBaudText;
    QStringList m_comPortNumItems;
    QStringList m_comPortBaudItems{QStringLiteral("9600"), QStringLiteral("38400")};

    QStringList m_listBox1;
};

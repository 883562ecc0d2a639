#include "SettingsState.h"

#include <utility>

SettingsState::SettingsState(QObject* parent) : QObject(parent) {}

QStringList SettingsState::mapMafItems()
{
    static const QStringList kItems{QStringLiteral("  MAP"), QStringLiteral("  MAF")};
    return kItems;
}

QStringList SettingsState::comboBoxProtokolItems()
{
    static const QStringList kItems{
        QStringLiteral("Automatic"),
        QStringLiteral("SAE J1850 PWM (41.6 Kbaud)"),
        QStringLiteral("SAE J1850 VPW (10.4 Kbaud)"),
        QStringLiteral("ISO 9141-2 (5 baud init, 10.4 Kbaud)"),
        QStringLiteral("ISO 14230-4 KWP (5 baud init, 10.4 Kbaud)"),
        QStringLiteral("ISO 14230-4 KWP (fast init, 10.4 Kbaud)"),
        QStringLiteral("ISO 15765-4 CAN (11 bit ID, 500 Kbaud)"),
        QStringLiteral("ISO 15765-4 CAN (29 bit ID, 500 Kbaud)"),
        QStringLiteral("ISO 15765-4 CAN (11 bit ID, 250 Kbaud)"),
        QStringLiteral("ISO 15765-4 CAN (29 bit ID, 250 Kbaud)"),
        QStringLiteral("Из файла"),
    };
    return kItems;
}

void SettingsState::setVd(const QString& text)
{
    if (text == m_vd)
        return;
    m_vd = text;
    emit vdChanged(m_vd);
}

const SpinEdit& SettingsState::spinEdit(Spin which) const
{
    switch (which) {
    case Spin::Kor:
        return m_kor;
    case Spin::FuelTank:
        return m_fuelTank;
    case Spin::KSpeed:
        return m_kSpeed;
    case Spin::Progrev:
        break;
    }
    return m_progrev;
}

SpinEdit& SettingsState::spinEditRef(Spin which)
{
    return const_cast<SpinEdit&>(std::as_const(*this).spinEdit(which));
}

void SettingsState::emitSpinChanged(Spin which)
{
    const double value = spinEdit(which).value();
    switch (which) {
    case Spin::Kor:
        emit korChanged(value);
        break;
    case Spin::FuelTank:
        emit fuelTankChanged(value);
        break;
    case Spin::KSpeed:
        emit kSpeedChanged(value);
        break;
    case Spin::Progrev:
        emit progrevChanged(value);
        break;
    }
}

void SettingsState::setSpinValue(Spin which, double value)
{
    if (spinEditRef(which).setValue(value))
        emitSpinChanged(which);
}

void SettingsState::setSpinText(Spin which, const QString& text)
{
    if (spinEditRef(which).setText(text))
        emitSpinChanged(which);
}

void SettingsState::stepUp(Spin which)
{
    if (spinEditRef(which).stepUp())
        emitSpinChanged(which);
}

void SettingsState::stepDown(Spin which)
{
    if (spinEditRef(which).stepDown())
        emitSpinChanged(which);
}

void SettingsState::setMapMaf(int index)
{
    if (index < 0 || index >= mapMafItems().size() || index == m_mapMaf)
        return;
    m_mapMaf = index;
    emit mapMafChanged(m_mapMaf);
}

QString SettingsState::comboBoxProtokolText() const
{
    return comboBoxProtokolItems().at(m_comboBoxProtokol);
}

void SettingsState::setComboBoxProtokol(int index)
{
    if (index < 0 || index >= comboBoxProtokolItems().size() || index == m_comboBoxProtokol)
        return;
    m_comboBoxProtokol = index;
    emit comboBoxProtokolChanged(m_comboBoxProtokol);
}

void SettingsState::setFastPulling(bool checked)
{
    if (checked == m_fastPulling)
        return;
    m_fastPulling = checked;
    emit fastPullingChanged(m_fastPulling);
}

void SettingsState::setToyota21(bool checked)
{
    if (checked == m_toyota21)
        return;
    m_toyota21 = checked;
    emit toyota21Changed(m_toyota21);
}

void SettingsState::setPortNumber(quint16 number)
{
    if (number == m_portNumber && m_portPath.isEmpty())
        return;
    m_portNumber = number;
    m_portPath.clear();
    emit portChanged();
}

void SettingsState::setPortPath(const QString& path)
{
    if (path == m_portPath && m_portNumber == 0)
        return;
    m_portPath = path;
    m_portNumber = 0;
    emit portChanged();
}

void SettingsState::setBaudRate(qint32 baud)
{
    if (baud == m_baudRate)
        return;
    m_baudRate = baud;
    emit baudRateChanged(m_baudRate);
}

void SettingsState::setPauseMs(qint32 ms)
{
    if (ms == m_pauseMs)
        return;
    m_pauseMs = ms;
    emit pauseMsChanged(m_pauseMs);
}

void SettingsState::setComNumber(quint16 number)
{
    if (number == m_comNumber && m_comPath.isEmpty())
        return;
    m_comNumber = number;
    m_comPath.clear();
    emit comConfigChanged();
}

void SettingsState::setComPath(const QString& path)
{
    if (path == m_comPath && m_comNumber == 0)
        return;
    m_comPath = path;
    m_comNumber = 0;
    emit comConfigChanged();
}

void SettingsState::setComBaud(qint32 baud)
{
    if (baud == m_comBaud)
        return;
    m_comBaud = baud;
    emit comConfigChanged();
}

void SettingsState::setComPortNumText(const QString& text)
{
    if (text == m_comPortNumText)
        return;
    m_comPortNumText = text;
    emit comPortTextsChanged();
}

void SettingsState::setComPortBaudText(const QString& text)
{
    if (text == m_comPortBaudText)
        return;
    m_comPortBaudText = text;
    emit comPortTextsChanged();
}

void SettingsState::setComPortNumItems(const QStringList& items)
{
    if (items == m_comPortNumItems)
        return;
    m_comPortNumItems = items;
    emit comPortItemsChanged();
}

void SettingsState::setComPortBaudItems(const QStringList& items)
{
    if (items == m_comPortBaudItems)
        return;
    m_comPortBaudItems = items;
    emit comPortItemsChanged();
}

void SettingsState::setListBox1(const QStringList& commands)
{
    if (commands == m_listBox1)
        return;
    m_listBox1 = commands;
    emit listBox1Changed();
}

void SettingsState::appendToListBox1(const QStringList& commands)
{
    if (commands.isEmpty())
        return;
    m_listBox1 += commands;
    emit listBox1Changed();
}

#include "ui/SpinEditBox.h"

SpinEditBox::SpinEditBox(SettingsState& settings, SettingsState::Spin which, QWidget* parent)
    : QDoubleSpinBox(parent), m_settings(settings), m_which(which)
{
    // The settings write numbers with a point; so does the editor, whatever the locale.
    setLocale(QLocale::c());
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Text, Qt::black);
    // The arrows of the buttons, whatever the editor lies on.
    pal.setColor(QPalette::WindowText, Qt::black);
    pal.setColor(QPalette::ButtonText, Qt::black);
    setPalette(pal);

    const SpinEdit& edit = settings.spinEdit(which);
    setDecimals(edit.decimals());
    setRange(edit.minimum(), edit.maximum());
    setSingleStep(edit.increment());
    showSettings();

    connect(this, &QDoubleSpinBox::valueChanged, this, [this](double value) {
        if (!m_showing)
            m_settings.setSpinValue(m_which, value);
    });
    void (SettingsState::*changed)(double) = nullptr;
    switch (which) {
    case SettingsState::Spin::Kor:
        changed = &SettingsState::korChanged;
        break;
    case SettingsState::Spin::FuelTank:
        changed = &SettingsState::fuelTankChanged;
        break;
    case SettingsState::Spin::KSpeed:
        changed = &SettingsState::kSpeedChanged;
        break;
    case SettingsState::Spin::Progrev:
        changed = &SettingsState::progrevChanged;
        break;
    }
    connect(&settings, changed, this, &SpinEditBox::showSettings);
}

void SpinEditBox::showSettings()
{
    m_showing = true;
    setValue(m_settings.spinEdit(m_which).value());
    m_showing = false;
}

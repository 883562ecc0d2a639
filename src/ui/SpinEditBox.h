#pragma once

#include "settings/SettingsState.h"

#include <QDoubleSpinBox>

// The editor of one of the settings' spin edits: its range, step and decimals, the value the
// settings hold. What the user enters goes to the settings, which keep it in range; a change
// of the settings shows here without being sent back.
class SpinEditBox : public QDoubleSpinBox
{
    Q_OBJECT

public:
    SpinEditBox(SettingsState& settings, SettingsState::Spin which, QWidget* parent = nullptr);

    SettingsState::Spin which() const { return m_which; }

private:
    void showSettings();

    SettingsState& m_settings;
    SettingsState::Spin m_which;
    bool m_showing = false;
};

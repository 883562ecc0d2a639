#pragma once

#include "SettingsFileError.h"

#include <QByteArray>
#include <QLatin1String>
#include <QString>

class SettingsState;

// The settings file "Tachora.ini" and the custom init command file "ELM.ini" in one
// directory (the program passes its working directory). Both are Windows-1251 text.
// Every failure is thrown as SettingsFileError; the caller reports it and carries on.
class SettingsFile
{
public:
    static constexpr QLatin1String kSettingsFileName{"Tachora.ini"};
    static constexpr QLatin1String kInitCommandsFileName{"ELM.ini"};

    enum class LoadOutcome
    {
        Read,            // the settings file was there and has been read
        DefaultsWritten, // it could not be opened: the default file was written and taken
    };

    explicit SettingsFile(const QString& directory);

    QString directory() const { return m_directory; }
    QString settingsFilePath() const;
    QString initCommandsFilePath() const;

    // Reads the thirteen settings lines into the state. A settings file that cannot be
    // opened is replaced by the default file, whose values are then taken; if even that
    // cannot be written, the defaults are still taken before the write error is thrown.
    // A port, baud or pause value that is not a whole number stops the reading at its
    // line: what was read before stays, nothing after it is applied.
    LoadOutcome loadSettings(SettingsState& state) const;

    // Writes the settings file anew from the state, all or nothing: on failure the old
    // file stays as it was.
    void saveSettings(const SettingsState& state) const;

    // Appends the lines of "ELM.ini" to the state's ListBox1. A missing file adds nothing;
    // a file that is there but cannot be read throws.
    void loadInitCommands(SettingsState& state) const;

    // The bytes of the default settings file and of the file saveSettings() writes.
    static QByteArray defaultSettingsFile();
    static QByteArray settingsFileContents(const SettingsState& state);

private:
    QString m_directory;
};

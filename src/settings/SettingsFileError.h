#pragma once

#include <QString>

#include <stdexcept>

// A settings file that could not be read, written or understood. what() and message()
// are fit to show the user as they are and start with the file's name.
class SettingsFileError : public std::runtime_error
{
public:
    // line: the 1-based line the error is about, 0 when it is about the whole file.
    SettingsFileError(const QString& fileName, int line, const QString& problem);

    QString message() const { return QString::fromUtf8(what()); }
    QString fileName() const { return m_fileName; }
    int line() const { return m_line; }

private:
    QString m_fileName;
    int m_line;
};

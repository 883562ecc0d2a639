#include "SettingsFileError.h"

namespace {

QString composeMessage(const QString& fileName, int line, const QString& problem)
{
    if (line > 0)
        return QStringLiteral("%1, line %2: %3").arg(fileName, QString::number(line), problem);
    return QStringLiteral("%1: %2").arg(fileName, problem);
}

} // namespace

SettingsFileError::SettingsFileError(const QString& fileName, int line, const QString& problem)
    : std::runtime_error(composeMessage(fileName, line, problem).toStdString()),
      m_fileName(fileName), m_line(line)
{
}

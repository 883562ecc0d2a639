#include "platform/TraceLog.h"

#include "common/Win1251.h"
#include "platform/Clock.h"

#include <QDir>
#include <QFile>

#include <stdexcept>

TraceLog::TraceLog(Clock& clock, QString directory)
    : m_clock(clock)
    , m_directory(std::move(directory))
{
}

QByteArray TraceLog::startText()
{
    return Win1251::encode(QStringLiteral(":Старт"));
}

QByteArray TraceLog::portOpenedText()
{
    return Win1251::encode(QStringLiteral(":Порт открыт"));
}

QByteArray TraceLog::portClosedText()
{
    return Win1251::encode(QStringLiteral(":Порт закрыт"));
}

QByteArray TraceLog::portChangedText(const QString& port, qint32 baud)
{
    return Win1251::encode(QStringLiteral(": Порт: %1,%2").arg(port).arg(baud));
}

QByteArray TraceLog::answerText(int linkState, const QByteArray& received)
{
    return " St:" + QByteArray::number(linkState) + " :" + received;
}

QByteArray TraceLog::sleepText()
{
    return Win1251::encode(QStringLiteral(":Уходим в сон"));
}

QByteArray TraceLog::closedText()
{
    return Win1251::encode(QStringLiteral(":Программа закрыта"));
}

void TraceLog::create()
{
    const QString name = m_clock.now().toString(QStringLiteral("ddMMyy_HHmmss")) + QStringLiteral(".tst");
    m_startTick = m_clock.tickMs();
    const QString path = QDir(m_directory).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error(
            QStringLiteral("Cannot create the trace file %1: %2").arg(path, file.errorString()).toStdString());
    m_path = path;
    m_enabled = true;
    const QByteArray line = QByteArray::number(quint32(m_clock.tickMs() - m_startTick)) + startText() + "\r\n";
    file.write(line);
    file.close();
}

void TraceLog::writeLine(const QByteArray& text)
{
    if (!m_enabled)
        return;
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    const quint32 elapsed = m_clock.tickMs() - m_startTick;
    file.write(QByteArray::number(elapsed) + text + "\r\n");
    file.close();
}

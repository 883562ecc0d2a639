#include "common/ErrorReporter.h"

#include <cstdio>

ErrorReporter::ErrorReporter(QObject* parent)
    : QObject(parent)
{
}

void ErrorReporter::report(const QString& message)
{
    if (m_shown.contains(message))
        return;
    m_shown.insert(message);
    ++m_count;
    std::fprintf(stderr, "tachora: %s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
    Q_EMIT messageRaised(message);
}

void ErrorReporter::acknowledge(const QString& message)
{
    m_shown.remove(message);
}

QStringList ErrorReporter::shownMessages() const
{
    QStringList list(m_shown.cbegin(), m_shown.cend());
    list.sort();
    return list;
}

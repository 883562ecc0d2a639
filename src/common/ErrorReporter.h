#pragma once

#include <QObject>
#include <QSet>
#include <QString>

// Every failure the user must know of goes through here. A message is written to stderr and
// offered to the window (messageRaised) once; the same text is not raised again while it is
// still shown, so a fault that recurs several times a second makes one box, not a stack.
// Nothing here blocks: the window shows the message without a modal loop.
class ErrorReporter : public QObject
{
    Q_OBJECT

public:
    explicit ErrorReporter(QObject* parent = nullptr);

    void report(const QString& message);
    // The window closed the message; the same text may be raised again.
    void acknowledge(const QString& message);

    bool isShown(const QString& message) const { return m_shown.contains(message); }
    QStringList shownMessages() const;
    int reportCount() const { return m_count; }

Q_SIGNALS:
    void messageRaised(const QString& message);

private:
    QSet<QString> m_shown;
    int m_count = 0;
};

#pragma once

#include <QByteArray>
#include <QString>

class Clock;

// The diagnostic trace of a run started with "test": one file "ddmmyy_hhmmss.tst" in the
// working directory, one line per event, each line opened, appended and closed at once so it
// is on disk before the caller goes on. A line is the milliseconds since the trace was
// created (unsigned 32-bit difference of the tick counter), the event text, CR LF; texts are
// Windows-1251. A failing append is ignored: the trace never disturbs the link.
class TraceLog
{
public:
    TraceLog(Clock& clock, QString directory);

    // Event texts.
    static QByteArray startText();
    static QByteArray portOpenedText();
    static QByteArray portClosedText();
    static QByteArray portChangedText(const QString& port, qint32 baud);
    static QByteArray answerText(int linkState, const QByteArray& received);
    static QByteArray sleepText();
    static QByteArray closedText();

    // Creates (empties) the file and writes the start line. Throws std::runtime_error with a
    // user-fit message when the file cannot be created.
    void create();
    bool isEnabled() const { return m_enabled; }
    QString fileName() const { return m_path; }

    // Does nothing unless create() succeeded.
    void writeLine(const QByteArray& text);

private:
    Clock& m_clock;
    QString m_directory;
    QString m_path;
    quint32 m_startTick = 0;
    bool m_enabled = false;
};

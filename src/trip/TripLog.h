#pragma once

#include "trip/TripLogFilter.h"
#include "trip/TripRecord.h"
#include "trip/TripRecordSink.h"

#include <QList>
#include <QObject>
#include <QSqlDatabase>
#include <QString>

#include <optional>

class Clock;
class ErrorReporter;
class QSqlQuery;

// One record of the log with the id that edits and deletions refer to.
struct TripLogEntry
{
    qint64 id = 0;
    TripRecord record;

    bool operator==(const TripLogEntry&) const = default;
};

// The trip log, MainTable, in an SQLite file ("Tachora.cds" in the working directory). Every
// change is committed before the call returns, in write-ahead-log mode with full
// synchronisation, so a trip is on disk when append() returns and a crash loses nothing that
// was posted. Records are read in the order of MainTableIndex1: newest start date first, then
// latest start time; trips with identical starts newest insertion first.
//
// A missing file is an empty log; the file is created at the first write. A file that is not
// SQLite, fails the quick check, or holds no trip log of our schema is reported, set aside
// under a new name next to it, never written to, and a fresh log starts in its place.
// Every failure is reported through the ErrorReporter; the call then returns false or an
// empty result.
class TripLog : public QObject, public TripRecordSink
{
    Q_OBJECT

public:
    static constexpr int kSchemaVersion = 1;
    static QString defaultFileName() { return QStringLiteral("Tachora.cds"); }

    TripLog(QString filePath, Clock& clock, ErrorReporter& errors, QObject* parent = nullptr);
    ~TripLog() override;

    // OpenTripLog: (re)opens the file and returns the FuelTank of the newest record, 0.0 when
    // the log is empty or that field is.
    double open();
    // ReopenTripLog: closes and opens the file again; the tank is not read.
    void reopen();
    void close();
    bool isOpen() const { return m_state != State::Closed; }
    QString filePath() const { return m_filePath; }

    // Inserts one trip; it is on disk when this returns true.
    bool append(const TripRecord& record) override;
    // Inserts several trips in one transaction: all of them or none.
    bool append(const QList<TripRecord>& records);
    // Replaces the fields of the record with this id (an edit of one field passes the other
    // fields unchanged). False when there is no such record.
    bool update(qint64 id, const TripRecord& record);
    // Deletes the records with these ids, all or none.
    bool remove(const QList<qint64>& ids);
    // "Очистить таблицу": removes every record at once.
    bool clear();

    // The records that pass the filter, in index order.
    QList<TripLogEntry> records(const TripLogFilter& filter = {}) const;
    std::optional<TripLogEntry> record(qint64 id) const;

Q_SIGNALS:
    // The records may have changed: a write went through, or the file was (re)opened.
    void changed();

private:
    enum class State
    {
        Closed,
        NoFile, // open, the file does not exist yet: it is created at the first write
        Ready,  // open on a valid file
        Failed, // open, but the file cannot be used; writes fail and are reported
    };
    enum class Check
    {
        Valid,
        Empty,
        Damaged,
        Unusable
    };

    double openFile(bool readTank);
    State attach(bool create);
    bool openConnection();
    void closeConnection();
    Check checkFile(QString* problem);
    bool prepareConnection();
    bool createSchema();
    bool setAside(const QString& problem);
    bool ensureWritable();
    double newestFuelTank();

    bool execPrepared(QSqlQuery& query, const QString& what) const;
    bool execSql(QSqlQuery& query, const QString& sql, const QString& what) const;
    bool execSql(const QString& sql, const QString& what) const;
    void rollback();
    void reportFailure(const QString& what, const QString& reason) const;

    QString m_filePath;
    Clock& m_clock;
    ErrorReporter& m_errors;
    QString m_connectionName;
    QSqlDatabase m_db;
    State m_state = State::Closed;
};

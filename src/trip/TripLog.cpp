#include "trip/TripLog.h"

#include "common/ErrorReporter.h"
#include "platform/Clock.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <array>
#include <atomic>
#include <cstdlib>

namespace {

// Stored in the file header so that a foreign SQLite file is told apart from ours: "TCDS".
constexpr qint32 kApplicationId = 0x54434453;

// SQLite primary result codes that mean the file's content is unusable, not the access to it.
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteNotADatabase = 26;

const QString kSelectColumns =
    QStringLiteral("Id, StartDate, StartTime, TimeAll, TimeTraff, Distance, Rashod, RashodTraff, "
                   "FuelTank, MPG, MPG_Traff, AverageSpeed, MaxSpeed");
const QString kCreateIndex = QStringLiteral(
    "CREATE INDEX IF NOT EXISTS MainTableIndex1 ON MainTable (StartDate DESC, StartTime DESC)");
// Newest first; identical starts newest insertion first. The planner is held to the index: left
// to itself it sorts the whole table to find the newest trip, as the id is not in the index.
const QString kFromInIndexOrder = QStringLiteral(" FROM MainTable INDEXED BY MainTableIndex1");
const QString kIndexOrder = QStringLiteral(" ORDER BY StartDate DESC, StartTime DESC, Id DESC");

const std::array<QString, 13> kColumns{
    QStringLiteral("Id"),       QStringLiteral("StartDate"),   QStringLiteral("StartTime"),
    QStringLiteral("TimeAll"),  QStringLiteral("TimeTraff"),   QStringLiteral("Distance"),
    QStringLiteral("Rashod"),   QStringLiteral("RashodTraff"), QStringLiteral("FuelTank"),
    QStringLiteral("MPG"),      QStringLiteral("MPG_Traff"),   QStringLiteral("AverageSpeed"),
    QStringLiteral("MaxSpeed"),
};

std::atomic<int> s_connectionCount{0};

// Texts as stored: dates YYYY-MM-DD, times of day and durations HH:MM:SS.zzz, so that their
// order as text is their order in time (the index relies on it). A duration's hours are not
// limited to 23.
QString dateText(QDate date)
{
    return QString::asprintf("%04d-%02d-%02d", date.year(), date.month(), date.day());
}

QString durationText(qint64 ms)
{
    const qint64 a = std::llabs(ms);
    return QString::asprintf("%s%02lld:%02lld:%02lld.%03lld", ms < 0 ? "-" : "", a / 3600000,
                             a / 60000 % 60, a / 1000 % 60, a % 1000);
}

// The value of count decimal digits from position from; -1 when one of them is no digit.
qint64 digitsAt(QStringView text, qsizetype from, qsizetype count)
{
    if (count <= 0 || from + count > text.size())
        return -1;
    qint64 value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

// [-]H:MM:SS[.z[z[z]]] with any number of hours. Read by hand: a grid of all trips reads three
// of these per record.
std::optional<qint64> durationFromText(QStringView text)
{
    const bool negative = text.startsWith(u'-');
    const qsizetype first = negative ? 1 : 0;
    const qsizetype colon = text.indexOf(u':', first);
    if (colon < 0 || colon - first > 9)
        return std::nullopt;
    const qint64 hours = digitsAt(text, first, colon - first);
    const qint64 minutes = digitsAt(text, colon + 1, 2);
    const qint64 seconds =
        colon + 3 < text.size() && text[colon + 3] == u':' ? digitsAt(text, colon + 4, 2) : -1;
    if (hours < 0 || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59)
        return std::nullopt;
    qint64 ms = 0;
    const qsizetype end = colon + 6;
    if (end < text.size()) {
        const qsizetype count = text.size() - end - 1;
        ms = text[end] == u'.' && count <= 3 ? digitsAt(text, end + 1, count) : -1;
        if (ms < 0)
            return std::nullopt;
        for (qsizetype i = count; i < 3; ++i)
            ms *= 10;
    }
    const qint64 total = ((hours * 60 + minutes) * 60 + seconds) * 1000 + ms;
    return negative ? -total : total;
}

// YYYY-MM-DD.
QDate dateFromText(QStringView text)
{
    if (text.size() != 10 || text[4] != u'-' || text[7] != u'-')
        return {};
    const qint64 y = digitsAt(text, 0, 4);
    const qint64 m = digitsAt(text, 5, 2);
    const qint64 d = digitsAt(text, 8, 2);
    if (y < 0 || m < 0 || d < 0)
        return {};
    return QDate(int(y), int(m), int(d));
}

QVariant textValue(const std::optional<QString>& text)
{
    return text ? QVariant(*text) : QVariant(QMetaType::fromType<QString>());
}

QVariant realValue(const std::optional<double>& value)
{
    return value ? QVariant(*value) : QVariant(QMetaType::fromType<double>());
}

QVariant dateValue(const std::optional<QDate>& date)
{
    // An invalid date (a trip that never had a start) is no date at all.
    return textValue(date && date->isValid() ? std::optional<QString>(dateText(*date))
                                             : std::nullopt);
}

QVariant timeValue(const std::optional<QTime>& time)
{
    return textValue(time && time->isValid()
                         ? std::optional<QString>(time->toString(QStringLiteral("HH:mm:ss.zzz")))
                         : std::nullopt);
}

void bindRecord(QSqlQuery& q, const TripRecord& r)
{
    q.addBindValue(dateValue(r.startDate));
    q.addBindValue(timeValue(r.startTime));
    q.addBindValue(timeValue(r.timeAll));
    q.addBindValue(textValue(r.timeTraffMs ? std::optional<QString>(durationText(*r.timeTraffMs))
                                           : std::nullopt));
    q.addBindValue(realValue(r.distance));
    q.addBindValue(realValue(r.rashod));
    q.addBindValue(realValue(r.rashodTraff));
    q.addBindValue(realValue(r.fuelTank));
    q.addBindValue(realValue(r.mpg));
    q.addBindValue(realValue(r.mpgTraff));
    q.addBindValue(realValue(r.averageSpeed));
    q.addBindValue(realValue(r.maxSpeed));
}

// A text that does not read as its field's type (a file edited by hand) reads as empty.
std::optional<QDate> dateAt(const QSqlQuery& q, int column)
{
    const QVariant v = q.value(column);
    if (v.isNull())
        return std::nullopt;
    const QDate d = dateFromText(v.toString());
    return d.isValid() ? std::optional<QDate>(d) : std::nullopt;
}

std::optional<QTime> timeAt(const QSqlQuery& q, int column)
{
    const QVariant v = q.value(column);
    if (v.isNull())
        return std::nullopt;
    const auto ms = durationFromText(v.toString());
    if (!ms || *ms < 0 || *ms >= 24 * 3600000)
        return std::nullopt;
    return QTime::fromMSecsSinceStartOfDay(int(*ms));
}

std::optional<qint64> durationAt(const QSqlQuery& q, int column)
{
    const QVariant v = q.value(column);
    if (v.isNull())
        return std::nullopt;
    return durationFromText(v.toString());
}

std::optional<double> realAt(const QSqlQuery& q, int column)
{
    const QVariant v = q.value(column);
    if (v.isNull())
        return std::nullopt;
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? std::optional<double>(d) : std::nullopt;
}

// Reads the columns of kSelectColumns.
TripLogEntry entryAt(const QSqlQuery& q)
{
    TripLogEntry e;
    e.id = q.value(0).toLongLong();
    TripRecord& r = e.record;
    r.startDate = dateAt(q, 1);
    r.startTime = timeAt(q, 2);
    r.timeAll = timeAt(q, 3);
    r.timeTraffMs = durationAt(q, 4);
    r.distance = realAt(q, 5);
    r.rashod = realAt(q, 6);
    r.rashodTraff = realAt(q, 7);
    r.fuelTank = realAt(q, 8);
    r.mpg = realAt(q, 9);
    r.mpgTraff = realAt(q, 10);
    r.averageSpeed = realAt(q, 11);
    r.maxSpeed = realAt(q, 12);
    return e;
}

int primaryResultCode(const QSqlError& error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? (code & 0xff) : -1;
}

} // namespace

TripLog::TripLog(QString filePath, Clock& clock, ErrorReporter& errors, QObject* parent)
    : QObject(parent), m_filePath(std::move(filePath)), m_clock(clock), m_errors(errors),
      m_connectionName(QStringLiteral("tachora-triplog-%1").arg(++s_connectionCount))
{
}

TripLog::~TripLog()
{
    closeConnection();
}

double TripLog::open()
{
    return openFile(true);
}

void TripLog::reopen()
{
    openFile(false);
}

void TripLog::close()
{
    closeConnection();
    m_state = State::Closed;
}

double TripLog::openFile(bool readTank)
{
    close();
    m_state = attach(false);
    const double tank = readTank && m_state == State::Ready ? newestFuelTank() : 0.0;
    Q_EMIT changed();
    return tank;
}

TripLog::State TripLog::attach(bool create)
{
    if (!QFileInfo::exists(m_filePath)) {
        if (!create)
            return State::NoFile;
        if (!openConnection())
            return State::Failed;
        if (!prepareConnection() || !createSchema()) {
            closeConnection();
            return State::Failed;
        }
        return State::Ready;
    }

    if (!openConnection())
        return State::Failed;
    QString problem;
    switch (checkFile(&problem)) {
    case Check::Valid:
        if (prepareConnection() &&
            execSql(kCreateIndex, tr("cannot be prepared"))) // a lost index is rebuilt
            return State::Ready;
        break;
    case Check::Empty:
        if (prepareConnection() && createSchema())
            return State::Ready;
        break;
    case Check::Damaged:
        closeConnection();
        if (!setAside(problem))
            return State::Failed;
        // The fresh log starts like a missing file: it is created at the first write.
        return create ? attach(true) : State::NoFile;
    case Check::Unusable:
        break;
    }
    closeConnection();
    return State::Failed;
}

bool TripLog::openConnection()
{
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    m_db.setDatabaseName(m_filePath);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (m_db.open())
        return true;
    reportFailure(tr("cannot be opened"), m_db.lastError().text());
    closeConnection();
    return false;
}

void TripLog::closeConnection()
{
    if (!m_db.isValid() && !QSqlDatabase::contains(m_connectionName))
        return;
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

TripLog::Check TripLog::checkFile(QString* problem)
{
    // Only reads here: a file that turns out not to be ours must leave this untouched.
    // The quick check walks every page once, so it runs on a small page cache: at the start of
    // the program, allocating a large one costs more than reading pages again from the system.
    QSqlQuery q(m_db);
    for (const QString& sql :
         {QStringLiteral("PRAGMA cache_size=64"), QStringLiteral("PRAGMA quick_check(1)")}) {
        if (q.exec(sql))
            continue;
        const int code = primaryResultCode(q.lastError());
        if (code == kSqliteNotADatabase || code == kSqliteCorrupt) {
            *problem = tr("it is damaged or not a database (%1)").arg(q.lastError().databaseText());
            return Check::Damaged;
        }
        reportFailure(tr("cannot be read"), q.lastError().text());
        return Check::Unusable;
    }
    if (!q.next() || q.value(0).toString() != QLatin1String("ok")) {
        *problem = tr("it is damaged (integrity check: %1)").arg(q.value(0).toString());
        return Check::Damaged;
    }
    q.finish();
    if (!execSql(q, QStringLiteral("PRAGMA cache_size=-2000"), tr("cannot be read")))
        return Check::Unusable;

    const auto pragma = [this](const QString& name) -> std::optional<qint64> {
        QSqlQuery p(m_db);
        if (!execSql(p, QStringLiteral("PRAGMA ") + name, tr("cannot be read")) || !p.next())
            return std::nullopt;
        return p.value(0).toLongLong();
    };
    const auto applicationId = pragma(QStringLiteral("application_id"));
    const auto version = pragma(QStringLiteral("user_version"));
    QSqlQuery objects(m_db);
    if (!applicationId || !version ||
        !execSql(objects, QStringLiteral("SELECT count(*) FROM sqlite_master"),
                 tr("cannot be read")) ||
        !objects.next())
        return Check::Unusable;

    if (*applicationId != 0 && *applicationId != kApplicationId) {
        *problem = tr("it is a database of another program");
        return Check::Damaged;
    }
    // An empty database (a file created but not yet written) is a log without trips.
    if (objects.value(0).toLongLong() == 0 && *version == 0)
        return Check::Empty;
    QSqlQuery info(m_db);
    if (!execSql(info, QStringLiteral("PRAGMA table_info(MainTable)"), tr("cannot be read")))
        return Check::Unusable;
    QStringList columns;
    bool idIsKey = false;
    while (info.next()) {
        const QString name = info.value(1).toString();
        columns << name;
        if (name == QLatin1String("Id"))
            idIsKey = info.value(5).toInt() == 1;
    }
    if (columns.isEmpty()) {
        *problem = tr("it holds no trip table");
        return Check::Damaged;
    }
    if (*version != kSchemaVersion) {
        *problem = tr("it is not a trip log of this version (schema %1, expected %2)")
                       .arg(*version)
                       .arg(kSchemaVersion);
        return Check::Damaged;
    }
    for (const QString& column : kColumns) {
        if (!columns.contains(column)) {
            *problem = tr("its trip table has no column %1").arg(column);
            return Check::Damaged;
        }
    }
    if (!idIsKey) {
        *problem = tr("its trip table has no record key");
        return Check::Damaged;
    }
    return Check::Valid;
}

bool TripLog::prepareConnection()
{
    // Write-ahead log with full synchronisation: each commit is one append to the log file and
    // one fsync, and it survives a crash or a power cut once the commit has returned. A file
    // system without shared memory keeps the rollback journal, as durable, only slower.
    const QString what = tr("cannot be prepared");
    return execSql(QStringLiteral("PRAGMA journal_mode=WAL"), what) &&
           execSql(QStringLiteral("PRAGMA synchronous=FULL"), what);
}

bool TripLog::createSchema()
{
    const QString what = tr("cannot be created");
    if (!execSql(QStringLiteral("BEGIN IMMEDIATE"), what))
        return false;
    const bool ok =
        execSql(QStringLiteral("CREATE TABLE IF NOT EXISTS MainTable ("
                               "Id INTEGER PRIMARY KEY, StartDate TEXT, StartTime TEXT, "
                               "TimeAll TEXT, TimeTraff TEXT, Distance REAL, Rashod REAL, "
                               "RashodTraff REAL, FuelTank REAL, MPG REAL, MPG_Traff REAL, "
                               "AverageSpeed REAL, MaxSpeed REAL)"),
                what) &&
        execSql(kCreateIndex, what) &&
        execSql(QStringLiteral("PRAGMA application_id=%1").arg(kApplicationId), what) &&
        execSql(QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion), what) &&
        execSql(QStringLiteral("COMMIT"), what);
    if (!ok) {
        rollback();
    }
    return ok;
}

bool TripLog::setAside(const QString& problem)
{
    const QString base = m_filePath + QStringLiteral(".damaged-") +
                         m_clock.now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    // The journal and the write-ahead log belong to the file: they go with it, or a fresh log
    // would later take their pages for its own.
    const std::array<QString, 3> companions{QStringLiteral("-wal"), QStringLiteral("-shm"),
                                            QStringLiteral("-journal")};
    const auto taken = [&](const QString& name) {
        if (QFileInfo::exists(name))
            return true;
        for (const QString& suffix : companions) {
            if (QFileInfo::exists(name + suffix))
                return true;
        }
        return false;
    };
    QString kept = base;
    for (int n = 2; taken(kept); ++n)
        kept = base + QStringLiteral("-%1").arg(n);

    const QString fileName = QFileInfo(m_filePath).fileName();
    const QString keptName = QFileInfo(kept).fileName();
    if (!QFile::rename(m_filePath, kept)) {
        m_errors.report(tr("Trip log %1: %2, and it could not be kept aside as %3; the trip "
                           "log is not used until the file is moved away.")
                            .arg(fileName, problem, keptName));
        return false;
    }
    for (const QString& suffix : companions) {
        if (QFileInfo::exists(m_filePath + suffix) &&
            !QFile::rename(m_filePath + suffix, kept + suffix)) {
            m_errors.report(tr("Trip log %1: %2. It was kept as %3, but %4 could not be moved "
                               "with it; the trip log is not used until it is moved away.")
                                .arg(fileName, problem, keptName, fileName + suffix));
            return false;
        }
    }
    m_errors.report(tr("Trip log %1: %2. It was kept as %3 and a new trip log was started.")
                        .arg(fileName, problem, keptName));
    return true;
}

bool TripLog::ensureWritable()
{
    switch (m_state) {
    case State::Ready:
        return true;
    case State::NoFile:
        m_state = attach(true);
        return m_state == State::Ready;
    case State::Failed:
        // The file may be back (a disk that was slow after a resume, a lock released): try
        // again at every write rather than losing every trip of the run.
        closeConnection();
        m_state = attach(true);
        if (m_state == State::Ready)
            return true;
        m_errors.report(tr("Trip log %1 cannot be written: the file could not be opened.")
                            .arg(QFileInfo(m_filePath).fileName()));
        return false;
    case State::Closed:
        m_errors.report(tr("Trip log %1 cannot be written: it is not open.")
                            .arg(QFileInfo(m_filePath).fileName()));
        return false;
    }
    return false;
}

double TripLog::newestFuelTank()
{
    QSqlQuery q(m_db);
    if (!execSql(q,
                 QStringLiteral("SELECT FuelTank") + kFromInIndexOrder + kIndexOrder +
                     QStringLiteral(" LIMIT 1"),
                 tr("cannot be read")))
        return 0.0;
    if (!q.next())
        return 0.0;
    return realAt(q, 0).value_or(0.0);
}

bool TripLog::append(const TripRecord& record)
{
    return append(QList<TripRecord>{record});
}

bool TripLog::append(const QList<TripRecord>& records)
{
    if (records.isEmpty())
        return true;
    if (!ensureWritable())
        return false;
    const QString what = tr("cannot take the trip");
    const bool several = records.size() > 1;
    if (several && !execSql(QStringLiteral("BEGIN IMMEDIATE"), what))
        return false;
    QSqlQuery q(m_db);
    bool ok = q.prepare(QStringLiteral("INSERT INTO MainTable (StartDate, StartTime, TimeAll, "
                                       "TimeTraff, Distance, Rashod, RashodTraff, FuelTank, "
                                       "MPG, MPG_Traff, AverageSpeed, MaxSpeed) "
                                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    if (!ok)
        reportFailure(what, q.lastError().text());
    for (qsizetype i = 0; ok && i < records.size(); ++i) {
        bindRecord(q, records[i]);
        ok = execPrepared(q, what);
    }
    if (several) {
        if (ok)
            ok = execSql(QStringLiteral("COMMIT"), what);
        if (!ok) {
            rollback();
        }
    }
    if (ok)
        Q_EMIT changed();
    return ok;
}

bool TripLog::update(qint64 id, const TripRecord& record)
{
    if (m_state == State::NoFile)
        return false; // no file yet: no record has this id
    if (!ensureWritable())
        return false;
    QSqlQuery q(m_db);
    if (!q.prepare(QStringLiteral("UPDATE MainTable SET StartDate = ?, StartTime = ?, "
                                  "TimeAll = ?, TimeTraff = ?, Distance = ?, Rashod = ?, "
                                  "RashodTraff = ?, FuelTank = ?, MPG = ?, MPG_Traff = ?, "
                                  "AverageSpeed = ?, MaxSpeed = ? WHERE Id = ?"))) {
        reportFailure(tr("cannot change the trip"), q.lastError().text());
        return false;
    }
    bindRecord(q, record);
    q.addBindValue(id);
    if (!execPrepared(q, tr("cannot change the trip")) || q.numRowsAffected() != 1)
        return false;
    Q_EMIT changed();
    return true;
}

bool TripLog::remove(const QList<qint64>& ids)
{
    if (ids.isEmpty())
        return true;
    if (m_state == State::NoFile)
        return false;
    if (!ensureWritable())
        return false;
    const QString what = tr("cannot delete the trip");
    if (!execSql(QStringLiteral("BEGIN IMMEDIATE"), what))
        return false;
    QSqlQuery q(m_db);
    bool ok = q.prepare(QStringLiteral("DELETE FROM MainTable WHERE Id = ?"));
    if (!ok)
        reportFailure(what, q.lastError().text());
    for (qint64 id : ids) {
        if (!ok)
            break;
        q.addBindValue(id);
        ok = execPrepared(q, what) && q.numRowsAffected() == 1;
    }
    if (ok)
        ok = execSql(QStringLiteral("COMMIT"), what);
    if (!ok) {
        rollback();
        return false;
    }
    Q_EMIT changed();
    return true;
}

bool TripLog::clear()
{
    if (m_state == State::NoFile) {
        Q_EMIT changed();
        return true;
    }
    if (!ensureWritable() ||
        !execSql(QStringLiteral("DELETE FROM MainTable"), tr("cannot be cleared")))
        return false;
    Q_EMIT changed();
    return true;
}

QList<TripLogEntry> TripLog::records(const TripLogFilter& filter) const
{
    QList<TripLogEntry> list;
    if (m_state != State::Ready)
        return list;
    QString sql = QStringLiteral("SELECT ") + kSelectColumns + kFromInIndexOrder;
    QStringList conditions;
    QVariantList values;
    if (const auto first = filter.firstDate()) {
        conditions << QStringLiteral("StartDate >= ?");
        values << dateText(*first);
    }
    if (const auto last = filter.lastDate()) {
        conditions << QStringLiteral("StartDate <= ?");
        values << dateText(*last);
    }
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    sql += kIndexOrder;

    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        reportFailure(tr("cannot be read"), q.lastError().text());
        return list;
    }
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!execPrepared(q, tr("cannot be read")))
        return list;
    while (q.next())
        list.append(entryAt(q));
    return list;
}

std::optional<TripLogEntry> TripLog::record(qint64 id) const
{
    if (m_state != State::Ready)
        return std::nullopt;
    QSqlQuery q(m_db);
    if (!q.prepare(QStringLiteral("SELECT ") + kSelectColumns +
                   QStringLiteral(" FROM MainTable WHERE Id = ?"))) {
        reportFailure(tr("cannot be read"), q.lastError().text());
        return std::nullopt;
    }
    q.addBindValue(id);
    if (!execPrepared(q, tr("cannot be read")) || !q.next())
        return std::nullopt;
    return entryAt(q);
}

bool TripLog::execPrepared(QSqlQuery& query, const QString& what) const
{
    if (!query.exec()) {
        reportFailure(what, query.lastError().text());
        return false;
    }
    return true;
}

bool TripLog::execSql(QSqlQuery& query, const QString& sql, const QString& what) const
{
    if (!query.exec(sql)) {
        reportFailure(what, query.lastError().text());
        return false;
    }
    return true;
}

bool TripLog::execSql(const QString& sql, const QString& what) const
{
    QSqlQuery q(m_db);
    return execSql(q, sql, what);
}

void TripLog::rollback()
{
    // The failure that led here is reported already; a rollback fails only when SQLite has
    // ended the transaction itself, and then there is nothing left to undo.
    QSqlQuery q(m_db);
    q.exec(QStringLiteral("ROLLBACK"));
}

void TripLog::reportFailure(const QString& what, const QString& reason) const
{
    m_errors.report(
        tr("Trip log %1 %2: %3").arg(QFileInfo(m_filePath).fileName(), what, reason.trimmed()));
}

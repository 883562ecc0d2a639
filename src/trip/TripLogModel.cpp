#include "trip/TripLogModel.h"

#include "common/NumberFormat.h"

#include <QLocale>
#include <QRegularExpression>

#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace {

constexpr qint64 kMsPerHour = 3600 * 1000;
constexpr qint64 kMsPerDay = 24 * kMsPerHour;

struct ColumnInfo
{
    const char* field;
    const char* title;
    int width;
    Qt::Alignment alignment;
};

constexpr Qt::Alignment kCentred = Qt::AlignCenter;
constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;

const std::array<ColumnInfo, TripLogModel::ColumnCount> kColumns{{
    {"StartDate", "Дата старт", 98, kCentred},
    {"StartTime", "Время старт", 86, kCentred},
    {"TimeAll", "Время ", 72, kRight},
    {"TimeTraff", "Время.Дв", 74, kRight},
    {"Distance", "Пробег", 51, kRight},
    {"Rashod", "Топл.", 46, kRight},
    {"MPG", "Расход", 46, kRight},
    {"MPG_Traff", "Расход.Дв.", 70, kRight},
    {"AverageSpeed", "Ср.Скор.", 62, kRight},
    {"MaxSpeed", "Макс.Скор.", 73, kRight},
}};

// Rewrites a time format field by field, a field being a run of one letter outside quotes:
// edit gives the field's replacement, or nothing to drop it with the blanks before it.
template <typename Edit> QString editTimeFormat(const QString& format, Edit edit)
{
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == u'\'') {
            quoted = !quoted;
            out += c;
            ++i;
            continue;
        }
        if (quoted || !c.isLetter()) {
            out += c;
            ++i;
            continue;
        }
        qsizetype end = i + 1;
        while (end < format.size() && format[end].toLower() == c.toLower())
            ++end;
        // "AP" and "ap" are one field.
        if ((c == u'A' || c == u'a') && end < format.size() &&
            (format[end] == u'P' || format[end] == u'p'))
            ++end;
        const QString field = format.mid(i, end - i);
        const std::optional<QString> replacement = edit(field);
        if (replacement) {
            out += *replacement;
        } else {
            while (out.endsWith(u' ') || out.endsWith(QChar(0x00a0)) || out.endsWith(QChar(0x202f)))
                out.chop(1);
        }
        i = end;
    }
    return out.trimmed();
}

// The system's long time format without the time zone, which a trip's clock time does not carry.
QString clockTimeFormat()
{
    return editTimeFormat(QLocale::system().timeFormat(QLocale::LongFormat),
                          [](const QString& field) -> std::optional<QString> {
                              if (field.startsWith(u't'))
                                  return std::nullopt;
                              return field;
                          });
}

// A duration is no clock time: no zone, no AM/PM, hours counted from 0.
QString durationFormat()
{
    return editTimeFormat(clockTimeFormat(), [](const QString& field) -> std::optional<QString> {
        if (field.startsWith(u'a', Qt::CaseInsensitive))
            return std::nullopt;
        if (field.startsWith(u'h'))
            return QString(field).replace(u'h', u'H');
        return field;
    });
}

QString durationText(qint64 ms)
{
    const QString sign = ms < 0 ? QStringLiteral("-") : QString();
    ms = std::llabs(ms);
    const QString format = durationFormat();
    if (ms < kMsPerDay)
        return sign + QLocale::system().toString(QTime::fromMSecsSinceStartOfDay(int(ms)), format);
    // 24 h and more: every hour is written out, in place of the format's hour field.
    const QString hours = QString::number(ms / kMsPerHour);
    const QString withHours =
        editTimeFormat(format, [&](const QString& field) -> std::optional<QString> {
            if (field.startsWith(u'H'))
                return u'\'' + hours.rightJustified(field.size(), u'0') + u'\'';
            return field;
        });
    return sign + QLocale::system().toString(QTime::fromMSecsSinceStartOfDay(int(ms % kMsPerHour)),
                                             withHours);
}

// The short date format with the year in four digits, so that the edit text is unambiguous.
QString editDateFormat()
{
    QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

QString numberText(double value)
{
    return QString::number(value, 'g', 15);
}

bool plausibleYear(QDate date)
{
    return date.isValid() && date.year() >= 1900 && date.year() <= 9999;
}

std::optional<QDate> parseDate(const QString& text)
{
    const QLocale locale = QLocale::system();
    for (const QDate d :
         {QDate::fromString(text, Qt::ISODate), locale.toDate(text, editDateFormat())}) {
        if (plausibleYear(d))
            return d;
    }
    // The short format itself: a two-digit year is one of 1950..2049.
    QDate d = locale.toDate(text, QLocale::ShortFormat);
    if (d.isValid() && d.year() < 1950)
        d = d.addYears(100);
    if (plausibleYear(d))
        return d;
    return std::nullopt;
}

// H:mm, H:mm:ss or H:mm:ss.zzz with any number of hours.
std::optional<qint64> parseDuration(const QString& text)
{
    static const QRegularExpression kPattern(
        QStringLiteral("^(\\d{1,9}):([0-5]?\\d)(?::([0-5]?\\d)(?:[.,](\\d{1,3}))?)?$"));
    const auto m = kPattern.match(text);
    if (m.hasMatch()) {
        return m.captured(1).toLongLong() * kMsPerHour + m.captured(2).toLongLong() * 60000 +
               m.captured(3).toLongLong() * 1000 +
               m.captured(4).leftJustified(3, u'0').toLongLong();
    }
    return std::nullopt;
}

std::optional<QTime> parseClockTime(const QString& text, const QString& localeFormat)
{
    const QTime t = QLocale::system().toTime(text, localeFormat);
    if (t.isValid())
        return t;
    const auto ms = parseDuration(text);
    if (ms && *ms < kMsPerDay)
        return QTime::fromMSecsSinceStartOfDay(int(*ms));
    return std::nullopt;
}

std::optional<double> parseNumber(const QString& text)
{
    if (const auto v = NumberFormat::tryParseDecimal(text))
        return v;
    bool ok = false;
    const double v = QLocale::system().toDouble(text, &ok);
    if (ok && std::isfinite(v))
        return v;
    return std::nullopt;
}

// The real-valued field a column shows; null for the date and time columns.
template <typename Record> auto numberField(Record& r, int column) -> decltype(&r.distance)
{
    switch (column) {
    case TripLogModel::Distance:
        return &r.distance;
    case TripLogModel::Rashod:
        return &r.rashod;
    case TripLogModel::Mpg:
        return &r.mpg;
    case TripLogModel::MpgTraff:
        return &r.mpgTraff;
    case TripLogModel::AverageSpeed:
        return &r.averageSpeed;
    case TripLogModel::MaxSpeed:
        return &r.maxSpeed;
    default:
        return nullptr;
    }
}

QString displayText(const TripRecord& r, int column)
{
    const QLocale locale = QLocale::system();
    switch (column) {
    case TripLogModel::StartDate:
        return r.startDate ? locale.toString(*r.startDate, QLocale::ShortFormat) : QString();
    case TripLogModel::StartTime:
        return r.startTime ? locale.toString(*r.startTime, clockTimeFormat()) : QString();
    case TripLogModel::TimeAll:
        return r.timeAll ? durationText(r.timeAll->msecsSinceStartOfDay()) : QString();
    case TripLogModel::TimeTraff:
        return r.timeTraffMs ? durationText(*r.timeTraffMs) : QString();
    case TripLogModel::AverageSpeed:
        return r.averageSpeed ? NumberFormat::fixed(*r.averageSpeed, 0) : QString();
    case TripLogModel::MaxSpeed:
        return r.maxSpeed ? numberText(*r.maxSpeed) : QString();
    default: {
        const auto* field = numberField(r, column);
        return field && *field ? NumberFormat::fixed(**field, 1) : QString();
    }
    }
}

QString editText(const TripRecord& r, int column)
{
    switch (column) {
    case TripLogModel::StartDate:
        return r.startDate ? QLocale::system().toString(*r.startDate, editDateFormat()) : QString();
    case TripLogModel::StartTime:
    case TripLogModel::TimeAll:
    case TripLogModel::TimeTraff:
        return displayText(r, column);
    default: {
        const auto* field = numberField(r, column);
        return field && *field ? numberText(**field) : QString();
    }
    }
}

bool isNumberType(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

// The record with the column's field set from the value, or nothing when the value does not
// read as that field.
std::optional<TripRecord> withValue(TripRecord r, int column, const QVariant& value)
{
    const bool isText = value.typeId() == QMetaType::QString;
    const QString text = isText ? value.toString().trimmed() : QString();
    const bool empty = !value.isValid() || (isText && text.isEmpty());

    switch (column) {
    case TripLogModel::StartDate:
        if (empty) {
            r.startDate.reset();
        } else if (value.typeId() == QMetaType::QDate && plausibleYear(value.toDate())) {
            r.startDate = value.toDate();
        } else if (const auto d = isText ? parseDate(text) : std::nullopt) {
            r.startDate = d;
        } else {
            return std::nullopt;
        }
        return r;
    case TripLogModel::StartTime:
    case TripLogModel::TimeAll: {
        std::optional<QTime>& field = column == TripLogModel::StartTime ? r.startTime : r.timeAll;
        const QString format =
            column == TripLogModel::StartTime ? clockTimeFormat() : durationFormat();
        if (empty) {
            field.reset();
        } else if (value.typeId() == QMetaType::QTime && value.toTime().isValid()) {
            field = value.toTime();
        } else if (const auto t = isText ? parseClockTime(text, format) : std::nullopt) {
            field = t;
        } else {
            return std::nullopt;
        }
        return r;
    }
    case TripLogModel::TimeTraff:
        if (empty) {
            r.timeTraffMs.reset();
        } else if (const auto ms = isText ? parseDuration(text) : std::nullopt) {
            r.timeTraffMs = ms;
        } else if (const auto t = isText ? parseClockTime(text, durationFormat()) : std::nullopt) {
            r.timeTraffMs = t->msecsSinceStartOfDay();
        } else {
            return std::nullopt;
        }
        return r;
    default: {
        std::optional<double>* field = numberField(r, column);
        if (!field)
            return std::nullopt;
        if (empty) {
            field->reset();
        } else if (isNumberType(value) && std::isfinite(value.toDouble())) {
            *field = value.toDouble();
        } else if (const auto v = isText ? parseNumber(text) : std::nullopt) {
            *field = v;
        } else {
            return std::nullopt;
        }
        return r;
    }
    }
}

} // namespace

TripLogModel::TripLogModel(TripLog& log, QObject* parent) : QAbstractTableModel(parent), m_log(log)
{
    connect(&m_log, &TripLog::changed, this, &TripLogModel::logChanged);
    m_rows = m_log.records(m_filter);
}

QString TripLogModel::fieldName(int column)
{
    if (column < 0 || column >= ColumnCount)
        return {};
    return QString::fromLatin1(kColumns[size_t(column)].field);
}

int TripLogModel::columnWidth(int column)
{
    if (column < 0 || column >= ColumnCount)
        return 0;
    return kColumns[size_t(column)].width;
}

void TripLogModel::setFilter(const TripLogFilter& filter)
{
    if (filter == m_filter)
        return;
    m_filter = filter;
    reload();
}

qint64 TripLogModel::idAt(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows[row].id : 0;
}

int TripLogModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TripLogModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

bool TripLogModel::isCell(const QModelIndex& index) const
{
    return index.isValid() && index.model() == this && !index.parent().isValid() &&
           index.row() < m_rows.size() && index.column() < ColumnCount;
}

QVariant TripLogModel::data(const QModelIndex& index, int role) const
{
    if (!isCell(index))
        return {};
    const TripRecord& r = m_rows[index.row()].record;
    switch (role) {
    case Qt::DisplayRole:
        return displayText(r, index.column());
    case Qt::EditRole:
        return editText(r, index.column());
    case Qt::TextAlignmentRole:
        return int(kColumns[size_t(index.column())].alignment);
    default:
        return {};
    }
}

QVariant TripLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromUtf8(kColumns[size_t(section)].title);
    case Qt::TextAlignmentRole:
        return int(kCentred);
    default:
        return {};
    }
}

Qt::ItemFlags TripLogModel::flags(const QModelIndex& index) const
{
    if (!isCell(index))
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable | Qt::ItemNeverHasChildren;
}

bool TripLogModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !isCell(index))
        return false;
    const int row = index.row();
    const TripLogEntry& entry = m_rows[row];
    // The cell's own text given back (an editor closed unchanged) changes nothing, so that a
    // start time keeps the milliseconds that its text does not show.
    if (value.typeId() == QMetaType::QString &&
        value.toString() == editText(entry.record, index.column()))
        return true;
    const std::optional<TripRecord> changed = withValue(entry.record, index.column(), value);
    if (!changed)
        return false;
    if (*changed == entry.record)
        return true;

    m_writing = true;
    const bool written = m_log.update(entry.id, *changed);
    m_writing = false;
    if (!written)
        return false;

    m_rows[row].record = *changed;
    if (index.column() == StartDate || index.column() == StartTime)
        placeEditedRow(row); // the row may move, or leave the period
    else
        Q_EMIT dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

void TripLogModel::placeEditedRow(int row)
{
    const qint64 id = m_rows[row].id;
    const QList<TripLogEntry> fresh = m_log.records(m_filter);

    // Everything but the edited row must read as before; otherwise start over.
    QList<TripLogEntry> othersBefore = m_rows;
    othersBefore.removeAt(row);
    QList<TripLogEntry> othersNow = fresh;
    qsizetype newRow = -1;
    for (qsizetype i = 0; i < othersNow.size(); ++i) {
        if (othersNow[i].id == id) {
            newRow = i;
            othersNow.removeAt(i);
            break;
        }
    }
    if (othersNow != othersBefore) {
        beginResetModel();
        m_rows = fresh;
        endResetModel();
        return;
    }
    if (newRow < 0) {
        beginRemoveRows({}, row, row);
        m_rows = fresh;
        endRemoveRows();
        return;
    }
    if (newRow != row) {
        // The destination counts rows as they stand before the move.
        beginMoveRows({}, row, row, {}, int(newRow > row ? newRow + 1 : newRow));
        m_rows = fresh;
        endMoveRows();
    } else {
        m_rows = fresh;
    }
    Q_EMIT dataChanged(index(int(newRow), 0), index(int(newRow), ColumnCount - 1),
                       {Qt::DisplayRole, Qt::EditRole});
}

bool TripLogModel::removeRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || row < 0 || count <= 0 || row + count > m_rows.size())
        return false;
    QList<qint64> ids;
    for (int i = row; i < row + count; ++i)
        ids << m_rows[i].id;
    m_writing = true;
    const bool removed = m_log.remove(ids);
    m_writing = false;
    if (!removed)
        return false;
    beginRemoveRows({}, row, row + count - 1);
    m_rows.remove(row, count);
    endRemoveRows();
    return true;
}

void TripLogModel::reload()
{
    beginResetModel();
    m_rows = m_log.records(m_filter);
    endResetModel();
}

void TripLogModel::logChanged()
{
    if (!m_writing)
        reload();
}

#pragma once

#include "trip/TripLog.h"
#include "trip/TripLogFilter.h"

#include <QAbstractTableModel>
#include <QList>

// The grid of the statistics page (RxDBGrid1): the trips that pass the period filter, newest
// first, in ten columns. Cells are edited in place and rows deleted; each change is written to
// the trip log at once. The model follows every change of the log (a trip appended, the log
// cleared or reopened) by reading the filtered records again.
//
// Texts follow the system locale: dates in its short date format, times in its long time format
// without the time zone (the two durations also without AM/PM, and a moving time of 24 h or
// more with all its hours). Distances, fuel and consumption "###0.0", the average speed "###0",
// the maximum speed in general format with up to 15 significant digits.
class TripLogModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        StartDate,
        StartTime,
        TimeAll,
        TimeTraff,
        Distance,
        Rashod,
        Mpg,
        MpgTraff,
        AverageSpeed,
        MaxSpeed,
        ColumnCount
    };

    explicit TripLogModel(TripLog& log, QObject* parent = nullptr);

    // The record field the column shows ("StartDate", ..., "MaxSpeed").
    static QString fieldName(int column);
    // The column's width on the page as designed, in pixels.
    static int columnWidth(int column);

    TripLogFilter filter() const { return m_filter; }
    void setFilter(const TripLogFilter& filter);

    // The id of the trip log record shown in the row; 0 outside the rows.
    qint64 idAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Takes the text of the cell (or a value of the field's type); an empty text empties the
    // field. A text that does not read as the field's type is refused and nothing is written.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

public Q_SLOTS:
    // Reads the filtered records again.
    void reload();

private:
    bool isCell(const QModelIndex& index) const;
    void logChanged();
    void placeEditedRow(int row);

    TripLog& m_log;
    TripLogFilter m_filter;
    QList<TripLogEntry> m_rows;
    bool m_writing = false; // our own write to the log: the rows are updated in place
};

#pragma once

#include <QDate>

#include <optional>

// The period filter of the statistics page (RadioGroup1): which trips, by their start date, the
// grid and the summary see. The day it counts from is fixed when the period is chosen and is not
// moved on at midnight.
class TripLogFilter
{
public:
    // The items of RadioGroup1, in their order.
    enum class Period
    {
        All = 0,
        Day = 1,
        Week = 2,
        Month = 3
    };

    // Every trip.
    TripLogFilter() = default;
    TripLogFilter(Period period, QDate today);
    // The filter of RadioGroup1's item; an item outside 0..3 gives every trip.
    static TripLogFilter fromItem(int item, QDate today);

    Period period() const { return m_period; }
    QDate today() const { return m_today; }

    // The earliest and the latest start date that pass, both inclusive; none = no bound.
    // Day: today only. Week: later than 7 days before today, so today and the 6 days before.
    // Month: later than 30 days before today. A trip with no start date never passes a period.
    std::optional<QDate> firstDate() const;
    std::optional<QDate> lastDate() const;
    bool isAll() const { return m_period == Period::All; }

    bool operator==(const TripLogFilter&) const = default;

private:
    Period m_period = Period::All;
    QDate m_today;
};

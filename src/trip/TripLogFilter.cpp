#include "trip/TripLogFilter.h"

TripLogFilter::TripLogFilter(Period period, QDate today)
    : m_period(period), m_today(period == Period::All ? QDate() : today)
{
}

TripLogFilter TripLogFilter::fromItem(int item, QDate today)
{
    switch (item) {
    case 1:
        return TripLogFilter(Period::Day, today);
    case 2:
        return TripLogFilter(Period::Week, today);
    case 3:
        return TripLogFilter(Period::Month, today);
    default:
        return {};
    }
}

std::optional<QDate> TripLogFilter::firstDate() const
{
    switch (m_period) {
    case Period::All:
        return std::nullopt;
    case Period::Day:
        return m_today;
    case Period::Week:
        return m_today.addDays(-7 + 1);
    case Period::Month:
        return m_today.addDays(-30 + 1);
    }
    return std::nullopt;
}

std::optional<QDate> TripLogFilter::lastDate() const
{
    if (m_period == Period::Day)
        return m_today;
    return std::nullopt;
}

#pragma once

#include <QDate>

#include <cstdint>

// Dates in year files are whole days counted from 1899-12-30 (day 0), Gregorian.
namespace DayNumber {

inline QDate epoch()
{
    return QDate(1899, 12, 30);
}

// Wide enough for any int32 day number plus a diagram offset.
inline QDate toDate(std::int64_t dayNumber)
{
    return epoch().addDays(dayNumber);
}

inline std::int64_t fromDate(QDate date)
{
    return epoch().daysTo(date);
}

} // namespace DayNumber

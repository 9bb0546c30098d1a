#pragma once

#include <QTimeZone>

#include <cstdint>

// Seconds since 1970-01-01 00:00, either as an instant (UTC) or as a clock
// time written without a zone ("civil"): the same count, read off a calendar.
using Seconds = std::int64_t;

// Converts between instants and the clock time of one zone, a million times
// a second: offsets are looked up once per hour of data, not per sample.
class ZoneClock
{
public:
    explicit ZoneClock(QTimeZone zone);

    // Seconds east of UTC at instant.
    int offsetAt(Seconds instant);

    // The instant of a clock time. In the hour that comes twice when summer
    // time ends, the first pass is meant unless notBefore (the previous
    // sample of the same file) is already past it: data in time order goes
    // through that hour twice. A clock time that never occurs (spring
    // forward) is taken with the offset before the change.
    Seconds instantOf(Seconds civil, Seconds notBefore);

private:
    QTimeZone m_zone;
    std::int64_t m_offsetHour = INT64_MIN;
    int m_offset = 0;
    std::int64_t m_civilHour = INT64_MIN;
    int m_earlyOffset = 0; // the larger offset: the earlier of two instants
    int m_lateOffset = 0;
};

// Floor division, also for times before 1970.
constexpr std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

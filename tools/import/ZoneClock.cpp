#include "ZoneClock.h"

#include <QDateTime>

namespace {

constexpr std::int64_t kHour = 3600;
constexpr std::int64_t kDay = 86400;

} // namespace

ZoneClock::ZoneClock(QTimeZone zone) : m_zone(std::move(zone)) {}

int ZoneClock::offsetAt(Seconds instant)
{
    // Zones change their offset on whole hours of UTC.
    const std::int64_t hour = floorDiv(instant, kHour);
    if (hour != m_offsetHour) {
        m_offsetHour = hour;
        m_offset =
            m_zone.offsetFromUtc(QDateTime::fromSecsSinceEpoch(hour * kHour, QTimeZone::utc()));
    }
    return m_offset;
}

Seconds ZoneClock::instantOf(Seconds civil, Seconds notBefore)
{
    const std::int64_t hour = floorDiv(civil, kHour);
    if (hour != m_civilHour) {
        m_civilHour = hour;
        const Seconds middle = hour * kHour + kHour / 2;
        // At most one change lies within a day of any time: the offsets a
        // day before and after are the only candidates.
        const int before = offsetAt(middle - kDay);
        const int after = offsetAt(middle + kDay);
        const bool beforeFits = middle - before + offsetAt(middle - before) == middle;
        const bool afterFits = middle - after + offsetAt(middle - after) == middle;
        if (beforeFits && afterFits) {
            m_earlyOffset = std::max(before, after);
            m_lateOffset = std::min(before, after);
        } else {
            m_earlyOffset = m_lateOffset = afterFits && !beforeFits ? after : before;
        }
    }
    const Seconds early = civil - m_earlyOffset;
    return early < notBefore ? civil - m_lateOffset : early;
}

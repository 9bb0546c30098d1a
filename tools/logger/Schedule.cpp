#include "Schedule.h"

namespace {

constexpr qint64 kMsecsPerMinute = 60 * 1000;
// Far more whole minutes than any interval plus a DST jump.
constexpr int kMaxMinutesAhead = 3 * 24 * 60;

qint64 floorDiv(qint64 a, qint64 b)
{
    return a / b - (a % b < 0 ? 1 : 0);
}

} // namespace

QDateTime nextSampleTime(const QDateTime &after, int intervalMinutes, const QTimeZone &zone)
{
    // Walk whole minutes of absolute time, so each moment is tried once
    // whatever the local clock does around it.
    qint64 minute = floorDiv(after.toMSecsSinceEpoch(), kMsecsPerMinute) + 1;
    for (int i = 0; i < kMaxMinutesAhead; ++i, ++minute) {
        const QDateTime candidate = QDateTime::fromMSecsSinceEpoch(minute * kMsecsPerMinute, zone);
        const QTime local = candidate.time();
        if (local.second() == 0 && (local.hour() * 60 + local.minute()) % intervalMinutes == 0)
            return candidate;
    }
    return after.addSecs(qint64(intervalMinutes) * 60); // a zone with no whole minutes
}

#pragma once

#include <QDateTime>
#include <QTimeZone>

// The first moment after `after` at which the local clock of zone shows a
// whole multiple of the interval counted from midnight (10:00, 10:10, ...
// for 10 minutes). Local time that a DST change skips is skipped; an hour
// that it repeats is sampled twice.
QDateTime nextSampleTime(const QDateTime &after, int intervalMinutes, const QTimeZone &zone);

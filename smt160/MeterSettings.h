#pragma once

#include <cstdint>

namespace smt160 {

// How long and how carefully one measurement samples the line.
struct MeterSettings
{
    // Whole periods are gathered for this long; a call never takes much more.
    std::int64_t windowNs = 150'000'000;
    // Two reads further apart than this mean the process was descheduled: the
    // period around them cannot be trusted.
    std::int64_t maxGapNs = 10'000;
    // Below 400 Hz both halves of a period are shorter than this, so a line
    // without an edge for this long carries no signal.
    std::int64_t edgeTimeoutNs = 3'000'000;
    // Fewer clean periods than this give no trustworthy average.
    int minPeriods = 10;
};

} // namespace smt160

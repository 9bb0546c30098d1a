#pragma once

#include <cstdint>

namespace smt160 {

// How long and how carefully one measurement samples the line.
struct MeterSettings
{
    // Whole periods are gathered for this long; a call never takes much more.
    std::int64_t windowNs = 150'000'000;
    // Two reads further apart than this mean the process was paused between
    // them: an edge that falls there has no usable time.
    std::int64_t maxGapNs = 10'000;
    // A pause this long may have hidden a whole pulse (a 4 kHz sensor near
    // -45 C is high for only 27 us), so no-edge timing starts again after it.
    // The pauses of about every millisecond are shorter.
    std::int64_t longPauseNs = 100'000;
    // Below 400 Hz both halves of a period are shorter than this, so a line
    // without an edge for this long carries no signal.
    std::int64_t edgeTimeoutNs = 3'000'000;
    // Fewer clean periods than this give no trustworthy average.
    int minPeriods = 10;
    // A period this far from the median hides a pulse lost in a pause (it is
    // then two periods long) and is left out.
    double periodTolerance = 0.25;
};

} // namespace smt160

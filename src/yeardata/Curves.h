#pragma once

#include "DataRecord.h"

#include <cstdint>
#include <span>
#include <vector>

// A straight line in diagram units (x = day of year, y = 40 - t or 1053 - QNH).
struct Segment
{
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::uint32_t rgb = 0; // 0xRRGGBB

    friend bool operator==(const Segment &, const Segment &) = default;
};

namespace CurveColor {
inline constexpr std::uint32_t Blue = 0x0000FF;      // below 0 C
inline constexpr std::uint32_t Red = 0xFF0000;       // above 0 C
inline constexpr std::uint32_t Purple = 0x9C009E;    // daily highest QNH
inline constexpr std::uint32_t DarkGreen = 0x007400; // daily lowest QNH
} // namespace CurveColor

struct TemperatureCurve
{
    std::vector<Segment> segments;    // in drawing order
    std::vector<float> lastDayValues; // the last day's temperatures, largest first
};

// Both curves leave out segments that lie wholly outside the diagram's area
// (x 0..365, y 0..80, with a margin): they could never be seen.

// One bar per run of equal day numbers, from the day's lowest to its highest
// temperature; NaN and infinite temperatures are skipped, and a day without a
// valid one has no bar. lastDayValues holds the valid temperatures of the last
// run of records.
TemperatureCurve temperatureCurve(std::span<const DataRecord> records, std::int32_t yearStartDay);

struct PressureCurve
{
    std::vector<Segment> segments;    // the purple maxima first, then the green minima
    std::vector<std::int32_t> series; // (day number, lowest QNH) pairs
    std::vector<float> lastDayValues; // the last day's QNH readings, largest first
};

// Two polylines, one vertex per day with at least one nonzero QNH; a QNH of 0
// is no reading. series and lastDayValues hold every such day and reading,
// seen or not.
PressureCurve pressureCurve(std::span<const DataRecord> records, std::int32_t yearStartDay);

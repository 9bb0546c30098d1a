#include "Curves.h"

#include "ShellSort.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr double kZeroCelsiusY = 40.0;          // y = 40 - t
constexpr std::int64_t kPressureOffsetY = 1053; // y = 1053 - QNH, so 1013 hPa meets 0 C
constexpr std::int32_t kNoReading = 0;

// A day is a run of consecutive records with one day number; the same date in
// two runs makes two days.
template <typename DayFn> void forEachDay(std::span<const DataRecord> records, DayFn &&onDay)
{
    std::size_t first = 0;
    while (first < records.size()) {
        const std::int32_t day = records[first].dayNumber;
        std::size_t end = first + 1;
        while (end < records.size() && records[end].dayNumber == day)
            ++end;
        onDay(day, records.subspan(first, end - first));
        first = end;
    }
}

float dayX(std::int32_t day, std::int32_t yearStartDay)
{
    return float(std::int64_t(day) - std::int64_t(yearStartDay));
}

// Infinities are no more a reading than NaN is; they would only draw lines to nowhere.
bool isReading(float t)
{
    return std::isfinite(t);
}

std::vector<float> sortedTemperatures(std::span<const DataRecord> day)
{
    std::vector<float> values;
    values.reserve(day.size());
    for (const DataRecord &r : day)
        if (isReading(r.temp))
            values.push_back(r.temp);
    shellSortArray(values);
    return values;
}

std::vector<float> sortedPressures(std::span<const DataRecord> day)
{
    std::vector<float> values;
    values.reserve(day.size());
    for (const DataRecord &r : day)
        if (r.qnh != kNoReading)
            values.push_back(float(r.qnh));
    shellSortArray(values);
    return values;
}

// The diagram shows x 0..365 and y 0..80. A segment that misses that area,
// with a margin wider than any line, can never be seen; leaving it out keeps a
// file of wild day numbers or readings cheap in memory and in drawing.
constexpr double kVisibleLeft = 0, kVisibleRight = 365, kVisibleTop = 0, kVisibleBottom = 80;
constexpr double kVisibleMargin = 10;

// Liang-Barsky: narrows the part of the segment inside each edge in turn.
bool canBeSeen(const Segment &s)
{
    const double x0 = s.x1, y0 = s.y1;
    const double dx = double(s.x2) - x0, dy = double(s.y2) - y0;
    double enter = 0, leave = 1;
    const auto inside = [&](double p, double q) { // the part where p * t <= q
        if (p == 0)
            return q >= 0;
        const double t = q / p;
        if (p < 0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
        return enter <= leave;
    };
    return inside(-dx, x0 - (kVisibleLeft - kVisibleMargin)) &&
           inside(dx, (kVisibleRight + kVisibleMargin) - x0) &&
           inside(-dy, y0 - (kVisibleTop - kVisibleMargin)) &&
           inside(dy, (kVisibleBottom + kVisibleMargin) - y0);
}

void add(std::vector<Segment> &out, const Segment &s)
{
    if (canBeSeen(s))
        out.push_back(s);
}

void addBar(std::vector<Segment> &out, float x, float yLow, float yHigh)
{
    constexpr float zero = float(kZeroCelsiusY);
    // The rounded values decide the colours, not the readings.
    if (yLow > zero && yHigh >= zero) {
        add(out, {x, yLow, x, yHigh, CurveColor::Blue});
    } else if (yLow > zero) {
        add(out, {x, yLow, x, zero, CurveColor::Blue});
        add(out, {x, zero, x, yHigh, CurveColor::Red});
    } else {
        add(out, {x, yLow, x, yHigh, CurveColor::Red});
    }
}

struct PressureVertex
{
    float x;
    float highestY;
    float lowestY;
};

float pressureY(std::int32_t qnh)
{
    return float(kPressureOffsetY - std::int64_t(qnh));
}

} // namespace

TemperatureCurve temperatureCurve(std::span<const DataRecord> records, std::int32_t yearStartDay)
{
    TemperatureCurve curve;
    std::span<const DataRecord> lastDay;
    forEachDay(records, [&](std::int32_t day, std::span<const DataRecord> samples) {
        lastDay = samples;
        // A linear scan gives the first and last element of the sorted day.
        bool any = false;
        float lowest = 0, highest = 0;
        for (const DataRecord &r : samples) {
            if (!isReading(r.temp))
                continue;
            if (!any) {
                lowest = highest = r.temp;
                any = true;
            } else {
                lowest = std::min(lowest, r.temp);
                highest = std::max(highest, r.temp);
            }
        }
        if (!any)
            return;
        // 40 - t is exact in double, so only the half-to-even rounding rounds.
        const float yLow = float(std::nearbyint(kZeroCelsiusY - double(lowest)));
        const float yHigh = float(std::nearbyint(kZeroCelsiusY - double(highest)));
        addBar(curve.segments, dayX(day, yearStartDay), yLow, yHigh);
    });
    curve.lastDayValues = sortedTemperatures(lastDay);
    return curve;
}

PressureCurve pressureCurve(std::span<const DataRecord> records, std::int32_t yearStartDay)
{
    PressureCurve curve;
    std::vector<Segment> lowestLine; // drawn after the whole highest line
    std::optional<PressureVertex> previous;
    std::span<const DataRecord> lastDay;
    forEachDay(records, [&](std::int32_t day, std::span<const DataRecord> samples) {
        lastDay = samples;
        bool any = false;
        std::int32_t highest = 0, lowest = 0;
        for (const DataRecord &r : samples) {
            if (r.qnh == kNoReading)
                continue;
            if (!any) {
                highest = lowest = r.qnh;
                any = true;
            } else {
                highest = std::max(highest, r.qnh);
                lowest = std::min(lowest, r.qnh);
            }
        }
        if (!any)
            return; // the lines go on from the day before to the day after

        const PressureVertex v{dayX(day, yearStartDay), pressureY(highest), pressureY(lowest)};
        if (previous) {
            add(curve.segments,
                {previous->x, previous->highestY, v.x, v.highestY, CurveColor::Purple});
            add(lowestLine,
                {previous->x, previous->lowestY, v.x, v.lowestY, CurveColor::DarkGreen});
        }
        previous = v;
        curve.series.push_back(day);
        curve.series.push_back(lowest);
    });

    curve.segments.insert(curve.segments.end(), lowestLine.begin(), lowestLine.end());
    curve.lastDayValues = sortedPressures(lastDay);
    return curve;
}

#include "Curves.h"

#include "ShellSort.h"

#include <algorithm>
#include <cmath>

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

void addBar(std::vector<Segment> &out, float x, float yLow, float yHigh)
{
    constexpr float zero = float(kZeroCelsiusY);
    // The rounded values decide the colours, not the readings.
    if (yLow > zero && yHigh >= zero) {
        out.push_back({x, yLow, x, yHigh, CurveColor::Blue});
    } else if (yLow > zero) {
        out.push_back({x, yLow, x, zero, CurveColor::Blue});
        out.push_back({x, zero, x, yHigh, CurveColor::Red});
    } else {
        out.push_back({x, yLow, x, yHigh, CurveColor::Red});
    }
}

struct PressureVertex
{
    std::int32_t day;
    std::int32_t highest;
    std::int32_t lowest;
};

float pressureY(std::int32_t qnh)
{
    return float(kPressureOffsetY - std::int64_t(qnh));
}

template <typename ValueFn>
void addPolyline(std::vector<Segment> &out, std::span<const PressureVertex> vertices,
                 std::int32_t yearStartDay, std::uint32_t rgb, ValueFn value)
{
    for (std::size_t i = 1; i < vertices.size(); ++i) {
        const PressureVertex &a = vertices[i - 1];
        const PressureVertex &b = vertices[i];
        out.push_back({dayX(a.day, yearStartDay), pressureY(value(a)), dayX(b.day, yearStartDay),
                       pressureY(value(b)), rgb});
    }
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
    std::vector<PressureVertex> vertices;
    std::span<const DataRecord> lastDay;
    forEachDay(records, [&](std::int32_t day, std::span<const DataRecord> samples) {
        lastDay = samples;
        bool any = false;
        PressureVertex v{day, 0, 0};
        for (const DataRecord &r : samples) {
            if (r.qnh == kNoReading)
                continue;
            if (!any) {
                v.highest = v.lowest = r.qnh;
                any = true;
            } else {
                v.highest = std::max(v.highest, r.qnh);
                v.lowest = std::min(v.lowest, r.qnh);
            }
        }
        if (any)
            vertices.push_back(v);
    });

    addPolyline(curve.segments, vertices, yearStartDay, CurveColor::Purple,
                [](const PressureVertex &v) { return v.highest; });
    addPolyline(curve.segments, vertices, yearStartDay, CurveColor::DarkGreen,
                [](const PressureVertex &v) { return v.lowest; });

    curve.series.reserve(vertices.size() * 2);
    for (const PressureVertex &v : vertices) {
        curve.series.push_back(v.day);
        curve.series.push_back(v.lowest);
    }
    curve.lastDayValues = sortedPressures(lastDay);
    return curve;
}

#pragma once

#include "DataRecord.h"

#include <algorithm>
#include <cstddef>
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

// A day whose values are too many to keep (only a damaged file has them)
// leaves just its highest and lowest in lastDayValues: the first and the last
// element, which are what the loaders read.
inline constexpr std::size_t kMaxKeptDayValues = std::size_t(1) << 20;

// Pressure series are kept for at most this many days; a year has 366, and
// only a damaged file has more. Its curves are still drawn whole.
inline constexpr std::size_t kMaxSeriesDays = std::size_t(1) << 16;

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
// seen or not (within the limits above).
PressureCurve pressureCurve(std::span<const DataRecord> records, std::int32_t yearStartDay);

// The same curves built from records that come a block at a time, as a file
// is read: memory stays that of the curves and of one day's values.
class DayValuesKeeper
{
public:
    void startDay()
    {
        m_size = 0;
        m_overflow = false;
    }
    // Room for the values of n more records, or null once the day has too many.
    float *reserveRun(std::size_t n)
    {
        if (m_overflow || m_size + n > kMaxKeptDayValues) {
            m_overflow = true;
            return nullptr;
        }
        if (m_buffer.size() < m_size + n) // kept from day to day: grows to the longest day
            m_buffer.resize(std::max(m_size + n, 2 * m_buffer.size()));
        return m_buffer.data() + m_size;
    }
    void commitRun(std::size_t kept)
    {
        if (!m_overflow)
            m_size += kept;
    }
    // The day's values, largest first; its highest and lowest alone when they
    // were too many to keep, none when it had none.
    std::vector<float> sorted(bool any, float highest, float lowest) const;

private:
    std::vector<float> m_buffer;
    std::size_t m_size = 0;
    bool m_overflow = false;
};

// What both builders share: the records come in runs of one day number, each
// run's readings go into the day's values and extremes, and the builder (D)
// draws a day when the next one starts. D says which field of a record is
// its reading (D::reading, false when the record has none).
template <typename D, typename Value> class DayRunBuilder
{
public:
    explicit DayRunBuilder(std::int32_t yearStartDay) : m_yearStartDay(yearStartDay) {}
    void add(std::span<const DataRecord> records);

protected:
    void startDay(std::int32_t day);
    void addRun(std::span<const DataRecord> run);

    std::int32_t m_yearStartDay;
    bool m_inDay = false;
    std::int32_t m_day = 0;
    DayValuesKeeper m_values;
    bool m_any = false;
    Value m_lowest = 0, m_highest = 0;
};

class TemperatureCurveBuilder : public DayRunBuilder<TemperatureCurveBuilder, float>
{
public:
    using DayRunBuilder::DayRunBuilder;
    TemperatureCurve finish();
    // The curve finish() would give if the records ended here; more may be
    // added after. The last day's values only when asked for: sorting a day
    // of one-second samples is the costly part.
    TemperatureCurve current(bool withLastDayValues) const;

private:
    friend DayRunBuilder;
    static bool reading(const DataRecord &r, float &t);
    void endDay();
    void addOpenDay(std::vector<Segment> &out) const;

    TemperatureCurve m_curve;
};

class PressureCurveBuilder : public DayRunBuilder<PressureCurveBuilder, std::int32_t>
{
public:
    using DayRunBuilder::DayRunBuilder;
    PressureCurve finish();
    // As TemperatureCurveBuilder::current.
    PressureCurve current(bool withLastDayValues) const;

private:
    friend DayRunBuilder;
    static bool reading(const DataRecord &r, std::int32_t &qnh);
    void endDay();
    // The two segments from the day before to the day being built, if both have a reading.
    bool openDaySegments(Segment &highest, Segment &lowest) const;

    bool m_hasPrevious = false;
    float m_previousX = 0, m_previousHighestY = 0, m_previousLowestY = 0;
    std::vector<Segment> m_lowestLine; // drawn after the whole highest line
    PressureCurve m_curve;
};

#pragma once

#include "DataRecord.h"

#include <algorithm>
#include <array>
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

// Day numbers that go back more often than this in one file are not a
// station's clock being put right (a correction or a wrong date set back
// across midnight happens a few times a year; even once a week is 52): the
// file is not in time order, and its days are gathered by date instead of by
// runs of records.
inline constexpr std::int64_t kMostBackwardJumpsInOrder = 60;

// The days of the diagram, x 0 to 365, that a file out of time order is
// gathered into; days outside them are not drawn.
inline constexpr int kDiagramDays = 366;

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
// temperature; a temperature that is no reading (isPlausibleTemp) is skipped,
// and a day without a reading has no bar. lastDayValues holds the readings of
// the last run of records. A file out of time order (more backward jumps than
// kMostBackwardJumpsInOrder) gets one bar per day of the diagram instead.
TemperatureCurve temperatureCurve(std::span<const DataRecord> records, std::int32_t yearStartDay);

struct PressureCurve
{
    std::vector<Segment> segments;    // the purple maxima first, then the green minima
    std::vector<std::int32_t> series; // (day number, lowest QNH) pairs
    std::vector<float> lastDayValues; // the last day's QNH readings, largest first
};

// Two polylines, one vertex per day with at least one QNH reading; 0 and a
// value outside isPlausibleQnh are no reading. series and lastDayValues hold
// every such day and reading, seen or not (within the limits above). A file
// out of time order gets one vertex per day of the diagram, in day order.
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

// What a redraw says about a file beside its curves: the records that hold a
// value no station writes (Plausible.h), and how often the day numbers go back.
struct RecordFindings
{
    std::int64_t damaged = 0;         // records with a temperature or QNH that is no reading
    std::int64_t firstDamaged = 0;    // the first of them, counted from 1; 0 when none
    std::int32_t firstDamagedDay = 0; // its day number
    std::int64_t backwardJumps = 0;   // records whose day number is below the one before
    std::int32_t headingQnh = 0;      // QNH of the last record whose QNH is not damaged

    bool outOfOrder() const { return backwardJumps > kMostBackwardJumpsInOrder; }
};

class RecordFindingsBuilder
{
public:
    void add(std::span<const DataRecord> records);
    RecordFindings finish() const { return m_findings; }

private:
    RecordFindings m_findings;
    std::int64_t m_records = 0;
    std::int32_t m_lastDay = 0;
};

// The lowest and highest reading of each day of the diagram, for a file out
// of time order: memory for 366 days, whatever the file holds.
template <typename Value> class DiagramDayExtremes
{
public:
    void add(std::int64_t x, Value lowest, Value highest)
    {
        if (x < 0 || x >= kDiagramDays)
            return;
        Day &d = m_days[std::size_t(x)];
        d.lowest = d.any ? std::min(d.lowest, lowest) : lowest;
        d.highest = d.any ? std::max(d.highest, highest) : highest;
        d.any = true;
    }
    struct Day
    {
        bool any = false;
        Value lowest = 0, highest = 0;
    };
    const std::array<Day, kDiagramDays> &days() const { return m_days; }

private:
    std::array<Day, kDiagramDays> m_days{};
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
    // Every day also goes into the diagram's days, in case the file turns out
    // to be out of time order.
    void gatherDay();
    // The diagram's days with the day being built, as finish() would have them.
    DiagramDayExtremes<Value> daysSoFar() const;

    std::int32_t m_yearStartDay;
    std::int64_t m_backwardJumps = 0;
    bool m_outOfOrder = false; // the runs drawn so far are dropped; the days are drawn at the end
    DiagramDayExtremes<Value> m_diagramDays;
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
    void dropRuns();
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
    void dropRuns();
    // The two segments from the day before to the day being built, if both have a reading.
    bool openDaySegments(Segment &highest, Segment &lowest) const;

    bool m_hasPrevious = false;
    float m_previousX = 0, m_previousHighestY = 0, m_previousLowestY = 0;
    std::vector<Segment> m_lowestLine; // drawn after the whole highest line
    PressureCurve m_curve;
};

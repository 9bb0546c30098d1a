#include "Curves.h"

#include "LineClip.h"
#include "ShellSort.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kZeroCelsiusY = 40.0;          // y = 40 - t
constexpr std::int64_t kPressureOffsetY = 1053; // y = 1053 - QNH, so 1013 hPa meets 0 C
constexpr std::int32_t kNoReading = 0;

float dayX(std::int32_t day, std::int32_t yearStartDay)
{
    return float(std::int64_t(day) - std::int64_t(yearStartDay));
}

// Infinities are no more a reading than NaN is; they would only draw lines to nowhere.
bool isReading(float t)
{
    return std::isfinite(t);
}

// The diagram shows x 0..365 and y 0..80. A segment that misses that area,
// with a margin wider than any line, can never be seen; leaving it out keeps a
// file of wild day numbers or readings cheap in memory and in drawing.
constexpr double kVisibleLeft = 0, kVisibleRight = 365, kVisibleTop = 0, kVisibleBottom = 80;
constexpr double kVisibleMargin = 10;

bool canBeSeen(const Segment &s)
{
    // Most segments that miss the area lie wholly beyond one of its edges: a
    // file of damaged records is tens of millions of those, sorted out here
    // without a division.
    constexpr ClipBox area{kVisibleLeft - kVisibleMargin, kVisibleTop - kVisibleMargin,
                           kVisibleRight + kVisibleMargin, kVisibleBottom + kVisibleMargin};
    // Bitwise, not short-circuit: on such a file the sides are random, and
    // branches would be mispredicted half the time.
    const bool beyondAnEdge =
        ((s.x1 < area.left) & (s.x2 < area.left)) | ((s.x1 > area.right) & (s.x2 > area.right)) |
        ((s.y1 < area.top) & (s.y2 < area.top)) | ((s.y1 > area.bottom) & (s.y2 > area.bottom));
    return !beyondAnEdge && clipLine(s.x1, s.y1, s.x2, s.y2, area);
}

void addVisible(std::vector<Segment> &out, const Segment &s)
{
    if (canBeSeen(s))
        out.push_back(s);
}

void addBar(std::vector<Segment> &out, float x, float yLow, float yHigh)
{
    constexpr float zero = float(kZeroCelsiusY);
    // The rounded values decide the colours, not the readings.
    if (yLow > zero && yHigh >= zero) {
        addVisible(out, {x, yLow, x, yHigh, CurveColor::Blue});
    } else if (yLow > zero) {
        addVisible(out, {x, yLow, x, zero, CurveColor::Blue});
        addVisible(out, {x, zero, x, yHigh, CurveColor::Red});
    } else {
        addVisible(out, {x, yLow, x, yHigh, CurveColor::Red});
    }
}

float pressureY(std::int32_t qnh)
{
    return float(kPressureOffsetY - std::int64_t(qnh));
}

} // namespace

std::vector<float> DayValuesKeeper::sorted(bool any, float highest, float lowest) const
{
    if (!any)
        return {};
    if (m_overflow)
        return {highest, lowest};
    std::vector<float> values(m_buffer.begin(), m_buffer.begin() + std::ptrdiff_t(m_size));
    shellSortArray(values);
    return values;
}

// Inline: called for every record.
inline bool TemperatureCurveBuilder::reading(const DataRecord &r, float &t)
{
    t = r.temp;
    return isReading(t);
}

inline bool PressureCurveBuilder::reading(const DataRecord &r, std::int32_t &qnh)
{
    qnh = r.qnh;
    return qnh != kNoReading;
}

template <typename D, typename Value>
void DayRunBuilder<D, Value>::add(std::span<const DataRecord> records)
{
    std::size_t i = 0;
    while (i < records.size()) {
        const std::int32_t day = records[i].dayNumber;
        if (!m_inDay || day != m_day)
            startDay(day);
        std::size_t end = i + 1;
        while (end < records.size() && records[end].dayNumber == day)
            ++end;
        addRun(records.subspan(i, end - i));
        i = end;
    }
}

template <typename D, typename Value> void DayRunBuilder<D, Value>::startDay(std::int32_t day)
{
    static_cast<D *>(this)->endDay();
    m_inDay = true;
    m_day = day;
    m_any = false;
    m_values.startDay();
}

template <typename D, typename Value>
void DayRunBuilder<D, Value>::addRun(std::span<const DataRecord> run)
{
    float *out = m_values.reserveRun(run.size());
    std::size_t kept = 0;
    bool any = m_any;
    Value lowest = m_lowest, highest = m_highest;
    for (const DataRecord &r : run) {
        Value v;
        if (!D::reading(r, v))
            continue;
        if (out)
            out[kept] = float(v);
        ++kept;
        if (!any) {
            lowest = highest = v;
            any = true;
        } else {
            lowest = std::min(lowest, v);
            highest = std::max(highest, v);
        }
    }
    m_values.commitRun(kept);
    m_any = any;
    m_lowest = lowest;
    m_highest = highest;
}

void TemperatureCurveBuilder::addOpenDay(std::vector<Segment> &out) const
{
    if (!m_inDay || !m_any)
        return;
    const float x = dayX(m_day, m_yearStartDay);
    if (x < kVisibleLeft - kVisibleMargin || x > kVisibleRight + kVisibleMargin)
        return; // a bar beside the diagram can never be seen
    // 40 - t is exact in double, so only the half-to-even rounding rounds.
    const float yLow = float(std::nearbyint(kZeroCelsiusY - double(m_lowest)));
    const float yHigh = float(std::nearbyint(kZeroCelsiusY - double(m_highest)));
    addBar(out, x, yLow, yHigh);
}

void TemperatureCurveBuilder::endDay()
{
    addOpenDay(m_curve.segments);
}

TemperatureCurve TemperatureCurveBuilder::finish()
{
    endDay();
    m_curve.lastDayValues = m_values.sorted(m_inDay && m_any, m_highest, m_lowest);
    m_inDay = false;
    return std::move(m_curve);
}

TemperatureCurve TemperatureCurveBuilder::current(bool withLastDayValues) const
{
    TemperatureCurve curve;
    curve.segments.reserve(m_curve.segments.size() + 2);
    curve.segments = m_curve.segments;
    addOpenDay(curve.segments);
    if (withLastDayValues)
        curve.lastDayValues = m_values.sorted(m_inDay && m_any, m_highest, m_lowest);
    return curve;
}

bool PressureCurveBuilder::openDaySegments(Segment &highest, Segment &lowest) const
{
    if (!m_inDay || !m_any || !m_hasPrevious)
        return false;
    const float x = dayX(m_day, m_yearStartDay);
    highest = {m_previousX, m_previousHighestY, x, pressureY(m_highest), CurveColor::Purple};
    lowest = {m_previousX, m_previousLowestY, x, pressureY(m_lowest), CurveColor::DarkGreen};
    return true;
}

void PressureCurveBuilder::endDay()
{
    if (!m_inDay || !m_any)
        return; // the lines go on from the day before to the day after
    if (Segment highest, lowest; openDaySegments(highest, lowest)) {
        addVisible(m_curve.segments, highest);
        addVisible(m_lowestLine, lowest);
    }
    m_hasPrevious = true;
    m_previousX = dayX(m_day, m_yearStartDay);
    m_previousHighestY = pressureY(m_highest);
    m_previousLowestY = pressureY(m_lowest);
    if (m_curve.series.size() < 2 * kMaxSeriesDays) {
        m_curve.series.push_back(m_day);
        m_curve.series.push_back(m_lowest);
    }
}

PressureCurve PressureCurveBuilder::finish()
{
    endDay();
    m_inDay = false;
    m_curve.segments.insert(m_curve.segments.end(), m_lowestLine.begin(), m_lowestLine.end());
    m_curve.lastDayValues = m_values.sorted(m_any, float(m_highest), float(m_lowest));
    return std::move(m_curve);
}

PressureCurve PressureCurveBuilder::current(bool withLastDayValues) const
{
    PressureCurve curve;
    Segment highest, lowest;
    const bool open = openDaySegments(highest, lowest);
    curve.segments.reserve(m_curve.segments.size() + m_lowestLine.size() + 2);
    curve.segments = m_curve.segments;
    if (open)
        addVisible(curve.segments, highest);
    curve.segments.insert(curve.segments.end(), m_lowestLine.begin(), m_lowestLine.end());
    if (open)
        addVisible(curve.segments, lowest);
    curve.series = m_curve.series;
    if (m_inDay && m_any && curve.series.size() < 2 * kMaxSeriesDays) {
        curve.series.push_back(m_day);
        curve.series.push_back(m_lowest);
    }
    if (withLastDayValues)
        curve.lastDayValues = m_values.sorted(m_any, float(m_highest), float(m_lowest));
    return curve;
}

TemperatureCurve temperatureCurve(std::span<const DataRecord> records, std::int32_t yearStartDay)
{
    TemperatureCurveBuilder builder(yearStartDay);
    builder.add(records);
    return builder.finish();
}

PressureCurve pressureCurve(std::span<const DataRecord> records, std::int32_t yearStartDay)
{
    PressureCurveBuilder builder(yearStartDay);
    builder.add(records);
    return builder.finish();
}

template class DayRunBuilder<TemperatureCurveBuilder, float>;
template class DayRunBuilder<PressureCurveBuilder, std::int32_t>;

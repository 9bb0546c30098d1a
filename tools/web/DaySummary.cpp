#include "DaySummary.h"

#include "DayNumber.h"
#include "Plausible.h"

#include <algorithm>

namespace {

DaySummary &dayOf(std::vector<DaySummary> &days, std::int32_t day, std::int64_t index)
{
    // Records come in time order, so nearly always the day is the last one or a new one.
    if (days.empty() || days.back().day < day) {
        days.push_back(DaySummary{.day = day, .firstRecord = index});
        return days.back();
    }
    if (days.back().day == day)
        return days.back();
    auto at = std::lower_bound(days.begin(), days.end(), day,
                               [](const DaySummary &d, std::int32_t n) { return d.day < n; });
    if (at == days.end() || at->day != day)
        at = days.insert(at, DaySummary{.day = day, .firstRecord = index});
    at->firstRecord = std::min(at->firstRecord, index);
    return *at;
}

void addTemp(DaySummary &d, float t, float time)
{
    if (d.tempCount == 0 || t > d.tempHigh) {
        d.tempHigh = t;
        d.tempHighTime = time;
    }
    if (d.tempCount == 0 || t < d.tempLow) {
        d.tempLow = t;
        d.tempLowTime = time;
    }
    ++d.tempCount;
    d.tempSum += t;
    d.lastTemp = t;
    d.lastTempTime = time;
}

void addQnh(DaySummary &d, std::int32_t qnh, float time)
{
    if (d.qnhCount == 0 || qnh > d.qnhHigh)
        d.qnhHigh = qnh;
    if (d.qnhCount == 0 || qnh < d.qnhLow)
        d.qnhLow = qnh;
    ++d.qnhCount;
    d.qnhSum += qnh;
    d.lastQnh = qnh;
    d.lastQnhTime = time;
}

} // namespace

void addToDays(std::vector<DaySummary> &days, int year, std::span<const DataRecord> records,
               std::int64_t firstIndex)
{
    const std::int64_t first = DayNumber::fromDate(QDate(year, 1, 1));
    const std::int64_t last = DayNumber::fromDate(QDate(year, 12, 31));
    for (std::size_t i = 0; i < records.size(); ++i) {
        const DataRecord &r = records[i];
        if (r.dayNumber < first || r.dayNumber > last)
            continue;
        const bool temp = isPlausibleTemp(r.temp), qnh = isPlausibleQnh(r.qnh);
        DaySummary &d = dayOf(days, r.dayNumber, firstIndex + std::int64_t(i));
        if (temp)
            addTemp(d, r.temp, r.timeOfDay);
        if (qnh)
            addQnh(d, r.qnh, r.timeOfDay);
    }
}

std::vector<DaySummary> summarizeDays(int year, std::span<const DataRecord> records)
{
    std::vector<DaySummary> days;
    addToDays(days, year, records, 0);
    return days;
}

#include "WebStats.h"

#include "DayNumber.h"

#include <algorithm>

namespace {

template <typename T, typename Better>
void keep(std::optional<Dated<T>> &best, T value, std::int32_t day, float time, Better better)
{
    if (!best || better(value, best->value))
        best = Dated<T>{value, day, time};
}

bool higher(double a, double b)
{
    return a > b;
}

bool lower(double a, double b)
{
    return a < b;
}

} // namespace

PeriodStats periodStats(std::span<const DaySummary> days)
{
    PeriodStats s;
    double meanSum = 0, qnhMeanSum = 0;
    int qnhDays = 0;
    for (const DaySummary &d : days) {
        if (d.hasTemp()) {
            ++s.tempDays;
            meanSum += d.meanTemp();
            keep(s.high, d.tempHigh, d.day, d.tempHighTime, higher);
            keep(s.low, d.tempLow, d.day, d.tempLowTime, lower);
            s.frostDays += d.tempLow < kFrostBelow;
            s.iceDays += d.tempHigh < kIceBelow;
            s.summerDays += d.tempHigh >= kSummerFrom;
            s.tropicalNights += d.tempLow >= kTropicalNightFrom;
        }
        if (d.hasQnh()) {
            ++qnhDays;
            qnhMeanSum += d.meanQnh();
            keep(s.qnhHigh, d.qnhHigh, d.day, 0.0f, higher);
            keep(s.qnhLow, d.qnhLow, d.day, 0.0f, lower);
        }
    }
    if (s.tempDays > 0)
        s.meanTemp = meanSum / s.tempDays;
    if (qnhDays > 0)
        s.meanQnh = qnhMeanSum / qnhDays;
    return s;
}

std::span<const DaySummary> monthDays(std::span<const DaySummary> days, int year, int month)
{
    const QDate start(year, month, 1);
    const std::int64_t first = DayNumber::fromDate(start);
    const std::int64_t end = DayNumber::fromDate(start.addMonths(1));
    const auto from =
        std::lower_bound(days.begin(), days.end(), first,
                         [](const DaySummary &d, std::int64_t n) { return d.day < n; });
    const auto to = std::lower_bound(from, days.end(), end,
                                     [](const DaySummary &d, std::int64_t n) { return d.day < n; });
    return {from, to};
}

int calendarIndex(std::int32_t day)
{
    const QDate date = DayNumber::toDate(day);
    return QDate(2000, date.month(), date.day()).dayOfYear() - 1; // 2000 is a leap year
}

void addToBand(ClimateBand &band, std::span<const DaySummary> days)
{
    for (const DaySummary &d : days) {
        if (!d.hasTemp())
            continue;
        CalendarBand &b = band[std::size_t(calendarIndex(d.day))];
        if (b.years == 0 || d.tempLow < b.lowestLow)
            b.lowestLow = d.tempLow;
        if (b.years == 0 || d.tempHigh > b.highestHigh)
            b.highestHigh = d.tempHigh;
        b.meanSum += d.meanTemp();
        ++b.years;
    }
}

void addToRecords(YearRecords &records, std::span<const DaySummary> days)
{
    for (const DaySummary &d : days) {
        MonthRecords &m = records[std::size_t(DayNumber::toDate(d.day).month() - 1)];
        if (d.hasTemp()) {
            keep(m.high, d.tempHigh, d.day, d.tempHighTime, higher);
            keep(m.low, d.tempLow, d.day, d.tempLowTime, lower);
        }
        if (d.hasQnh()) {
            keep(m.qnhHigh, d.qnhHigh, d.day, 0.0f, higher);
            keep(m.qnhLow, d.qnhLow, d.day, 0.0f, lower);
        }
    }
}

LatestReadings latestReadings(std::span<const DaySummary> days)
{
    LatestReadings latest;
    for (auto d = days.rbegin(); d != days.rend() && !(latest.temp && latest.qnh); ++d) {
        if (!latest.temp && d->hasTemp())
            latest.temp = Dated<float>{d->lastTemp, d->day, d->lastTempTime};
        if (!latest.qnh && d->hasQnh())
            latest.qnh = Dated<std::int32_t>{d->lastQnh, d->day, d->lastQnhTime};
    }
    return latest;
}

const DaySummary *findDay(std::span<const DaySummary> days, std::int32_t day)
{
    const auto at = std::lower_bound(days.begin(), days.end(), day,
                                     [](const DaySummary &d, std::int32_t n) { return d.day < n; });
    return at != days.end() && at->day == day ? &*at : nullptr;
}

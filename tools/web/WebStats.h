#pragma once

#include "DaySummary.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

// The figures of the pages, worked out from day summaries alone.

// A value with the day (and time of day) it was reached; the earliest wins a tie.
template <typename T> struct Dated
{
    T value{};
    std::int32_t day = 0;
    float time = 0;
};

inline constexpr float kFrostBelow = 0.0f;         // a day whose low is below: frost day
inline constexpr float kIceBelow = 0.0f;           // whose high is below: ice day
inline constexpr float kSummerFrom = 25.0f;        // whose high is at least: summer day
inline constexpr float kTropicalNightFrom = 20.0f; // whose low is at least: tropical night

// A month or a year.
struct PeriodStats
{
    int tempDays = 0;               // days with a temperature reading
    std::optional<double> meanTemp; // the mean of the days' means
    std::optional<Dated<float>> high, low;
    int frostDays = 0, iceDays = 0, summerDays = 0, tropicalNights = 0;
    std::optional<double> meanQnh; // the mean of the days' means
    std::optional<Dated<std::int32_t>> qnhHigh, qnhLow;
};

PeriodStats periodStats(std::span<const DaySummary> days);

// The days of `days` (in day order) that fall in that month.
std::span<const DaySummary> monthDays(std::span<const DaySummary> days, int year, int month);

// Calendar days as a leap year has them: 0 is 1 January, 59 is 29 February, 365 is 31 December.
inline constexpr int kCalendarDays = 366;
int calendarIndex(std::int32_t day);

// For one calendar day over several years: the lowest low, the highest high
// and the mean of the daily means.
struct CalendarBand
{
    int years = 0;
    float lowestLow = 0, highestHigh = 0;
    double meanSum = 0;
    double mean() const { return meanSum / years; }
};
using ClimateBand = std::array<CalendarBand, kCalendarDays>;

// Adds one year's days to the band.
void addToBand(ClimateBand &band, std::span<const DaySummary> days);

// Records of one calendar month over all years.
struct MonthRecords
{
    std::optional<Dated<float>> high, low;
    std::optional<Dated<std::int32_t>> qnhHigh, qnhLow;
};
using YearRecords = std::array<MonthRecords, 12>;

// Adds one year's days to the records; years must come in order for ties to
// go to the earliest date.
void addToRecords(YearRecords &records, std::span<const DaySummary> days);

// The newest readings among days (in day order), each with its own day and time.
struct LatestReadings
{
    std::optional<Dated<float>> temp;
    std::optional<Dated<std::int32_t>> qnh;
};
LatestReadings latestReadings(std::span<const DaySummary> days);

// The summary of one day, if there is one.
const DaySummary *findDay(std::span<const DaySummary> days, std::int32_t day);

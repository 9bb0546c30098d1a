#pragma once

#include "WebStats.h"
#include "YearCache.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <span>

// A sample placed in time: seconds since day 0 (local time, as the files hold it).
struct TimedSample
{
    std::int64_t second = 0;
    float temp = 0;       // NaN: no reading
    std::int32_t qnh = 0; // 0: no reading
};

inline constexpr int kChartWidth = 640;
inline constexpr int kChartHeight = 320;

// Temperature and QNH from `from` to `to` as SVG, averaged over five minutes.
QByteArray hoursChart(std::span<const TimedSample> samples, std::int64_t from, std::int64_t to,
                      const QString &description);

// This year's daily highs and lows over the band of the earlier years, as SVG.
QByteArray climateChart(const ClimateBand &band, std::span<const DaySummary> year,
                        const QString &description);

// The window's picture of a year, drawn by the window's own code from the
// days' extremes (the curves need nothing else), at twice the size.
inline constexpr double kYearChartScale = 2.0;
QImage yearChartImage(const YearSummary &summary);

// Identifies what yearChartImage draws, to skip drawing an unchanged year.
std::uint64_t yearChartKey(const YearSummary &summary);

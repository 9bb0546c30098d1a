#pragma once

#include "DataRecord.h"

#include <QString>

#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <vector>

// A made-up but believable year of samples for southern Stockholm: seasonal
// and daily temperature cycles, persistent weather, readings to 0.1 C (so
// exact 0.0 C in winter) and pressure wandering between about 975 and 1045 hPa.
// The same arguments always give the same records.
std::vector<DataRecord> sampleYear(int year, int intervalMinutes, std::uint32_t seed);

inline constexpr int kMinSampleInterval = 1;  // minutes
inline constexpr int kMaxSampleInterval = 60; // minutes
inline constexpr int kMinSampleSeconds = 1;
inline constexpr int kMaxSampleSeconds = 60 * 60;

// The same year one record at a time, for years too large to hold: a sample
// every intervalSeconds from 1 January 00:00. Every 60 seconds it gives
// exactly the records of sampleYear.
class SampleYearGenerator
{
public:
    SampleYearGenerator(int year, int intervalSeconds, std::uint32_t seed);
    ~SampleYearGenerator();
    SampleYearGenerator(const SampleYearGenerator &) = delete;
    SampleYearGenerator &operator=(const SampleYearGenerator &) = delete;

    std::size_t size() const; // records in the whole year
    bool next(DataRecord &record);

private:
    class Random;
    class Wander;
    int m_interval;
    std::int32_t m_firstDay = 0;
    std::int64_t m_secondsInYear = 0;
    std::int64_t m_second = 0;
    std::unique_ptr<Random> m_random;
    std::unique_ptr<Wander> m_weather, m_pressure;
};

// Writes the generator's year to path through a small buffer, replacing any
// file there; with lastDay (a day number), only the samples up to that day.
bool writeSampleYear(const QString &path, int year, int intervalSeconds, std::uint32_t seed,
                     QString *errorString = nullptr,
                     std::int32_t lastDay = std::numeric_limits<std::int32_t>::max());

// Writes records as a year file, replacing any file at path.
bool writeYearFile(const QString &path, std::span<const DataRecord> records,
                   QString *errorString = nullptr);

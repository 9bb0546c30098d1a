#pragma once

#include "DataRecord.h"

#include <QString>

#include <cstdint>
#include <span>
#include <vector>

// A made-up but believable year of samples for southern Stockholm: seasonal
// and daily temperature cycles, persistent weather, readings to 0.1 C (so
// exact 0.0 C in winter) and pressure wandering between about 975 and 1045 hPa.
// The same arguments always give the same records.
std::vector<DataRecord> sampleYear(int year, int intervalMinutes, std::uint32_t seed);

inline constexpr int kMinSampleInterval = 1;  // minutes
inline constexpr int kMaxSampleInterval = 60; // minutes

// Writes records as a year file, replacing any file at path.
bool writeYearFile(const QString &path, std::span<const DataRecord> records,
                   QString *errorString = nullptr);

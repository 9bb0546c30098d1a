#pragma once

#include "DataRecord.h"

#include <cstdint>
#include <span>
#include <vector>

// What the pages need of one day of a year file: sums, extremes with their
// times, and the last reading. Every field can be merged with more records of
// the same day, so a day is completed from the records a later run reads.
// Only plausible values count (Plausible.h); a record of another year than its
// file's is damage and is left out.
struct DaySummary
{
    std::int32_t day = 0;         // day number
    std::int64_t firstRecord = 0; // the day's first record in its file, counted from 0

    std::int32_t tempCount = 0;
    double tempSum = 0;
    float tempHigh = 0, tempLow = 0;
    float tempHighTime = 0, tempLowTime = 0; // fraction of the day
    float lastTemp = 0, lastTempTime = 0;

    std::int32_t qnhCount = 0;
    std::int64_t qnhSum = 0;
    std::int32_t qnhHigh = 0, qnhLow = 0;
    std::int32_t lastQnh = 0;
    float lastQnhTime = 0;

    bool hasTemp() const { return tempCount > 0; }
    bool hasQnh() const { return qnhCount > 0; }
    double meanTemp() const { return tempSum / tempCount; }
    double meanQnh() const { return double(qnhSum) / qnhCount; }

    friend bool operator==(const DaySummary &, const DaySummary &) = default;
};

// Adds records of the year file of `year` to that year's days, kept in day
// order. firstIndex is the number in the file of records.front().
void addToDays(std::vector<DaySummary> &days, int year, std::span<const DataRecord> records,
               std::int64_t firstIndex);

// The summaries of a whole file's records, for tests and small files.
std::vector<DaySummary> summarizeDays(int year, std::span<const DataRecord> records);

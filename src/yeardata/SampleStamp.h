#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>

// When a sample was taken, as a year file stores it.
struct SampleStamp
{
    std::int32_t dayNumber = 0; // days since 1899-12-30
    float timeOfDay = 0.0f;     // fraction of the day, whole seconds
    int year = 0;               // the year whose file holds the sample
};

// The stamp of a moment in local time (the date and clock time that
// localTime shows). Seconds are whole, so the last second of a day stays
// below 1.0 and never reads as the next midnight.
SampleStamp stampOf(const QDateTime &localTime);

// "T_2026.dat"
QString yearFileName(int year);

#pragma once

#include <cmath>
#include <cstdint>

// What a year file may hold as weather. Values outside these bounds are what a
// damaged block or random bytes look like, never a station's reading, so the
// curves, statistics and exports treat them as no reading. The live sensor has
// its own, wider bounds (the SMT160's range).
inline constexpr float kLowestPlausibleTemp = -90.0f;
inline constexpr float kHighestPlausibleTemp = 60.0f;
inline constexpr std::int32_t kLowestPlausibleQnh = 850;
inline constexpr std::int32_t kHighestPlausibleQnh = 1090;

// A stored temperature that counts as a reading.
inline bool isPlausibleTemp(float t)
{
    return std::isfinite(t) && t >= kLowestPlausibleTemp && t <= kHighestPlausibleTemp;
}

// A stored QNH that counts as a reading; 0 is the logger's "no reading".
constexpr bool isPlausibleQnh(std::int32_t qnh)
{
    return qnh >= kLowestPlausibleQnh && qnh <= kHighestPlausibleQnh;
}

// A stored QNH that is neither a reading nor the logger's "no reading" mark.
constexpr bool isDamagedQnh(std::int32_t qnh)
{
    return qnh != 0 && !isPlausibleQnh(qnh);
}

// A stored temperature that is neither a reading nor a missing one (NaN).
inline bool isDamagedTemp(float t)
{
    return !std::isnan(t) && !isPlausibleTemp(t);
}

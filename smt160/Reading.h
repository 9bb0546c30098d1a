#pragma once

#include "Measurement.h"
#include "MeterSettings.h"

#include <string>

namespace smt160 {

// A temperature in degrees Celsius, or NaN and why there is none.
struct Reading
{
    float celsius = 0.0f;
    std::string reason; // empty for a valid reading
};

Reading noReading(std::string reason);

// The reading a measurement gives, with allOnes telling that the port
// answered 0xFF throughout.
Reading readingFrom(const Measurement &m, bool allOnes = false, const MeterSettings &settings = {});

} // namespace smt160

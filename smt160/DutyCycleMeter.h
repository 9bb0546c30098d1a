#pragma once

#include "Measurement.h"
#include "MeterSettings.h"
#include "SampleSource.h"

#include <cstdint>
#include <vector>

namespace smt160 {

// Measures the duty cycle of a square wave by polling its level. Each period
// is timed by its three edges (falling, rising, falling); the process may be
// paused anywhere in between without harm, so only a period with an edge next
// to a pause is lost. The duty cycle is the sum of high times over the sum of
// period times, from one falling edge to the next.
class DutyCycleMeter
{
public:
    explicit DutyCycleMeter(const MeterSettings &settings = {}) : m_settings(settings) {}

    Measurement measure(SampleSource &source) const;

private:
    struct Period
    {
        std::int64_t highNs;
        std::int64_t totalNs;
    };

    Measurement evaluate(std::vector<Period> &periods) const;

    MeterSettings m_settings;
};

} // namespace smt160

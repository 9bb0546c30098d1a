#pragma once

#include "Measurement.h"
#include "MeterSettings.h"
#include "SampleSource.h"

namespace smt160 {

// Measures the duty cycle of a square wave by polling its level. Time is
// summed over whole periods, from one falling edge to the next; each interval
// between two reads counts for the level seen at its start, so the error at
// the rising and at the falling edge cancels on average. A period broken by a
// gap between reads is dropped whole.
class DutyCycleMeter
{
public:
    explicit DutyCycleMeter(const MeterSettings &settings = {}) : m_settings(settings) {}

    Measurement measure(SampleSource &source) const;

private:
    Measurement evaluate(std::int64_t highNs, std::int64_t totalNs, int periods) const;

    MeterSettings m_settings;
};

} // namespace smt160

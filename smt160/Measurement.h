#pragma once

namespace smt160 {

enum class MeterOutcome {
    Valid,
    ReadFailed,
    NoEdgeHigh, // the line stayed high without an edge
    NoEdgeLow,
    TooFewPeriods,
    FrequencyOutOfRange,
    DutyCycleOutOfRange,
};

// The result of sampling the line for one window.
struct Measurement
{
    MeterOutcome outcome = MeterOutcome::TooFewPeriods;
    double dutyCycle = 0.0;   // high time over period time, clean periods only
    double frequencyHz = 0.0; // clean periods per second of clean periods
    int periods = 0;          // clean periods measured

    bool valid() const { return outcome == MeterOutcome::Valid; }
};

} // namespace smt160

#include "DutyCycleMeter.h"

#include "SensorFormula.h"

#include <optional>

namespace smt160 {

Measurement DutyCycleMeter::measure(SampleSource &source) const
{
    std::optional<Sample> first = source.read();
    if (!first)
        return {.outcome = MeterOutcome::ReadFailed};

    const std::int64_t endNs = first->timeNs + m_settings.windowNs;
    Sample prev = *first;
    std::int64_t lastEdgeNs = prev.timeNs; // or the end of the last gap
    bool inPeriod = false;                 // a clean falling edge started the current period
    std::int64_t periodHighNs = 0;
    std::int64_t periodStartNs = 0;
    std::int64_t sumHighNs = 0;
    std::int64_t sumTotalNs = 0;
    int periods = 0;
    bool prevStepGap = false;

    while (prev.timeNs < endNs) {
        const std::optional<Sample> cur = source.read();
        if (!cur)
            return {.outcome = MeterOutcome::ReadFailed};
        const std::int64_t stepNs = cur->timeNs - prev.timeNs;
        const bool gap = stepNs > m_settings.maxGapNs;

        // A sample is stamped after its read, so a gap may lie between the
        // read and the stamp: the level of the sample after a gap is as old as
        // the gap. An edge next to a gap has no known time, so neither the
        // period in progress nor one starting there can be measured.
        if (gap || prevStepGap) {
            inPeriod = false;
            lastEdgeNs = cur->timeNs;
        } else {
            if (prev.high)
                periodHighNs += stepNs;
            if (prev.high != cur->high)
                lastEdgeNs = cur->timeNs;
            if (prev.high && !cur->high) {
                if (inPeriod) {
                    sumHighNs += periodHighNs;
                    sumTotalNs += cur->timeNs - periodStartNs;
                    ++periods;
                }
                inPeriod = true;
                periodStartNs = cur->timeNs;
                periodHighNs = 0;
            }
        }

        prevStepGap = gap;
        if (cur->timeNs - lastEdgeNs > m_settings.edgeTimeoutNs)
            return {.outcome = cur->high ? MeterOutcome::NoEdgeHigh : MeterOutcome::NoEdgeLow};
        prev = *cur;
    }
    return evaluate(sumHighNs, sumTotalNs, periods);
}

Measurement DutyCycleMeter::evaluate(std::int64_t highNs, std::int64_t totalNs, int periods) const
{
    Measurement m{.periods = periods};
    if (periods < m_settings.minPeriods || totalNs <= 0) {
        m.outcome = MeterOutcome::TooFewPeriods;
        return m;
    }
    m.dutyCycle = double(highNs) / double(totalNs);
    m.frequencyHz = periods * 1e9 / double(totalNs);
    if (m.frequencyHz < kMinFrequencyHz || m.frequencyHz > kMaxFrequencyHz)
        m.outcome = MeterOutcome::FrequencyOutOfRange;
    else if (m.dutyCycle < kMinDutyCycle || m.dutyCycle > kMaxDutyCycle)
        m.outcome = MeterOutcome::DutyCycleOutOfRange;
    else
        m.outcome = MeterOutcome::Valid;
    return m;
}

} // namespace smt160

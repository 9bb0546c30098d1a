#include "DutyCycleMeter.h"

#include "SensorFormula.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

namespace smt160 {

namespace {
constexpr std::int64_t kNoEdge = INT64_MIN;
}

Measurement DutyCycleMeter::measure(SampleSource &source) const
{
    std::optional<Sample> first = source.read();
    if (!first)
        return {.outcome = MeterOutcome::ReadFailed};

    const std::int64_t endNs = first->timeNs + m_settings.windowNs;
    Sample prev = *first;
    bool prevStepShort = false; // the step into prev; unknown for the first sample
    std::int64_t quietSinceNs = prev.timeNs;
    std::int64_t fallNs = kNoEdge; // the clean falling edge that opens a period
    std::int64_t riseNs = kNoEdge; // its clean rising edge
    std::vector<Period> periods;

    while (prev.timeNs < endNs) {
        const std::optional<Sample> cur = source.read();
        if (!cur)
            return {.outcome = MeterOutcome::ReadFailed};
        const std::int64_t stepNs = cur->timeNs - prev.timeNs;
        const bool stepShort = stepNs <= m_settings.maxGapNs;

        if (cur->high != prev.high) {
            quietSinceNs = cur->timeNs;
            // A sample is stamped after its read, so after a pause the level
            // of prev may be as old as the pause: both steps must be short.
            if (!stepShort || !prevStepShort) {
                fallNs = riseNs = kNoEdge;
            } else if (cur->high) {
                riseNs = fallNs != kNoEdge ? cur->timeNs : kNoEdge;
            } else {
                if (fallNs != kNoEdge && riseNs != kNoEdge)
                    periods.push_back(
                        {.highNs = cur->timeNs - riseNs, .totalNs = cur->timeNs - fallNs});
                fallNs = cur->timeNs;
                riseNs = kNoEdge;
            }
        } else if (stepNs >= m_settings.longPauseNs) {
            quietSinceNs = cur->timeNs;
            fallNs = riseNs = kNoEdge;
        }

        if (cur->timeNs - quietSinceNs > m_settings.edgeTimeoutNs)
            return {.outcome = cur->high ? MeterOutcome::NoEdgeHigh : MeterOutcome::NoEdgeLow};
        prevStepShort = stepShort;
        prev = *cur;
    }
    return evaluate(periods);
}

Measurement DutyCycleMeter::evaluate(std::vector<Period> &periods) const
{
    Measurement m{.periods = 0};
    if (periods.size() >= std::size_t(m_settings.minPeriods)) {
        const auto middle = periods.begin() + std::ptrdiff_t(periods.size() / 2);
        std::ranges::nth_element(periods, middle, {}, &Period::totalNs);
        const double median = double(middle->totalNs);
        std::int64_t highNs = 0;
        std::int64_t totalNs = 0;
        for (const Period &p : periods) {
            if (std::abs(double(p.totalNs) - median) <= m_settings.periodTolerance * median) {
                highNs += p.highNs;
                totalNs += p.totalNs;
                ++m.periods;
            }
        }
        if (m.periods >= m_settings.minPeriods && totalNs > 0) {
            m.dutyCycle = double(highNs) / double(totalNs);
            m.frequencyHz = m.periods * 1e9 / double(totalNs);
        }
    }
    if (m.periods < m_settings.minPeriods || m.frequencyHz <= 0.0) {
        m.outcome = MeterOutcome::TooFewPeriods;
        return m;
    }
    if (m.frequencyHz < kMinFrequencyHz || m.frequencyHz > kMaxFrequencyHz)
        m.outcome = MeterOutcome::FrequencyOutOfRange;
    else if (m.dutyCycle < kMinDutyCycle || m.dutyCycle > kMaxDutyCycle)
        m.outcome = MeterOutcome::DutyCycleOutOfRange;
    else
        m.outcome = MeterOutcome::Valid;
    return m;
}

} // namespace smt160

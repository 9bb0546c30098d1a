#pragma once

#include "SampleSource.h"

#include <cstdint>
#include <random>

// The line an SMT160 drives, as a polling loop would see it. Time is
// simulated: each read advances it by the read time, jitter and gaps.
struct SimulatedSignal
{
    enum class Stuck { No, High, Low };

    double dutyCycle = 0.5;
    double frequencyHz = 2000.0;
    double periodJitter = 0.0; // each period's length varies by up to this fraction
    std::int64_t readNs = 1000;
    std::int64_t readJitterNs = 0;
    std::int64_t gapEveryNs = 0; // 0: no gaps
    std::int64_t gapNs = 0;
    Stuck stuck = Stuck::No;
    unsigned seed = 1;
};

class SimulatedSmt160 : public smt160::SampleSource
{
public:
    explicit SimulatedSmt160(const SimulatedSignal &signal);

    std::optional<smt160::Sample> read() override;

    std::int64_t startNs() const { return kStartNs; }
    std::int64_t nowNs() const { return m_now; }

private:
    static constexpr std::int64_t kStartNs = 1'000'000'000;

    double nextPeriodNs();
    bool levelNow();

    SimulatedSignal m_signal;
    std::mt19937 m_random;
    std::int64_t m_now = kStartNs;
    std::int64_t m_nextGap;
    int m_gaps = 0;
    double m_periodStart;
    double m_periodNs;
};

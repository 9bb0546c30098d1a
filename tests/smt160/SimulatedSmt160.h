#pragma once

#include "SampleSource.h"

#include <cmath>
#include <cstdint>
#include <random>

// The line an SMT160 drives, as a polling loop would see it. Time is
// simulated: each read advances it by the read time, jitter and gaps.
struct SimulatedSignal
{
    double dutyCycle = 0.5; // 0 or 1: the line is stuck
    double frequencyHz = 2000.0;
    std::int64_t readNs = 1000;
    std::int64_t readJitterNs = 0;
    std::int64_t gapEveryNs = 0; // 0: no gaps
    std::int64_t gapNs = 0;
    std::int64_t failAfterNs = 0; // 0: reads never fail
    unsigned seed = 1;
};

class SimulatedSmt160 : public smt160::SampleSource
{
public:
    explicit SimulatedSmt160(const SimulatedSignal &signal)
        : m_signal(signal), m_random(signal.seed), m_nextGap(kStartNs + signal.gapEveryNs)
    {}

    std::optional<smt160::Sample> read() override
    {
        m_now += m_signal.readNs +
                 std::uniform_int_distribution<std::int64_t>(0, m_signal.readJitterNs)(m_random);
        if (m_signal.failAfterNs > 0 && elapsedNs() > m_signal.failAfterNs)
            return std::nullopt;
        // Every other gap falls between reading the port and taking the time,
        // so that sample's level is older than its timestamp.
        const bool gap = m_signal.gapEveryNs > 0 && m_now >= m_nextGap;
        const bool staleLevel = gap && ++m_gaps % 2 == 0;
        if (gap) {
            m_now += staleLevel ? 0 : m_signal.gapNs;
            m_nextGap += m_signal.gapEveryNs;
        }
        const double period = 1e9 / m_signal.frequencyHz;
        const bool high = std::fmod(m_now - m_startPhase, period) < m_signal.dutyCycle * period;
        m_now += staleLevel ? m_signal.gapNs : 0;
        return smt160::Sample{.high = high, .timeNs = m_now};
    }

    std::int64_t elapsedNs() const { return m_now - kStartNs; }

private:
    static constexpr std::int64_t kStartNs = 1'000'000'000;

    SimulatedSignal m_signal;
    std::mt19937 m_random;
    std::int64_t m_now = kStartNs;
    std::int64_t m_nextGap;
    int m_gaps = 0;
    // Start somewhere inside a period, as a real call would.
    double m_startPhase = std::uniform_real_distribution(0.0, 1e9)(m_random);
};

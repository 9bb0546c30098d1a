#pragma once

#include "SampleSource.h"

#include <cmath>
#include <cstdint>
#include <random>

// Polling pauses of minNs to maxNs: the first within everyNs, then 0.9 to 1.1 everyNs after each.
struct Pauses
{
    std::int64_t everyNs = 0, minNs = 0, maxNs = 0; // everyNs 0: none
};

// The line an SMT160 drives, in simulated time: each read adds read time, jitter and pauses.
struct SimulatedSignal
{
    double dutyCycle = 0.5; // 0 or 1: the line is stuck
    double frequencyHz = 2000.0;
    std::int64_t readNs = 1000, readJitterNs = 0;
    Pauses shortPauses{}, longPauses{};
    std::int64_t failAfterNs = 0; // 0: reads never fail
    // Every longEvery-th period is longPeriod times as long, its low half longer; 0: all alike.
    int longEvery = 0;
    double longPeriod = 1.0;
    unsigned seed = 1;
};

class SimulatedSmt160 : public smt160::SampleSource
{
public:
    explicit SimulatedSmt160(const SimulatedSignal &signal) : m_signal(signal) {}

    std::optional<smt160::Sample> read() override
    {
        m_now += m_signal.readNs + draw(0, m_signal.readJitterNs);
        if (m_signal.failAfterNs > 0 && elapsedNs() > m_signal.failAfterNs)
            return std::nullopt;
        // Every other pause falls between the port read and its timestamp: that level is older.
        const std::int64_t pause =
            pauseDue(m_next[0], m_signal.shortPauses) + pauseDue(m_next[1], m_signal.longPauses);
        const bool staleLevel = pause > 0 && ++m_pauses % 2 == 0;
        m_now += staleLevel ? 0 : pause;
        const bool high = levelAt(double(m_now) - m_startPhase);
        m_now += staleLevel ? pause : 0;
        return smt160::Sample{.high = high, .timeNs = m_now};
    }

    std::int64_t elapsedNs() const { return m_now - kStartNs; }

private:
    static constexpr std::int64_t kStartNs = 1'000'000'000;

    bool levelAt(double t) const
    {
        const double period = 1e9 / m_signal.frequencyHz;
        double inPeriod = std::fmod(t, period);
        if (m_signal.longEvery > 0) {
            const double regular = period * (m_signal.longEvery - 1);
            const double inCycle = std::fmod(t, regular + period * m_signal.longPeriod);
            inPeriod = inCycle < regular ? std::fmod(inCycle, period) : inCycle - regular;
        }
        return inPeriod < m_signal.dutyCycle * period;
    }

    std::int64_t draw(std::int64_t from, std::int64_t to)
    {
        return std::uniform_int_distribution<std::int64_t>(from, to)(m_random);
    }

    std::int64_t first(const Pauses &p)
    {
        return p.everyNs == 0 ? INT64_MAX : kStartNs + draw(0, p.everyNs);
    }

    std::int64_t pauseDue(std::int64_t &due, const Pauses &p)
    {
        if (m_now < due)
            return 0;
        const std::int64_t length = draw(p.minNs, p.maxNs);
        due = m_now + length + draw(p.everyNs * 9 / 10, p.everyNs * 11 / 10);
        return length;
    }

    SimulatedSignal m_signal;
    std::mt19937 m_random{m_signal.seed};
    std::int64_t m_now = kStartNs;
    std::int64_t m_next[2] = {first(m_signal.shortPauses), first(m_signal.longPauses)};
    int m_pauses = 0;
    // Start somewhere inside a period, as a real call would.
    double m_startPhase = std::uniform_real_distribution(0.0, 1e9)(m_random);
};

#include "SimulatedSmt160.h"

SimulatedSmt160::SimulatedSmt160(const SimulatedSignal &signal)
    : m_signal(signal), m_random(signal.seed), m_nextGap(kStartNs + signal.gapEveryNs)
{
    m_periodNs = nextPeriodNs();
    // Start somewhere inside a period, as a real call would.
    m_periodStart = double(kStartNs) - std::uniform_real_distribution(0.0, m_periodNs)(m_random);
}

double SimulatedSmt160::nextPeriodNs()
{
    const double jitter = m_signal.periodJitter;
    return 1e9 / m_signal.frequencyHz *
           std::uniform_real_distribution(1.0 - jitter, 1.0 + jitter)(m_random);
}

std::optional<smt160::Sample> SimulatedSmt160::read()
{
    m_now += m_signal.readNs;
    if (m_signal.readJitterNs > 0)
        m_now += std::uniform_int_distribution<std::int64_t>(0, m_signal.readJitterNs)(m_random);
    // Every other gap falls between reading the port and taking the time, so
    // that sample's level is older than its timestamp.
    bool staleLevel = false;
    if (m_signal.gapEveryNs > 0 && m_now >= m_nextGap) {
        if (++m_gaps % 2 == 0)
            staleLevel = true;
        else
            m_now += m_signal.gapNs;
        m_nextGap += m_signal.gapEveryNs;
    }
    const bool high = levelNow();
    if (staleLevel)
        m_now += m_signal.gapNs;
    return smt160::Sample{.high = high, .timeNs = m_now};
}

bool SimulatedSmt160::levelNow()
{
    switch (m_signal.stuck) {
    case SimulatedSignal::Stuck::High:
        return true;
    case SimulatedSignal::Stuck::Low:
        return false;
    case SimulatedSignal::Stuck::No:
        break;
    }
    while (double(m_now) >= m_periodStart + m_periodNs) {
        m_periodStart += m_periodNs;
        m_periodNs = nextPeriodNs();
    }
    return double(m_now) - m_periodStart < m_signal.dutyCycle * m_periodNs;
}

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
    if (m_signal.gapEveryNs > 0 && m_now >= m_nextGap) {
        m_now += m_signal.gapNs;
        m_nextGap += m_signal.gapEveryNs;
    }
    switch (m_signal.stuck) {
    case SimulatedSignal::Stuck::High:
        return smt160::Sample{.high = true, .timeNs = m_now};
    case SimulatedSignal::Stuck::Low:
        return smt160::Sample{.high = false, .timeNs = m_now};
    case SimulatedSignal::Stuck::No:
        break;
    }
    while (double(m_now) >= m_periodStart + m_periodNs) {
        m_periodStart += m_periodNs;
        m_periodNs = nextPeriodNs();
    }
    const bool high = double(m_now) - m_periodStart < m_signal.dutyCycle * m_periodNs;
    return smt160::Sample{.high = high, .timeNs = m_now};
}

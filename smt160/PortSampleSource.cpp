#include "PortSampleSource.h"

#include <chrono>

namespace smt160 {

std::int64_t monotonicNowNs()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

std::optional<Sample> PortSampleSource::read()
{
    const std::optional<std::uint8_t> reg = m_port.read();
    // Stamped after the read: a slow read then shows up as a gap.
    const std::int64_t now = m_clock();
    if (!reg)
        return std::nullopt;
    if (*reg != 0xff)
        m_allOnes = false;
    return Sample{.high = m_line.levelOf(*reg), .timeNs = now};
}

} // namespace smt160

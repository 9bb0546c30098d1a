#pragma once

#include "LineSelect.h"
#include "PortRegister.h"
#include "SampleSource.h"

#include <cstdint>
#include <functional>
#include <utility>

namespace smt160 {

std::int64_t monotonicNowNs();

// Samples one line of a port register, timestamping each read.
class PortSampleSource : public SampleSource
{
public:
    using Clock = std::function<std::int64_t()>;

    PortSampleSource(PortRegister &port, LineSelect line, Clock clock = monotonicNowNs)
        : m_port(port), m_line(line), m_clock(std::move(clock))
    {}

    std::optional<Sample> read() override;

    // True while every read so far gave 0xFF, which is what an address
    // without a port answers on the ISA bus.
    bool allOnes() const { return m_allOnes; }

private:
    PortRegister &m_port;
    LineSelect m_line;
    Clock m_clock;
    bool m_allOnes = true;
};

} // namespace smt160

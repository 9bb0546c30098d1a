#pragma once

#include <cstdint>
#include <optional>

namespace smt160 {

// One read of the sensor line: its level and when it was read.
struct Sample
{
    bool high = false;
    std::int64_t timeNs = 0; // monotonic clock
};

// Where the meter gets its samples: a real port, or a simulated sensor in tests.
class SampleSource
{
public:
    virtual ~SampleSource() = default;

    // The next sample, or nothing when the port could not be read.
    virtual std::optional<Sample> read() = 0;
};

} // namespace smt160

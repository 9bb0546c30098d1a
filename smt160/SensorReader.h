#pragma once

#include "Measurement.h"
#include "MeterSettings.h"
#include "PortPaths.h"
#include "SampleSource.h"

#include <cstdint>
#include <string>

namespace smt160 {

enum class PortKind {
    Parallel, // ppdev first, then direct I/O
    Game,     // direct I/O only
};

// Game-port addresses the program offers (0x201 to 0x208).
inline constexpr int kFirstGamePort = 513;
inline constexpr int kLastGamePort = 520;

// A temperature in degrees Celsius, or NaN and why there is none.
struct Reading
{
    float celsius = 0.0f;
    std::string reason; // empty for a valid reading
};

// One complete reading of the sensor at a port; returns within the window
// plus the time to open the port.
Reading readSensor(PortKind kind, std::int32_t address, std::int32_t argument,
                   const PortPaths &paths = {}, const MeterSettings &settings = {});

// The reading a measurement gives, with allOnes telling that the port
// answered 0xFF throughout.
Reading readingFrom(const Measurement &m, bool allOnes = false, const MeterSettings &settings = {});

} // namespace smt160

#pragma once

#include "MeterSettings.h"
#include "PortPaths.h"
#include "Reading.h"

#include <cstdint>

namespace smt160 {

enum class PortKind {
    Parallel, // ppdev first, then the raw-port helper
    Game,     // the raw-port helper only
};

// Game-port addresses the program offers (0x201 to 0x208).
inline constexpr int kFirstGamePort = 513;
inline constexpr int kLastGamePort = 520;

// One complete reading of the sensor at a port. Returns within kCallLimitNs
// whatever the port or another program does: a parallel port held elsewhere
// is skipped with a reason, a helper that does not answer is killed.
Reading readSensor(PortKind kind, std::int32_t address, std::int32_t argument,
                   const PortPaths &paths = {}, const MeterSettings &settings = {});

} // namespace smt160

#pragma once

#include <cstdint>
#include <optional>

namespace smt160 {

// Which bit of the port register carries the sensor, and whether the port
// hardware inverts it.
struct LineSelect
{
    std::uint8_t mask = 0;
    bool inverted = false;

    bool levelOf(std::uint8_t reg) const { return ((reg & mask) != 0) != inverted; }
};

// Parallel-port pin 11 (BUSY): status bit 7, inverted by the port.
inline constexpr int kBusyPinArgument = 11;

// The second argument of GetTemp/GetTempGame: 11 means pin 11 (BUSY); any
// other value 1 to 255 is a bit mask of the register, high while any of its
// bits reads 1 (16 = 0x10, game-port button A1). Other values select nothing.
std::optional<LineSelect> lineFromArgument(std::int32_t argument);

} // namespace smt160

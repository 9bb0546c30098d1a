#pragma once

#include "PortPaths.h"

#include <optional>
#include <string>
#include <vector>

namespace smt160 {

struct PortRange
{
    int first = 0;
    int last = 0;
    bool contains(int address) const { return address >= first && address <= last; }
};

// The game port and its mirrors: always open to the raw-port helper.
inline constexpr PortRange kGamePortRange{0x200, 0x20F};
// Status registers of the classic parallel ports at 0x278, 0x378 and 0x3BC.
inline constexpr int kClassicStatusPorts[] = {0x279, 0x379, 0x3BD};

// The registers of the parallel and game ports that the kernel knows: each
// parallel port's data, status and control register from parportProc, and
// the ranges /proc/ioports gives to parport or gameport drivers (an
// unprivileged reader sees those as zero and they are skipped).
std::vector<PortRange> listedPorts(const PortPaths &paths);

// Why the raw-port helper will not read address, or nothing when it may: in
// the game-port range, or in a listed range, or, when the kernel lists none,
// one of the classic status registers. Any other port might be a disk or
// serial controller whose registers change state when read.
std::optional<std::string> refusedAddress(int address, const PortPaths &paths);

} // namespace smt160

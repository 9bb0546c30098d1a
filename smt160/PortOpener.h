#pragma once

#include "PortPaths.h"
#include "PortRegister.h"

namespace smt160 {

// The status register of the parallel port at address (its status register
// or its base): through ppdev when /proc knows the port, otherwise directly.
// When neither works the reason names both failures.
OpenedPort openParallelPort(int address, const PortPaths &paths);

// A game-port register (or any other) read directly: there is no driver for it.
OpenedPort openRawPort(int address, const PortPaths &paths);

} // namespace smt160

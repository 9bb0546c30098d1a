#pragma once

#include <string>

namespace smt160 {

// Gives up every capability of the process for good (effective, permitted,
// inheritable and ambient) and forbids gaining new ones; ports opened with
// ioperm before stay readable. Empty when done, otherwise why not.
std::string dropAllCapabilities();

// Whether the process still holds any capability.
bool holdsAnyCapability();

} // namespace smt160

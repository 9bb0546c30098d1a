#pragma once

#include <cstdint>

namespace smt160 {

// Every call returns within this, whatever the port or another program does.
inline constexpr std::int64_t kCallLimitNs = 300'000'000;
// What a call allows its port backend, leaving room to give up and clean up.
inline constexpr std::int64_t kBackendDeadlineNs = 270'000'000;
// A parallel port reserved later than this after the call began leaves too
// little of the deadline for a whole measurement.
inline constexpr std::int64_t kClaimDeadlineNs = 100'000'000;

} // namespace smt160

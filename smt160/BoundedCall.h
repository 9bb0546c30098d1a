#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace smt160 {

// Runs work on a thread of its own and waits for it to end until deadlineNs
// (monotonic clock). A kernel call that sleeps (a port another program holds,
// a driver lock) then delays only that thread; it finishes and cleans up on its
// own when the kernel lets it. While work for the same key is still running
// from an earlier call, none is started. True when work ended in time; work
// hands its results over through state it shares, which the caller may read
// only then.
bool runBounded(const std::string &key, std::function<void()> work, std::int64_t deadlineNs);

} // namespace smt160

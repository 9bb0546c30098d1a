#pragma once

#include "Reading.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace smt160 {

// One reading through the raw-port helper program, run as a child process
// with an empty environment. The helper must pass the trust check; it is
// killed when it has not answered by deadlineNs (monotonic clock).
Reading readThroughHelper(const std::string &helperPath, int address, std::int32_t argument,
                          std::int64_t deadlineNs);

// What the helper's exit (a status from waitpid) and its standard output mean.
Reading readingFromHelper(const std::string &helperPath, int waitStatus, std::string_view output);

} // namespace smt160

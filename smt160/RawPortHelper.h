#pragma once

#include "MeterSettings.h"
#include "PortRegister.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace smt160 {

// What the raw-port helper needs of the system; tests record the calls.
class HelperSystem
{
public:
    virtual ~HelperSystem() = default;

    // Why the address may not be read, or nothing when it may.
    virtual std::optional<std::string> refusal(int address) = 0;
    // Access to that one port (ioperm), while the capability is still held.
    virtual OpenedPort openPort(int address) = 0;
    // Empty when every capability is gone.
    virtual std::string dropCapabilities() = 0;
    virtual std::int64_t nowNs() = 0;
};

// Exit status of smt160-rawport.
enum HelperStatus : int {
    kHelperReading = 0,   // stdout: the temperature in C, '.' as separator
    kHelperNoReading = 1, // stdout: why, in Swedish
    kHelperUsage = 2,
};

struct HelperOutcome
{
    int status = kHelperUsage;
    std::string text; // one line, ending in '\n'
};

// The helper's whole work for its arguments ADDRESS LINE (decimal): check the
// address, open that port, give up every capability, then measure.
HelperOutcome runRawPortHelper(std::span<const std::string_view> args, HelperSystem &system,
                               const MeterSettings &settings = {});

} // namespace smt160

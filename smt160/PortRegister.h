#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace smt160 {

// One 8-bit input register of a port, opened and held for one measurement.
class PortRegister
{
public:
    virtual ~PortRegister() = default;

    // The register's value, or nothing when the read failed (see lastError()).
    virtual std::optional<std::uint8_t> read() = 0;
    virtual std::string lastError() const { return {}; }
};

// An opened register, or why none could be opened.
struct OpenedPort
{
    std::unique_ptr<PortRegister> port;
    std::string reason;
    bool busy = false; // another program holds the port
};

} // namespace smt160

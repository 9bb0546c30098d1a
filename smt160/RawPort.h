#pragma once

#include "PortRegister.h"

#include <string>

namespace smt160 {

// Any I/O port read directly with inb after ioperm. Needs CAP_SYS_RAWIO, is
// refused under kernel lockdown and exists only on x86; the game port has no
// other way in. Access is given back when the object goes.
class RawPort : public PortRegister
{
public:
    static OpenedPort open(int address, const std::string &lockdownPath);

    ~RawPort() override;
    RawPort(const RawPort &) = delete;
    RawPort &operator=(const RawPort &) = delete;

    std::optional<std::uint8_t> read() override;

private:
    explicit RawPort(int address) : m_address(address) {}

    int m_address;
};

// The kernel's lockdown mode from the bracketed word of lockdownPath
// ("none [integrity] confidentiality"), empty when the file is absent.
std::string readLockdownMode(const std::string &lockdownPath);

// Why ioperm refused the address.
std::string rawAccessReason(int address, int err, const std::string &lockdownMode);

} // namespace smt160

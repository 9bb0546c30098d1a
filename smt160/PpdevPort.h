#pragma once

#include "PortRegister.h"

#include <string>
#include <utility>

namespace smt160 {

// The status register of a parallel port through the kernel's ppdev driver
// (/dev/parportN). Needs only membership of the device's group (lp) and works
// under kernel lockdown. The port is claimed for the object's lifetime.
class PpdevPort : public PortRegister
{
public:
    static OpenedPort open(const std::string &devicePath);

    ~PpdevPort() override;
    PpdevPort(const PpdevPort &) = delete;
    PpdevPort &operator=(const PpdevPort &) = delete;

    std::optional<std::uint8_t> read() override;
    std::string lastError() const override;

private:
    PpdevPort(int fd, std::string devicePath) : m_fd(fd), m_path(std::move(devicePath)) {}

    int m_fd;
    std::string m_path;
    int m_readErrno = 0;
};

// Why devicePath could not be opened (stage "open") or claimed (stage "claim").
std::string ppdevOpenReason(const std::string &devicePath, int err);
std::string ppdevClaimReason(const std::string &devicePath, int err);

} // namespace smt160

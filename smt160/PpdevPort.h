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
    // Claiming waits while another holds the port. An exclusive claim never
    // waits: it fails at once (busy) while any other device is registered on
    // the port, and while it holds, nobody else can register and wait.
    static OpenedPort open(const std::string &devicePath, bool exclusive);

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

// The reason given when another program holds the port.
std::string portBusyReason(const std::string &devicePath);

// Whether a device other than ours is registered on parallel port index: a
// printer driver, or another program's claim. <procRoot>/parportN/devices
// holds one folder per device beside the file "active".
bool otherDevicesOnPort(const std::string &procRoot, int index);

// Why devicePath could not be opened (stage "open") or claimed (stage "claim").
std::string ppdevOpenReason(const std::string &devicePath, int err);
std::string ppdevClaimReason(const std::string &devicePath, int err);

} // namespace smt160

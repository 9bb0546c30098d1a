#include "PpdevPort.h"

#include "ReasonText.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace smt160 {

OpenedPort PpdevPort::open(const std::string &devicePath, bool exclusive)
{
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return {.port = nullptr, .reason = ppdevOpenReason(devicePath, errno)};
    if ((exclusive && ::ioctl(fd, PPEXCL) != 0) || ::ioctl(fd, PPCLAIM) != 0) {
        const int err = errno;
        ::close(fd);
        if (exclusive && err == ENXIO)
            return {.port = nullptr, .reason = portBusyReason(devicePath), .busy = true};
        return {.port = nullptr, .reason = ppdevClaimReason(devicePath, err)};
    }
    return {.port = std::unique_ptr<PortRegister>(new PpdevPort(fd, devicePath)), .reason = {}};
}

PpdevPort::~PpdevPort()
{
    ::ioctl(m_fd, PPRELEASE);
    ::close(m_fd);
}

std::optional<std::uint8_t> PpdevPort::read()
{
    unsigned char status = 0;
    if (::ioctl(m_fd, PPRSTATUS, &status) != 0) {
        m_readErrno = errno;
        return std::nullopt;
    }
    return status;
}

std::string PpdevPort::lastError() const
{
    return m_path + ": " + errnoText(m_readErrno);
}

std::string portBusyReason(const std::string &devicePath)
{
    return "Ingen avläsning: porten används av ett annat program (" + devicePath + ")";
}

bool otherDevicesOnPort(const std::string &procRoot, int index)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path devices = fs::path(procRoot) / ("parport" + std::to_string(index)) / "devices";
    for (fs::directory_iterator it(devices, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().filename() != "active")
            return true;
    }
    return false;
}

std::string ppdevOpenReason(const std::string &devicePath, int err)
{
    switch (err) {
    case EACCES:
    case EPERM:
        return "Ingen behörighet till " + devicePath + " (användaren behöver gruppen lp)";
    case ENOENT:
        return devicePath + " finns inte (är modulen ppdev laddad?)";
    case ENXIO:
    case ENODEV:
        return devicePath + " har ingen port bakom sig";
    default:
        return devicePath + " kunde inte öppnas: " + errnoText(err);
    }
}

std::string ppdevClaimReason(const std::string &devicePath, int err)
{
    if (err == ENOTTY || err == EINVAL)
        return devicePath + " är ingen parallellport";
    return devicePath + " kunde inte reserveras: " + errnoText(err);
}

} // namespace smt160

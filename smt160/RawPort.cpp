#include "RawPort.h"

#include "ReasonText.h"

#include <cerrno>
#include <fstream>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define SMT160_HAVE_PORT_IO 1
#endif

namespace smt160 {

#ifdef SMT160_HAVE_PORT_IO

OpenedPort RawPort::open(int address, const std::string &lockdownPath)
{
    if (::ioperm(static_cast<unsigned long>(address), 1, 1) != 0) {
        const int err = errno;
        return {.port = nullptr,
                .reason = rawAccessReason(address, err, readLockdownMode(lockdownPath))};
    }
    return {.port = std::unique_ptr<PortRegister>(new RawPort(address)), .reason = {}};
}

RawPort::~RawPort()
{
    ::ioperm(static_cast<unsigned long>(m_address), 1, 0);
}

std::optional<std::uint8_t> RawPort::read()
{
    return ::inb(static_cast<unsigned short>(m_address));
}

#else

OpenedPort RawPort::open(int, const std::string &)
{
    return {.port = nullptr, .reason = "Direkt portåtkomst finns inte på denna plattform"};
}

RawPort::~RawPort() = default;

std::optional<std::uint8_t> RawPort::read()
{
    return std::nullopt;
}

#endif

std::string readLockdownMode(const std::string &lockdownPath)
{
    std::ifstream file(lockdownPath);
    std::string line;
    std::getline(file, line);
    const std::size_t open = line.find('[');
    const std::size_t close = line.find(']', open);
    if (open == std::string::npos || close == std::string::npos)
        return {};
    return line.substr(open + 1, close - open - 1);
}

std::string rawAccessReason(int address, int err, const std::string &lockdownMode)
{
    const std::string where = "Direkt portåtkomst till " + addressText(address);
    switch (err) {
    case ENOSYS:
        return "Direkt portåtkomst finns inte i denna kärna (ioperm saknas)";
    case EPERM:
    case EACCES:
        if (!lockdownMode.empty() && lockdownMode != "none")
            return where + " nekas: kärnan är låst (lockdown " + lockdownMode + ")";
        return where + " nekas (kräver CAP_SYS_RAWIO)";
    case EINVAL:
        return where + " går inte: ogiltig adress";
    default:
        return where + " misslyckades: " + errnoText(err);
    }
}

} // namespace smt160

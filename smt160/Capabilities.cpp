#include "Capabilities.h"

#include "ReasonText.h"

#include <cerrno>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace smt160 {

namespace {

struct CapabilitySets
{
    __user_cap_header_struct header{.version = _LINUX_CAPABILITY_VERSION_3, .pid = 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
};

} // namespace

bool holdsAnyCapability()
{
    CapabilitySets sets;
    if (::syscall(SYS_capget, &sets.header, sets.data) != 0)
        return true;
    for (const __user_cap_data_struct &d : sets.data) {
        if (d.effective != 0 || d.permitted != 0 || d.inheritable != 0)
            return true;
    }
    return false;
}

std::string dropAllCapabilities()
{
    // Ambient capabilities go with the permitted ones; clearing them first
    // also works on kernels that lack them.
    ::prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0);
    CapabilitySets none;
    if (::syscall(SYS_capset, &none.header, none.data) != 0)
        return "Behörigheterna kunde inte lämnas: " + errnoText(errno);
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0)
        return "Nya behörigheter kunde inte spärras: " + errnoText(errno);
    if (holdsAnyCapability())
        return "Behörigheterna finns kvar efter att ha lämnats";
    return {};
}

} // namespace smt160

#pragma once

#include <string>

namespace smt160 {

// Where the system describes its ports; tests point these at a fake tree.
struct PortPaths
{
    std::string parportProc = "/proc/sys/dev/parport"; // parportN/base-addr
    std::string dev = "/dev";                          // parportN device nodes
    std::string lockdown = "/sys/kernel/security/lockdown";
};

} // namespace smt160

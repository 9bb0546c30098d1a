#pragma once

#include <string>

namespace smt160 {

// Where the system describes its ports; tests point these at a fake tree.
struct PortPaths
{
    std::string parportProc = "/proc/sys/dev/parport"; // parportN/base-addr
    std::string ioports = "/proc/ioports";             // drivers' port ranges
    std::string dev = "/dev";                          // parportN device nodes
    std::string lockdown = "/sys/kernel/security/lockdown";
    // The raw-port helper program; the library sets it to the copy beside itself.
    std::string helper{};
};

} // namespace smt160

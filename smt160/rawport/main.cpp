// smt160-rawport ADDRESS LINE: one reading of an SMT160 through a raw I/O port,
// for libSMT160.so where no kernel driver reaches the port (the game port, or a
// parallel port without ppdev). It is the only program that may carry
// CAP_SYS_RAWIO: statically linked, it loads no code, reads no environment,
// reads only the one port it was asked for, and only after checking that the
// port belongs to a game or parallel port; it gives up every capability before
// measuring.

#include "Capabilities.h"
#include "PortAllowList.h"
#include "PortSampleSource.h"
#include "RawPort.h"
#include "RawPortHelper.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

class RealSystem : public smt160::HelperSystem
{
public:
    std::optional<std::string> refusal(int address) override
    {
        return smt160::refusedAddress(address, m_paths);
    }
    smt160::OpenedPort openPort(int address) override
    {
        return smt160::RawPort::open(address, m_paths.lockdown);
    }
    std::string dropCapabilities() override { return smt160::dropAllCapabilities(); }
    std::int64_t nowNs() override { return smt160::monotonicNowNs(); }

private:
    const smt160::PortPaths m_paths; // the system's own, never from the caller
};

} // namespace

int main(int argc, char **argv)
{
    ::clearenv();
    const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    // Answered before anything else, and without touching any port.
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(smt160::kRawPortHelp, stdout);
        return smt160::kHelperReading;
    }
    if (args.size() == 1 && (args[0] == "--version" || args[0] == "-v")) {
        std::fputs("smt160-rawport " KALVIK_VERSION "\n", stdout);
        return smt160::kHelperReading;
    }
    RealSystem system;
    const smt160::HelperOutcome outcome = smt160::runRawPortHelper(args, system);
    std::fputs(outcome.text.c_str(), outcome.status == smt160::kHelperUsage ? stderr : stdout);
    return outcome.status;
}

#include "PortOpener.h"

#include "ParportMap.h"
#include "PpdevPort.h"
#include "RawPort.h"
#include "ReasonText.h"

namespace smt160 {

OpenedPort openParallelPort(int address, const PortPaths &paths)
{
    std::string ppdevReason;
    int rawAddress = address;
    if (const std::optional<ParportMatch> match = findParport(paths.parportProc, address)) {
        OpenedPort opened = PpdevPort::open(paths.dev + "/parport" + std::to_string(match->index));
        if (opened.port)
            return opened;
        ppdevReason = opened.reason;
        rawAddress = match->statusAddress();
    } else {
        ppdevReason =
            "Ingen parallellport med adressen " + addressText(address) + " i " + paths.parportProc;
    }
    OpenedPort raw = RawPort::open(rawAddress, paths.lockdown);
    if (!raw.port)
        raw.reason = ppdevReason + ". " + raw.reason;
    return raw;
}

OpenedPort openRawPort(int address, const PortPaths &paths)
{
    return RawPort::open(address, paths.lockdown);
}

} // namespace smt160

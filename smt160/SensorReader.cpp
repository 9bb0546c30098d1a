#include "SensorReader.h"

#include "BoundedCall.h"
#include "Deadline.h"
#include "DutyCycleMeter.h"
#include "HelperClient.h"
#include "LineSelect.h"
#include "ParportMap.h"
#include "PortSampleSource.h"
#include "PpdevPort.h"
#include "ReasonText.h"

#include <memory>
#include <optional>

namespace smt160 {

namespace {

constexpr int kMaxPortAddress = 0xffff;

// A reading through ppdev, or (reached false) why ppdev cannot reach the port.
struct PpdevOutcome
{
    bool reached = false;
    Reading reading;
    std::string reason = "Internt fel vid läsning genom ppdev";
};

PpdevOutcome readThroughPpdev(const std::string &device, bool exclusive, LineSelect line,
                              const MeterSettings &settings, std::int64_t startNs,
                              std::int64_t deadlineNs)
{
    auto outcome = std::make_shared<PpdevOutcome>();
    const bool inTime = runBounded(
        device,
        [outcome, device, exclusive, line, settings, startNs] {
            const OpenedPort opened = PpdevPort::open(device, exclusive);
            if (!opened.port) {
                outcome->reached = opened.busy;
                outcome->reading = noReading(opened.reason);
                outcome->reason = opened.reason;
                return;
            }
            outcome->reached = true;
            if (monotonicNowNs() - startNs > kClaimDeadlineNs) {
                outcome->reading = noReading(portBusyReason(device));
                return;
            }
            PortSampleSource source(*opened.port, line);
            const Measurement m = DutyCycleMeter(settings).measure(source);
            outcome->reading = readingFrom(m, source.allOnes(), settings);
            if (m.outcome == MeterOutcome::ReadFailed)
                outcome->reading.reason += ": " + opened.port->lastError();
        },
        deadlineNs);
    if (!inTime)
        return {.reached = true, .reading = noReading(portBusyReason(device))};
    return *outcome;
}

} // namespace

Reading readSensor(PortKind kind, std::int32_t address, std::int32_t argument,
                   const PortPaths &paths, const MeterSettings &settings)
{
    const std::int64_t startNs = monotonicNowNs();
    const std::int64_t deadlineNs = startNs + kBackendDeadlineNs;
    if (address < 1 || address > kMaxPortAddress)
        return noReading("Ogiltig portadress " + std::to_string(address) + " (1 till 65535)");
    const std::optional<LineSelect> line = lineFromArgument(argument);
    if (!line)
        return noReading("Ogiltigt andra argument " + std::to_string(argument) +
                         " (11 för stift 11, annars en bitmask 1 till 255)");
    if (kind == PortKind::Game)
        return readThroughHelper(paths.helper, address, argument, deadlineNs);

    std::string ppdevReason;
    int rawAddress = address;
    if (const std::optional<ParportMatch> match = findParport(paths.parportProc, address)) {
        const std::string device = paths.dev + "/parport" + std::to_string(match->index);
        const bool exclusive = !otherDevicesOnPort(paths.parportProc, match->index);
        PpdevOutcome ppdev =
            readThroughPpdev(device, exclusive, *line, settings, startNs, deadlineNs);
        if (ppdev.reached)
            return std::move(ppdev.reading);
        ppdevReason = std::move(ppdev.reason);
        rawAddress = match->statusAddress();
    } else {
        ppdevReason =
            "Ingen parallellport med adressen " + addressText(address) + " i " + paths.parportProc;
    }
    Reading raw = readThroughHelper(paths.helper, rawAddress, argument, deadlineNs);
    if (!raw.reason.empty())
        raw.reason = ppdevReason + ". " + raw.reason;
    return raw;
}

} // namespace smt160

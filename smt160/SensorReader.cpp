#include "SensorReader.h"

#include "DutyCycleMeter.h"
#include "LineSelect.h"
#include "PortOpener.h"
#include "PortSampleSource.h"
#include "ReasonText.h"
#include "SensorFormula.h"

#include <limits>
#include <utility>

namespace smt160 {

namespace {

constexpr int kMaxPortAddress = 0xffff;

Reading noReading(std::string reason)
{
    return {.celsius = std::numeric_limits<float>::quiet_NaN(), .reason = std::move(reason)};
}

std::string noEdgeReason(bool high, bool allOnes, const MeterSettings &settings)
{
    const std::string ms = std::to_string(settings.edgeTimeoutNs / 1'000'000);
    if (allOnes)
        return "Ingen signal: porten läser 0xFF hela tiden (finns en port på adressen?)";
    if (high)
        return "Ingen signal: linjen ligger hög utan flank i " + ms +
               " ms (ingen givare ansluten?)";
    return "Ingen signal: linjen ligger låg utan flank i " + ms +
           " ms (saknar givaren matning, eller är linjen kortsluten?)";
}

} // namespace

Reading readingFrom(const Measurement &m, bool allOnes, const MeterSettings &settings)
{
    switch (m.outcome) {
    case MeterOutcome::Valid:
        return {.celsius = float(temperatureFromDutyCycle(m.dutyCycle)), .reason = {}};
    case MeterOutcome::ReadFailed:
        return noReading("Porten kunde inte läsas");
    case MeterOutcome::NoEdgeHigh:
    case MeterOutcome::NoEdgeLow:
        return noReading(noEdgeReason(m.outcome == MeterOutcome::NoEdgeHigh, allOnes, settings));
    case MeterOutcome::TooFewPeriods:
        return noReading("Ingen signal: bara " + std::to_string(m.periods) +
                         " hela perioder utan avbrott under mätningen");
    case MeterOutcome::FrequencyOutOfRange:
        return noReading("Ingen giltig signal: frekvensen " + decimalText(m.frequencyHz, 0) +
                         " Hz ligger utanför " + decimalText(kMinFrequencyHz, 0) + " till " +
                         decimalText(kMaxFrequencyHz, 0) + " Hz");
    case MeterOutcome::DutyCycleOutOfRange:
        return noReading("Ingen giltig signal: pulskvoten " + decimalText(m.dutyCycle, 3) +
                         " ligger utanför " + decimalText(kMinDutyCycle, 4) + " till " +
                         decimalText(kMaxDutyCycle, 3));
    }
    return noReading("Okänt mätfel");
}

Reading readSensor(PortKind kind, std::int32_t address, std::int32_t argument,
                   const PortPaths &paths, const MeterSettings &settings)
{
    if (address < 1 || address > kMaxPortAddress)
        return noReading("Ogiltig portadress " + std::to_string(address) + " (1 till 65535)");
    const std::optional<LineSelect> line = lineFromArgument(argument);
    if (!line)
        return noReading("Ogiltigt andra argument " + std::to_string(argument) +
                         " (11 för stift 11, annars en bitmask 1 till 255)");

    const OpenedPort opened =
        kind == PortKind::Game ? openRawPort(address, paths) : openParallelPort(address, paths);
    if (!opened.port)
        return noReading(opened.reason);

    PortSampleSource source(*opened.port, *line);
    const Measurement m = DutyCycleMeter(settings).measure(source);
    Reading reading = readingFrom(m, source.allOnes(), settings);
    if (m.outcome == MeterOutcome::ReadFailed)
        reading.reason += ": " + opened.port->lastError();
    return reading;
}

} // namespace smt160

#include "Reading.h"

#include "ReasonText.h"
#include "SensorFormula.h"

#include <limits>
#include <utility>

namespace smt160 {

namespace {

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

Reading noReading(std::string reason)
{
    return {.celsius = std::numeric_limits<float>::quiet_NaN(), .reason = std::move(reason)};
}

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

} // namespace smt160

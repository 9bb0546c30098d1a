#include "RawPortHelper.h"

#include "DutyCycleMeter.h"
#include "LineSelect.h"
#include "PortSampleSource.h"
#include "Reading.h"

#include <array>
#include <charconv>

namespace smt160 {

namespace {

constexpr int kMaxPortAddress = 0xffff;

std::optional<int> decimal(std::string_view text)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

HelperOutcome withoutReading(std::string reason)
{
    return {.status = kHelperNoReading, .text = std::move(reason) + '\n'};
}

} // namespace

HelperOutcome runRawPortHelper(std::span<const std::string_view> args, HelperSystem &system,
                               const MeterSettings &settings)
{
    const std::optional<int> address = args.size() == 2 ? decimal(args[0]) : std::nullopt;
    const std::optional<int> argument = args.size() == 2 ? decimal(args[1]) : std::nullopt;
    const std::optional<LineSelect> line = argument ? lineFromArgument(*argument) : std::nullopt;
    if (!address || *address < 1 || *address > kMaxPortAddress || !line)
        return {.status = kHelperUsage,
                .text = "smt160-rawport: ADRESS och LINJE ska vara decimala tal, ADRESS 1 till "
                        "65535, LINJE 11 eller en bitmask 1 till 255.\n"
                        "Se smt160-rawport --help.\n"};

    if (std::optional<std::string> refusal = system.refusal(*address))
        return withoutReading(std::move(*refusal));
    OpenedPort opened = system.openPort(*address);
    if (!opened.port)
        return withoutReading(std::move(opened.reason));
    if (std::string reason = system.dropCapabilities(); !reason.empty())
        return withoutReading(std::move(reason));

    PortSampleSource source(*opened.port, *line, [&system] { return system.nowNs(); });
    // Measured first: allOnes() tells only what the measurement has read.
    const Measurement measurement = DutyCycleMeter(settings).measure(source);
    const Reading reading = readingFrom(measurement, source.allOnes(), settings);
    if (!reading.reason.empty())
        return withoutReading(reading.reason);
    std::array<char, 32> text{};
    const auto res = std::to_chars(text.data(), text.data() + text.size() - 1,
                                   double(reading.celsius), std::chars_format::fixed, 3);
    *res.ptr = '\n';
    return {.status = kHelperReading, .text = std::string(text.data(), res.ptr + 1)};
}

} // namespace smt160

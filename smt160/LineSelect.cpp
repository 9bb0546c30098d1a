#include "LineSelect.h"

namespace smt160 {

namespace {
constexpr std::uint8_t kBusyStatusBit = 0x80;
}

std::optional<LineSelect> lineFromArgument(std::int32_t argument)
{
    if (argument == kBusyPinArgument)
        return LineSelect{.mask = kBusyStatusBit, .inverted = true};
    if (argument < 1 || argument > 0xff)
        return std::nullopt;
    return LineSelect{.mask = std::uint8_t(argument), .inverted = false};
}

} // namespace smt160

#include "PortAllowList.h"

#include "ParportMap.h"
#include "ReasonText.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <string_view>

namespace smt160 {

namespace {

constexpr int kParportRegisters = 3; // data, status, control

bool isPortDriver(std::string_view name)
{
    return name.starts_with("parport") || name.find("gameport") != std::string_view::npos ||
           name == "ns558";
}

// "  0378-037a : parport0"
std::optional<PortRange> parseIoportsLine(std::string_view line)
{
    const std::size_t start = line.find_first_not_of(' ');
    const std::size_t dash = line.find('-');
    const std::size_t colon = line.find(" : ");
    if (start == std::string_view::npos || dash == std::string_view::npos ||
        colon == std::string_view::npos || dash < start || colon < dash)
        return std::nullopt;
    PortRange range;
    const char *end = line.data() + colon;
    const auto first = std::from_chars(line.data() + start, line.data() + dash, range.first, 16);
    const auto last = std::from_chars(line.data() + dash + 1, end, range.last, 16);
    if (first.ec != std::errc() || first.ptr != line.data() + dash || last.ec != std::errc() ||
        last.ptr != end || range.last < range.first || range.last == 0)
        return std::nullopt;
    if (!isPortDriver(line.substr(colon + 3)))
        return std::nullopt;
    return range;
}

} // namespace

std::vector<PortRange> listedPorts(const PortPaths &paths)
{
    std::vector<PortRange> ranges;
    for (const ParportMatch &port : listParports(paths.parportProc)) {
        if (port.base > 0)
            ranges.push_back({port.base, port.base + kParportRegisters - 1});
    }
    std::ifstream ioports(paths.ioports);
    for (std::string line; std::getline(ioports, line);) {
        if (const std::optional<PortRange> range = parseIoportsLine(line))
            ranges.push_back(*range);
    }
    return ranges;
}

std::optional<std::string> refusedAddress(int address, const PortPaths &paths)
{
    if (kGamePortRange.contains(address))
        return std::nullopt;
    const std::vector<PortRange> listed = listedPorts(paths);
    const auto inListed = [&](const PortRange &r) { return r.contains(address); };
    if (listed.empty()) {
        if (std::ranges::find(kClassicStatusPorts, address) != std::end(kClassicStatusPorts))
            return std::nullopt;
        return "Porten " + addressText(address) +
               " läses inte direkt: den är ingen spelport (0x200 till 0x20F), och kärnan känner "
               "inga parallellportar, så bara 0x279, 0x379 och 0x3BD går att läsa";
    }
    if (std::ranges::any_of(listed, inListed))
        return std::nullopt;
    return "Porten " + addressText(address) +
           " läses inte direkt: den är varken spelport (0x200 till 0x20F) eller en parallellport "
           "eller spelport som kärnan känner";
}

} // namespace smt160

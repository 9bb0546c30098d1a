#include "ParportMap.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>
#include <vector>

namespace smt160 {

namespace {

std::optional<int> parseLeadingInt(std::string_view text)
{
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos)
        return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data() + start, text.data() + text.size(), value);
    if (ec != std::errc())
        return std::nullopt;
    return value;
}

} // namespace

std::vector<ParportMatch> listParports(const std::string &procRoot)
{
    namespace fs = std::filesystem;
    constexpr std::string_view kPrefix = "parport";
    std::vector<ParportMatch> ports;
    std::error_code ec;
    for (fs::directory_iterator it(procRoot, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!name.starts_with(kPrefix))
            continue;
        const std::string_view digits = std::string_view(name).substr(kPrefix.size());
        int index = 0;
        const auto [p, err] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
        if (digits.empty() || err != std::errc() || p != digits.data() + digits.size())
            continue;
        std::ifstream file(it->path() / "base-addr");
        std::string line;
        if (!std::getline(file, line))
            continue;
        if (const std::optional<int> base = parseLeadingInt(line))
            ports.push_back({.index = index, .base = *base});
    }
    return ports;
}

std::optional<ParportMatch> findParport(const std::string &procRoot, int address)
{
    const std::vector<ParportMatch> ports = listParports(procRoot);
    for (const int base : {address - 1, address}) {
        const ParportMatch *best = nullptr;
        for (const ParportMatch &port : ports) {
            if (port.base == base && (!best || port.index < best->index))
                best = &port;
        }
        if (best)
            return *best;
    }
    return std::nullopt;
}

} // namespace smt160

#include "ReasonText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <system_error>

namespace smt160 {

std::string addressText(int address)
{
    std::array<char, 16> hex{};
    const auto res = std::to_chars(hex.data(), hex.data() + hex.size(), address, 16);
    std::string digits(hex.data(), res.ptr);
    std::ranges::transform(digits, digits.begin(),
                           [](char c) { return c >= 'a' && c <= 'f' ? char(c - 'a' + 'A') : c; });
    return std::to_string(address) + " (0x" + digits + ")";
}

std::string decimalText(double value, int decimals)
{
    std::array<char, 64> buf{};
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value,
                                   std::chars_format::fixed, decimals);
    std::string text(buf.data(), res.ptr);
    std::ranges::replace(text, '.', ',');
    return text;
}

std::string errnoText(int err)
{
    return std::generic_category().message(err);
}

} // namespace smt160

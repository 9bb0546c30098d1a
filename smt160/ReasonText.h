#pragma once

#include <string>

// Pieces of the reason texts, formatted the same whatever the C locale is:
// the library runs inside a program that may have set it.
namespace smt160 {

// "889 (0x379)"
std::string addressText(int address);

// A fixed-point number with a decimal comma: decimalText(0.05, 3) is "0,050".
std::string decimalText(double value, int decimals);

// The system's text for an errno value.
std::string errnoText(int err);

} // namespace smt160

#pragma once

// The SMT160-30 transfer function: its duty cycle rises linearly with the
// temperature, DC = 0.320 + 0.00470 t.
namespace smt160 {

inline constexpr double kDutyCycleAtZero = 0.320;
inline constexpr double kDutyCyclePerDegree = 0.00470;

// Duty cycles the sensor can produce (-45 to 130 degrees); anything outside
// is not an SMT160 answering.
inline constexpr double kMinDutyCycle = 0.1085;
inline constexpr double kMaxDutyCycle = 0.931;

// The sensor runs at about 1 to 4 kHz; these bounds leave room for spread.
inline constexpr double kMinFrequencyHz = 400.0;
inline constexpr double kMaxFrequencyHz = 8000.0;

constexpr double temperatureFromDutyCycle(double dutyCycle)
{
    return (dutyCycle - kDutyCycleAtZero) / kDutyCyclePerDegree;
}

constexpr double dutyCycleFromTemperature(double celsius)
{
    return kDutyCycleAtZero + kDutyCyclePerDegree * celsius;
}

} // namespace smt160

#pragma once

#include <QString>

#include <cstdint>

// The two functions of the SMT160 sensor library, as the window calls them.
class SensorLibrary
{
public:
    virtual ~SensorLibrary() = default;

    virtual float getTemp(std::int32_t portAddress, std::int32_t arg) = 0;
    virtual float getTempGame(std::int32_t portAddress, std::int32_t arg) = 0;

    // Why the library or a function could not be loaded, in Swedish; empty
    // while calls reach the library. A call that cannot be made returns NaN.
    virtual QString loadError() const = 0;

    // Why the last call gave no reading (NaN), in Swedish; empty after a
    // reading, and when the library does not tell.
    virtual QString lastReason() const { return {}; }
};

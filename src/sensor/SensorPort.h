#pragma once

#include "SensorLibrary.h"

#include <QString>

#include <cstdint>

// Game ports are 0x201 to 0x208; every other address is a parallel port.
inline constexpr std::int32_t kFirstGamePortAddress = 513;
inline constexpr std::int32_t kLastGamePortAddress = 520;
inline constexpr std::int32_t kDefaultParallelPort = 889;
inline constexpr std::int32_t kParallelLineArg = 11; // pin 11, BUSY
inline constexpr std::int32_t kGameLineArg = 16;     // button A1

inline bool isGamePort(std::int32_t portAddress)
{
    return portAddress >= kFirstGamePortAddress && portAddress <= kLastGamePortAddress;
}

// One reading of the sensor at a port, with the function and line the window
// uses for that kind of port; the sensor's own value, uncorrected.
inline float readSensorAt(SensorLibrary &sensor, std::int32_t portAddress)
{
    return isGamePort(portAddress) ? sensor.getTempGame(portAddress, kGameLineArg)
                                   : sensor.getTemp(portAddress, kParallelLineArg);
}

// Why the sensor gave no reading, as far as the library tells.
inline QString sensorReason(const SensorLibrary &sensor)
{
    const QString reason = sensor.lastReason();
    return reason.isEmpty() ? sensor.loadError() : reason;
}

// The library's reason when another program holds the port for the moment.
inline bool isPortBusyReason(const QString &reason)
{
    return reason.contains(QStringLiteral("används av ett annat program"));
}

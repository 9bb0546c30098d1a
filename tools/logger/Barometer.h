#pragma once

#include <QString>

#include <optional>

inline constexpr auto kIioDevicesFolder = "/sys/bus/iio/devices";

// The first device folder under iioRoot (iio:device0, iio:device1, ... in
// number order) that has a pressure channel; empty when none has.
QString findBarometer(const QString &iioRoot);

struct PressureReading
{
    std::optional<double> kilopascals;
    QString error; // why there is none, in Swedish
};

// The station pressure of an IIO device: in_pressure_input, or
// (in_pressure_raw + in_pressure_offset) × in_pressure_scale, in kPa.
PressureReading readPressure(const QString &deviceFolder);

// The station pressure (hPa) reduced to sea level with the ICAO standard
// atmosphere for the station's altitude (m), in whole hPa: what an altimeter
// set to it would need to read that altitude.
int qnhFromStationPressure(double stationHpa, double altitudeMetres);

#include "Barometer.h"

#include "LoggerText.h"
#include "YearFile.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr auto kInput = "in_pressure_input";
constexpr auto kRaw = "in_pressure_raw";
constexpr auto kScale = "in_pressure_scale";
constexpr auto kOffset = "in_pressure_offset";

// ICAO standard atmosphere, troposphere.
constexpr double kSeaLevelHpa = 1013.25;
constexpr double kLapseRate = 0.0065; // K/m
constexpr double kSeaLevelKelvin = 288.15;
constexpr double kExponent = 5.25588; // g·M / (R·L)

// A sysfs attribute is a short text. Opened without blocking and only when it
// is a regular file, so a FIFO or device placed there cannot hang the logger.
std::optional<double> readNumber(const QString &path, QString &error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = QStringLiteral("%1: %2").arg(path, errnoReason(errno));
        return std::nullopt;
    }
    struct stat st
    {
    };
    char text[64] = {};
    ssize_t got = -1;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        got = ::read(fd, text, sizeof text - 1);
    const int err = errno;
    ::close(fd);
    if (got < 0) {
        error = QStringLiteral("%1: %2").arg(
            path, S_ISREG(st.st_mode) ? errnoReason(err) : LoggerText::notAFileReason);
        return std::nullopt;
    }
    bool ok = false;
    const double v = QByteArray(text, got).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v)) {
        error = LoggerText::notANumber.arg(path);
        return std::nullopt;
    }
    return v;
}

bool hasPressureChannel(const QDir &device)
{
    return device.exists(QLatin1String(kInput)) || device.exists(QLatin1String(kRaw));
}

} // namespace

QString findBarometer(const QString &iioRoot)
{
    QDir root(iioRoot);
    QStringList devices = root.entryList({QStringLiteral("iio:device*")},
                                         QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    const auto number = [](const QString &name) { return name.mid(10).toInt(); };
    std::ranges::sort(devices, {}, number);
    for (const QString &name : devices)
        if (hasPressureChannel(QDir(root.filePath(name))))
            return root.filePath(name);
    return {};
}

PressureReading readPressure(const QString &deviceFolder)
{
    PressureReading reading;
    const QDir device(deviceFolder);
    if (!device.exists()) {
        reading.error = LoggerText::noBarometerFolder.arg(deviceFolder);
        return reading;
    }
    std::optional<double> kpa;
    if (device.exists(QLatin1String(kInput))) {
        kpa = readNumber(device.filePath(QLatin1String(kInput)), reading.error);
    } else if (device.exists(QLatin1String(kRaw))) {
        const std::optional<double> raw =
            readNumber(device.filePath(QLatin1String(kRaw)), reading.error);
        const std::optional<double> scale =
            raw ? readNumber(device.filePath(QLatin1String(kScale)), reading.error) : std::nullopt;
        double offset = 0.0;
        if (device.exists(QLatin1String(kOffset))) {
            QString ignored;
            offset = readNumber(device.filePath(QLatin1String(kOffset)), ignored).value_or(0.0);
        }
        if (raw && scale)
            kpa = (*raw + offset) * *scale;
    } else {
        reading.error = LoggerText::noPressureChannel.arg(deviceFolder);
    }
    if (kpa && *kpa <= 0.0) {
        reading.error = LoggerText::implausiblePressure.arg(deviceFolder).arg(*kpa);
        kpa.reset();
    }
    reading.kilopascals = kpa;
    return reading;
}

int qnhFromStationPressure(double stationHpa, double altitudeMetres)
{
    // The altimeter's law: the pressure altitudes of QNH and of the station
    // differ by the station's altitude.
    const double k = kLapseRate / kSeaLevelKelvin * std::pow(kSeaLevelHpa, 1.0 / kExponent);
    const double qnh =
        std::pow(std::pow(stationHpa, 1.0 / kExponent) + k * altitudeMetres, kExponent);
    return int(std::lround(qnh));
}

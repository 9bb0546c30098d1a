#include "LibrarySensor.h"

#include <QFileInfo>
#include <QStringList>

#include <limits>
#include <utility>

namespace {

constexpr auto kFileName = "libSMT160.so";
constexpr auto kSystemName = "SMT160";

} // namespace

LibrarySensor::LibrarySensor(QString programFolder) : m_programFolder(std::move(programFolder)) {}

float LibrarySensor::getTemp(std::int32_t portAddress, std::int32_t arg)
{
    loadOnce();
    return call(m_getTemp, portAddress, arg);
}

float LibrarySensor::getTempGame(std::int32_t portAddress, std::int32_t arg)
{
    loadOnce();
    return call(m_getTempGame, portAddress, arg);
}

QString LibrarySensor::loadError() const
{
    return m_loadError;
}

float LibrarySensor::call(SensorFunction function, std::int32_t portAddress, std::int32_t arg)
{
    return function ? function(portAddress, arg) : std::numeric_limits<float>::quiet_NaN();
}

void LibrarySensor::loadOnce()
{
    if (m_loadTried)
        return;
    m_loadTried = true;

    // dlopen searches from libQt6Core, not from our executable, so the
    // program's own folder is only reached through an absolute path.
    const QString ownCopy = m_programFolder + QLatin1Char('/') + QLatin1String(kFileName);
    m_library.setFileName(ownCopy);
    if (!m_library.load()) {
        // Qt reports its last guess at a name when the file is absent, not the file.
        const QString ownError = QFileInfo::exists(ownCopy)
                                     ? m_library.errorString()
                                     : QStringLiteral("%1: filen finns inte").arg(ownCopy);
        m_library.setFileName(QLatin1String(kSystemName));
        if (!m_library.load()) {
            m_loadError = QStringLiteral("Sensorbiblioteket %1 kunde inte laddas, så temperaturen "
                                         "kan inte läsas.\n%2\n%3")
                              .arg(QLatin1String(kFileName), ownError, m_library.errorString());
            return;
        }
    }

    m_getTemp = reinterpret_cast<SensorFunction>(m_library.resolve("GetTemp"));
    m_getTempGame = reinterpret_cast<SensorFunction>(m_library.resolve("GetTempGame"));
    QStringList missing;
    if (!m_getTemp)
        missing << QStringLiteral("GetTemp");
    if (!m_getTempGame)
        missing << QStringLiteral("GetTempGame");
    if (!missing.isEmpty()) {
        const bool one = missing.size() == 1;
        m_loadError = QStringLiteral("Sensorbiblioteket %1 (%2) saknar %3 %4; avläsningar som "
                                     "behöver %5 visar ingen temperatur.")
                          .arg(QLatin1String(kFileName), m_library.fileName(),
                               one ? QStringLiteral("funktionen") : QStringLiteral("funktionerna"),
                               missing.join(QStringLiteral(" och ")),
                               one ? QStringLiteral("den") : QStringLiteral("dem"));
    }
}

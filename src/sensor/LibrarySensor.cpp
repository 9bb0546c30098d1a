#include "LibrarySensor.h"

#include "SensorLoadMessages.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

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

QString LibrarySensor::lastReason() const
{
    return m_lastReason;
}

float LibrarySensor::call(SensorFunction function, std::int32_t portAddress, std::int32_t arg)
{
    m_lastReason.clear();
    if (!function) {
        m_lastReason = libraryUnusableReason();
        return std::numeric_limits<float>::quiet_NaN();
    }
    const float reading = function(portAddress, arg);
    if (std::isnan(reading) && m_lastError) {
        const char *why = m_lastError();
        m_lastReason = why ? QString::fromUtf8(why) : QString();
    }
    return reading;
}

void LibrarySensor::loadOnce()
{
    if (m_loadTried)
        return;
    m_loadTried = true;

    // dlopen searches from libQt6Core, not from our executable, so the
    // program's own folder is only reached through an absolute path.
    const QString ownCopy = m_programFolder + QLatin1Char('/') + QLatin1String(kFileName);
    std::vector<LibraryLookup> lookups;
    bool loaded = false;
    if (!QFileInfo::exists(ownCopy)) {
        lookups.push_back({ownCopy, LibraryLookup::Outcome::Missing, {}});
    } else {
        m_library.setFileName(ownCopy);
        loaded = m_library.load();
        if (!loaded)
            lookups.push_back(
                {ownCopy, LibraryLookup::Outcome::NotLoadable, m_library.errorString()});
    }
    if (!loaded) {
        m_library.setFileName(QLatin1String(kSystemName));
        loaded = m_library.load();
        if (!loaded) {
            const QString detail = m_library.errorString();
            // The loader names the library itself when it found no file of that
            // name; a missing library that it depends on is named otherwise.
            static const QRegularExpression notFound(
                QStringLiteral("(lib)?SMT160(\\.so)?: cannot open shared object file"));
            const bool missing = notFound.match(detail).hasMatch();
            lookups.push_back(
                {systemSearchPathText(),
                 missing ? LibraryLookup::Outcome::Missing : LibraryLookup::Outcome::NotLoadable,
                 detail});
            m_loadError = libraryNotLoadedMessage(QLatin1String(kFileName), lookups);
            return;
        }
    }

    m_getTemp = reinterpret_cast<SensorFunction>(m_library.resolve("GetTemp"));
    m_getTempGame = reinterpret_cast<SensorFunction>(m_library.resolve("GetTempGame"));
    m_lastError = reinterpret_cast<ReasonFunction>(m_library.resolve("SMT160_LastError"));
    QStringList missing;
    if (!m_getTemp)
        missing << QStringLiteral("GetTemp");
    if (!m_getTempGame)
        missing << QStringLiteral("GetTempGame");
    if (!missing.isEmpty())
        m_loadError =
            functionsMissingMessage(QLatin1String(kFileName), m_library.fileName(), missing);
}

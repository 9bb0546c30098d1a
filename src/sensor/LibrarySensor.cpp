#include "LibrarySensor.h"

#include "SensorLoadMessages.h"
#include "TrustedLibrary.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cmath>
#include <dlfcn.h>
#include <limits>
#include <utility>
#include <vector>

namespace {

constexpr auto kFileName = "libSMT160.so";

// What an SMT160-30 can measure; anything else is no temperature.
constexpr float kColdest = -45.0f;
constexpr float kWarmest = 130.0f;

bool plausible(float reading)
{
    return reading >= kColdest && reading <= kWarmest; // false for NaN and infinities
}

// The folders the dynamic loader would search for the library by name. They
// are searched here instead, so that each file is checked before it is
// loaded, and LD_LIBRARY_PATH cannot lead elsewhere.
QStringList systemLibraryFolders()
{
    return QStringLiteral(KALVIK_SYSTEM_LIBRARY_PATH).split(QLatin1Char(':'));
}

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
    if (std::isnan(reading)) {
        const char *why = m_lastError ? m_lastError() : nullptr;
        m_lastReason = why ? QString::fromUtf8(why) : QString();
    } else if (!plausible(reading)) {
        m_lastReason = implausibleReadingReason();
        return std::numeric_limits<float>::quiet_NaN();
    }
    return reading;
}

bool LibrarySensor::tryLoad(const QString &path, std::vector<LibraryLookup> &lookups)
{
    const smt160::TrustedLoad load =
        smt160::loadTrustedLibrary(QFile::encodeName(path).toStdString());
    const QString detail = QString::fromStdString(load.detail);
    switch (load.outcome) {
    case smt160::TrustedLoad::Outcome::Loaded:
        m_library = load.handle;
        m_libraryPath = path;
        return true;
    case smt160::TrustedLoad::Outcome::Missing:
        lookups.push_back({path, LibraryLookup::Outcome::Missing, {}});
        break;
    case smt160::TrustedLoad::Outcome::Untrusted:
        lookups.push_back({path, LibraryLookup::Outcome::Untrusted, detail});
        break;
    case smt160::TrustedLoad::Outcome::NotLoadable:
        lookups.push_back({path, LibraryLookup::Outcome::NotLoadable, detail});
        break;
    }
    return false;
}

void LibrarySensor::loadOnce()
{
    if (m_loadTried)
        return;
    m_loadTried = true;

    // Each place is tried by its absolute path and loaded from the file that
    // was checked, never by a name that the dynamic loader would search for.
    std::vector<LibraryLookup> lookups;
    bool loaded = tryLoad(m_programFolder + QLatin1Char('/') + QLatin1String(kFileName), lookups);
    const std::size_t ownLookups = lookups.size();
    for (const QString &folder : systemLibraryFolders()) {
        if (loaded)
            break;
        const QString path = folder + QLatin1Char('/') + QLatin1String(kFileName);
        if (QFileInfo::exists(path))
            loaded = tryLoad(path, lookups);
    }
    if (!loaded) {
        if (lookups.size() == ownLookups)
            lookups.push_back({systemSearchPathText(), LibraryLookup::Outcome::Missing, {}});
        m_loadError = libraryNotLoadedMessage(QLatin1String(kFileName), lookups);
        return;
    }

    m_getTemp = reinterpret_cast<SensorFunction>(::dlsym(m_library, "GetTemp"));
    m_getTempGame = reinterpret_cast<SensorFunction>(::dlsym(m_library, "GetTempGame"));
    m_lastError = reinterpret_cast<ReasonFunction>(::dlsym(m_library, "SMT160_LastError"));
    QStringList missing;
    if (!m_getTemp)
        missing << QStringLiteral("GetTemp");
    if (!m_getTempGame)
        missing << QStringLiteral("GetTempGame");
    if (!missing.isEmpty())
        m_loadError = functionsMissingMessage(QLatin1String(kFileName), m_libraryPath, missing);
}

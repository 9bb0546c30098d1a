#pragma once

#include "SensorLibrary.h"
#include "SensorLoadMessages.h"

#include <QString>

#include <vector>

// The SMT160 library as a shared object: libSMT160.so in the program's folder,
// else in the system's library folders. It is loaded at the first call, once,
// and only from a file that nobody but root and the running user can replace;
// a library or function that is missing or refused then stays missing for the
// run, and its calls return NaN. So does a reading that no SMT160 can give
// (below -45 C, above 130 C, or infinite).
class LibrarySensor : public SensorLibrary
{
public:
    explicit LibrarySensor(QString programFolder);

    float getTemp(std::int32_t portAddress, std::int32_t arg) override;
    float getTempGame(std::int32_t portAddress, std::int32_t arg) override;

    // Empty until the first call has tried to load the library.
    QString loadError() const override;
    // From the library's optional SMT160_LastError.
    QString lastReason() const override;

private:
    using SensorFunction = float (*)(std::int32_t, std::int32_t);
    using ReasonFunction = const char *(*)();

    void loadOnce();
    bool tryLoad(const QString &path, std::vector<LibraryLookup> &lookups);
    float call(SensorFunction function, std::int32_t portAddress, std::int32_t arg);

    QString m_programFolder;
    void *m_library = nullptr; // from dlopen, kept for the run
    QString m_libraryPath;
    bool m_loadTried = false;
    SensorFunction m_getTemp = nullptr;
    SensorFunction m_getTempGame = nullptr;
    ReasonFunction m_lastError = nullptr;
    QString m_loadError;
    QString m_lastReason;
};

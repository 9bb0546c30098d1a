#pragma once

#include "SensorLibrary.h"

#include <QLibrary>
#include <QString>

// The SMT160 library as a shared object: libSMT160.so in the program's folder,
// else SMT160 on the system's library search path. It is loaded at the first
// call, once; a library or function that is missing then stays missing for
// the run, and its calls return NaN.
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
    float call(SensorFunction function, std::int32_t portAddress, std::int32_t arg);

    QString m_programFolder;
    QLibrary m_library;
    bool m_loadTried = false;
    SensorFunction m_getTemp = nullptr;
    SensorFunction m_getTempGame = nullptr;
    ReasonFunction m_lastError = nullptr;
    QString m_loadError;
    QString m_lastReason;
};

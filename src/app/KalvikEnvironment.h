#pragma once

#include "SensorLibrary.h"
#include "UserDialogs.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>

// What the window needs from outside: where it lives, the sensor, the
// dialogs and the clock. main() gives the real ones, tests their own.
struct KalvikEnvironment
{
    QString programFolder;
    // The year files' folder of an installed station; empty: programFolder,
    // as for a build run in place.
    QString dataFolder;
    std::unique_ptr<SensorLibrary> sensor;
    std::unique_ptr<UserDialogs> dialogs;
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };

    static KalvikEnvironment forProgram(const QString &programFolder, const QString &dataFolder);
};

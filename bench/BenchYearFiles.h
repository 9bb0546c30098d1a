#pragma once

#include "SampleYear.h"

#include <QTemporaryDir>

#include <map>

// One sample year file per interval, written on first use and kept for the
// whole run (a program asks for one year and seed only).
inline const QString &sampleYearFile(int year, int intervalSeconds, std::uint32_t seed)
{
    static QTemporaryDir dir;
    static std::map<int, QString> files;
    auto [it, added] = files.try_emplace(intervalSeconds);
    if (added) {
        it->second = dir.filePath(QStringLiteral("%1s-T_%2.dat").arg(intervalSeconds).arg(year));
        if (!writeSampleYear(it->second, year, intervalSeconds, seed))
            qFatal("cannot write %s", qPrintable(it->second));
    }
    return it->second;
}

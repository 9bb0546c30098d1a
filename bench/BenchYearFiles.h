#pragma once

#include "DataRecord.h"
#include "DayNumber.h"
#include "SampleYear.h"
#include "YearFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <map>
#include <vector>

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

// A file as large as a year file may be (512 MiB, 33.5 million records) whose
// day numbers alternate between 1 January and 31 December from record to
// record, with readings a station could give: each record is a day of its
// own, all inside the diagram, and the day numbers go back every other record.
inline bool writeAlternatingDays(const QString &path, int year)
{
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    const auto first = std::int32_t(DayNumber::fromDate(QDate(year, 1, 1)));
    const auto last = std::int32_t(DayNumber::fromDate(QDate(year, 12, 31)));
    const auto records = std::size_t(kMaxYearFileBytes) / kRecordSize;
    std::vector<std::byte> block;
    bool ok = true;
    for (std::size_t i = 0; i < records && ok; ++i) {
        encodeRecord(DataRecord{i % 2 ? last : first, float(i % 1440) / 1440.0f,
                                std::int32_t(990 + i % 40), float(i % 300) / 10.0f - 15.0f},
                     block);
        if (block.size() >= (std::size_t(1) << 20) || i + 1 == records) {
            ok = out.write(reinterpret_cast<const char *>(block.data()), qint64(block.size())) ==
                 qint64(block.size());
            block.clear();
        }
    }
    return ok && out.flush();
}

// That file for one year, written on first use and kept for the whole run.
inline const QString &alternatingDaysFile(int year)
{
    static QTemporaryDir dir;
    static const QString path = [year] {
        const QString p = dir.filePath(QStringLiteral("alternating-T_%1.dat").arg(year));
        if (!writeAlternatingDays(p, year))
            qFatal("cannot write %s", qPrintable(p));
        return p;
    }();
    return path;
}

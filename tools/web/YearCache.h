#pragma once

#include "DataRecord.h"
#include "DaySummary.h"

#include <QString>

#include <cstdint>
#include <vector>

// Which version of a year file a summary was made from: the file's identity
// (device and inode), its length and its modification time.
struct FileStamp
{
    std::uint64_t device = 0, inode = 0;
    std::int64_t bytes = 0;
    std::int64_t mtimeNs = 0;
    friend bool operator==(const FileStamp &, const FileStamp &) = default;
};

// One year file as far as it has been read.
struct YearSummary
{
    int year = 0;
    FileStamp stamp;
    std::int64_t records = 0; // whole records read
    DataRecord lastRecord;    // the file's last record, all zeros when none
    std::vector<DaySummary> days;
    std::uint64_t chartKey = 0; // what the year chart on the site was drawn from
};

// The cache beside the site: every year's summary. A cache of another
// version or a damaged one reads as empty, so the next run starts afresh.
std::vector<YearSummary> readCache(const QString &path);
QByteArray cacheBytes(const std::vector<YearSummary> &years);

enum class Refresh { Unchanged, Appended, Reread };

struct RefreshResult
{
    Refresh how = Refresh::Unchanged;
    QString error; // why the file could not be read, in Swedish; the summary stays as it was
};

// Brings a year's summary up to date with its file: nothing when the file is
// the one summarized, only the new records when it grew and is still the same
// file, everything when it was replaced, shortened or rewritten.
RefreshResult refreshYear(YearSummary &summary, const QString &path);

#pragma once

#include "DataRecord.h"

#include <QString>

#include <functional>
#include <span>
#include <vector>

// Two samples a second for a leap year is far beyond any logger; a larger
// file is not a year file and is refused rather than read.
inline constexpr qint64 kMaxYearFileBytes = qint64(1) << 30;

struct YearFileRead
{
    std::vector<DataRecord> records; // every whole record read, also when ok is false
    bool ok = false;
    QString errorString; // why the file could not be opened or read
};

// Reads a year file once, sequentially, and closes it. A missing file in an
// existing folder is created empty, as the logger expects to find it; the
// file is never written otherwise.
YearFileRead readYearFile(const QString &path);

enum class YearFileProblem { None, Missing, NotAFile, TooLarge, CannotOpen, ReadError };

struct YearFileScan
{
    YearFileProblem problem = YearFileProblem::None;
    QString errorString; // the system's reason for CannotOpen and ReadError
    qint64 bytes = 0;    // the length taken at the start
    qint64 records = 0;  // whole records handed over
};

// Hands the records of an existing year file over in file order, a chunk at a
// time, so memory does not grow with the file. Never creates or writes it.
// Records already handed over stay valid when a read fails part-way.
YearFileScan scanYearFile(const QString &path,
                          const std::function<void(std::span<const DataRecord>)> &onRecords);

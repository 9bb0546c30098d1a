#pragma once

#include "DataRecord.h"
#include "ImportOptions.h"

#include <QTextStream>
#include <QTimeZone>

#include <cstdint>
#include <span>
#include <vector>

// A record's local time in whole seconds, for ordering and comparing ranges.
std::int64_t localKey(const DataRecord &r);

// "2024-03-01 12:00"
QString localKeyText(std::int64_t key);

// Where the imported records of one year go, given what the year file holds.
enum class YearPlacement { Append, Merge, Refuse };

struct YearPlan
{
    YearPlacement placement = YearPlacement::Append;
    qint64 overlapping = 0; // records of the file within the imported range
    std::int64_t overlapFirst = 0, overlapLast = 0;
};

// Records after everything in the file are appended. Records between or
// before the file's are merged in by time: the file's records keep their
// order on either side of the imported range. Records of the file inside
// that range are replaced only when asked; otherwise the year is refused.
YearPlan planYear(std::span<const DataRecord> existing, std::int64_t firstKey, std::int64_t lastKey,
                  bool replaceRange);

// existing outside [firstKey, lastKey], in file order, around imported.
std::vector<DataRecord> mergedYear(std::span<const DataRecord> existing,
                                   std::span<const DataRecord> imported, std::int64_t firstKey,
                                   std::int64_t lastKey);

// Reads every input file, then writes each year's records into T_<year>.dat
// of the folder (or, on a dry run, says what it would write). Nothing is
// written when an input is bad or a year would overwrite records. Returns
// the exit status: 0 done, 1 an input or a year file could not be used.
int runImport(const ImportOptions &options, const QTimeZone &zone, QTextStream &out,
              QTextStream &err);

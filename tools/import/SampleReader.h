#pragma once

#include "DataRecord.h"
#include "ImportOptions.h"
#include "ZoneClock.h"

#include <QString>

#include <functional>

// One sample read from an input file: when it was taken, and the record as
// the year file of its local year stores it.
struct ImportedSample
{
    Seconds instant = 0;
    DataRecord record;
    int year = 0;
};

struct FileRead
{
    qint64 samples = 0;
    qint64 badLines = 0;
    QString firstBadLine; // "FIL, rad N: what was wrong", when lines were skipped
    QString error;        // the same for what stopped the file; empty when it was read
};

// Reads one CSV file, a line at a time: a header row, or the weather
// service's station block followed by its "Datum;Tid (UTC);..." header, then
// one row per time (or, with daily extremes, two samples per row). The
// separator (, ; or tab) is taken from the header, and a decimal comma is
// understood wherever the separator is not a comma. An empty cell is no
// reading. Times without a zone are local time in zone's clock, or UTC
// when the settings or the header say so.
FileRead readSampleFile(const QString &path, const ReadSettings &settings, ZoneClock &zone,
                        const std::function<void(const ImportedSample &)> &onSample);

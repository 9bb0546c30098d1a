#pragma once

#include "Curves.h"
#include "YearFile.h"

#include <QString>

#include <cstdint>

// Everything one redraw needs from a year file, from a single read of it:
// both curves, and for the data table the number of records and the last one.
struct YearPass
{
    bool ok = false;     // the file was there or could be made, and was read
    QString errorString; // why not: the path and the reason, in Swedish
    qint64 records = 0;
    TemperatureCurve temperature;
    PressureCurve pressure;
    DataRecord lastRecord; // all zeros when the file holds none
    RecordFindings findings;
};

// A missing file is created empty first, as the logger expects to find it.
YearPass readYearPass(const QString &path, std::int32_t yearStartDay);

// What the loaders say about a file that no station wrote as it stands, one
// line for each finding, after the path: its damaged records, and its days out
// of time order. Empty when there is nothing to say.
QString recordFindingsText(const QString &path, const RecordFindings &findings);

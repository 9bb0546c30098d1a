#pragma once

#include "DataRecord.h"

#include <QString>

#include <vector>

struct YearFileRead
{
    std::vector<DataRecord> records; // every whole record read, also when ok is false
    bool ok = false;
    QString errorString;             // why the file could not be opened or read
};

// Reads a year file once, sequentially, and closes it. A missing file in an
// existing folder is created empty, as the logger expects to find it; the
// file is never written otherwise.
YearFileRead readYearFile(const QString &path);

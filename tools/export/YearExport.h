#pragma once

#include "DataRecord.h"
#include "ExportOptions.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <span>

struct ExportResult
{
    int exitCode = 0;
    QString message; // one line, empty on success
};

// Reads the year file once and writes what the options ask for. Each output
// appears whole or not at all: it is written beside its name and renamed.
ExportResult runExport(const ExportOptions &options);

// The window's client area after start-up with these records, in the given
// view, without the live temperature row: the diagram with its curves and
// scales, the month names and the title with the year.
QImage yearChart(std::span<const DataRecord> records, std::int32_t yearStartDay,
                 const QString &year, ChartView view, double scale);

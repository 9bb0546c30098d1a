#pragma once

#include "Curves.h"
#include "DataRecord.h"
#include "ExportOptions.h"

#include <QImage>
#include <QString>

struct ExportResult
{
    int exitCode = 0;
    QString message; // why it failed, in one line; or, with exit code 0, what the file holds
                     // that no station wrote (a line each), or nothing
};

// Reads the year file once and writes what the options ask for. Each output
// appears whole or not at all: it is written beside its name and renamed.
ExportResult runExport(const ExportOptions &options);

// What the chart shows of a year file, gathered in the one read of it.
struct ChartData
{
    PressureCurve pressure;
    TemperatureCurve temperature;
    std::int32_t headingQnh = 0; // RecordFindings::headingQnh
};

// The window's client area after start-up with that file, in the given view,
// without the live temperature row: the diagram with its curves and scales,
// the month names and the title with the year.
QImage yearChart(const ChartData &data, const QString &year, ChartView view, double scale);

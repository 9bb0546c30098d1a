#pragma once

#include "OptionTable.h"

#include <QString>

enum class ChartView { Both, Temperature, Pressure };

struct ExportOptions
{
    QString yearFile{};
    QString png{}; // empty: no picture
    QString csv{}; // empty: no table
    ChartView view = ChartView::Both;
    double scale = 1.0; // device pixels per pixel of the window's layout
};

inline constexpr double kMinScale = 1.0;
inline constexpr double kMaxScale = 4.0;

// The options and the year file; both "--png FILE" and "--png=FILE".
const OptionTable<ExportOptions> &exportOptionTable();

// --help: every option and the exit statuses.
QString exportUsage();

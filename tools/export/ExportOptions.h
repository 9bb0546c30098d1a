#pragma once

#include <QString>
#include <QStringList>

#include <optional>

enum class ChartView { Both, Temperature, Pressure };

struct ExportOptions
{
    QString yearFile;
    QString png; // empty: no picture
    QString csv; // empty: no table
    ChartView view = ChartView::Both;
    double scale = 1.0; // device pixels per pixel of the window's layout
};

struct ParsedOptions
{
    std::optional<ExportOptions> options;
    bool help = false;
    bool version = false;
    QString error; // one line naming the option, when neither of the above
};

inline constexpr double kMinScale = 1.0;
inline constexpr double kMaxScale = 4.0;

// The arguments after the program name. Both "--png FILE" and "--png=FILE".
ParsedOptions parseExportOptions(const QStringList &arguments);

// --help: every option and the exit statuses.
QString exportUsage();

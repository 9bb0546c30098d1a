#pragma once

#include "OptionTable.h"

#include <QString>
#include <QStringList>

enum class TemperatureUnit { Celsius, Fahrenheit };
enum class PressureUnit { Hectopascal, Kilopascal, InchOfMercury };

// Columns named on the command line; empty: found by their usual names.
struct ImportColumns
{
    QString time; // a date and time, a time of day, or a date alone
    QString date; // the date, when the time of day stands in a column of its own
    QString temperature;
    QString pressure;
    QString high; // daily extremes: the day's highest and lowest temperature
    QString low;
    QString highTime; // and, when the file has them, when they were read
    QString lowTime;

    bool dailyExtremes() const { return !high.isEmpty() || !low.isEmpty(); }
};

// How the input files are read.
struct ReadSettings
{
    ImportColumns columns;
    bool utc = false; // times without a zone are UTC, not local time
    TemperatureUnit temperatureUnit = TemperatureUnit::Celsius;
    PressureUnit pressureUnit = PressureUnit::Hectopascal;
    bool skipBadLines = false;
};

struct ImportOptions
{
    QString folder;
    QStringList files;
    ReadSettings read;
    bool replaceRange = false;
    bool dryRun = false;
};

using ParsedImportOptions = ParsedCommandLine<ImportOptions>;

// The options and the files to import; nothing is read yet.
const OptionTable<ImportOptions> &importOptionTable();

// The arguments after the program name.
ParsedImportOptions parseImportOptions(const QStringList &arguments);

// --help: every option with its text, in Swedish.
QString importHelpText();

#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// What a tool's command line asks for: to run with these options, its help
// or its version; else error says what is wrong, in one line.
template <typename Options> struct ParsedCommandLine
{
    std::optional<Options> options;
    bool help = false;
    bool version = false;
    QString error;
};

enum class OptionAnswer { None, Help, Version };

// One option of a tool, described once: its names, its value, how the value
// is checked and kept, and its lines in --help.
template <typename Options> struct OptionRow
{
    // Keeps the value (empty for a switch) in the options; or says, in a line
    // naming --option, why not.
    using Take = QString (*)(Options &options, const QString &option, const QString &value);

    const char *names;     // as --help shows them: "--folder", "-h, --help"
    const char *valueName; // nullptr: a switch
    const char *help;      // UTF-8, its lines split by \n; nullptr: not in --help
    Take take = nullptr;   // nullptr: answered before anything is taken
    bool required = false; // taken, as empty, also when not given
    OptionAnswer answer = OptionAnswer::None;

    static OptionRow answering(const char *names, const char *help, OptionAnswer answer)
    {
        return {names, nullptr, help, nullptr, false, answer};
    }
};

// A tool's options and what it makes of the rest of its command line.
template <typename Options> struct OptionTable
{
    QString program; // "kalvik-export", first in every error
    std::vector<OptionRow<Options>> rows;
    // Takes the arguments that are not options, before the rows; nullptr:
    // the tool takes none and refuses one before answering --help.
    QString (*arguments)(Options &, const QStringList &) = nullptr;
    // The rules between options, after every row took its value.
    QString (*whole)(Options &) = nullptr;
    // kalvik-logger reads -interval as --interval.
    QCommandLineParser::SingleDashWordOptionMode singleDash =
        QCommandLineParser::ParseAsCompactedShortOptions;
};

// Keeps a value that may not be empty in Field; an empty one gets Missing,
// its %1 the option's name.
template <typename Options, QString Options::*Field, const char *Missing>
QString takeNonEmpty(Options &options, const QString &option, const QString &value)
{
    options.*Field = value;
    return value.isEmpty() ? QString::fromUtf8(Missing).arg(option) : QString();
}

QCommandLineOption commandLineOption(const char *names, const char *valueName, const char *help);
QStringList optionNames(const char *names);

// "Oväntat argument 'VALUE'."
QString unexpectedArgument(const QString &value);

// One option as --help lists it: names and value from column 2, the help
// from `column` (on the next line when the names reach it).
QString optionHelpLines(const char *names, const char *valueName, const char *help, int column);

template <typename Options>
void addOptions(QCommandLineParser &parser, const OptionTable<Options> &table)
{
    parser.setSingleDashWordOptionMode(table.singleDash);
    for (const OptionRow<Options> &row : table.rows)
        parser.addOption(commandLineOption(row.names, row.valueName, row.help));
}

// The rows' lines of --help, in table order.
template <typename Options> QString optionList(const OptionTable<Options> &table, int column)
{
    QString text;
    for (const OptionRow<Options> &row : table.rows)
        if (row.help)
            text += optionHelpLines(row.names, row.valueName, row.help, column);
    return text;
}

// Reads arguments (those after the program's name) against the table:
// Qt's parser first, then --help and --version, then the arguments that are
// not options, each row in order and the rules between them; the first
// wrong one is the error. Options holds what is kept without an option.
template <typename Options>
ParsedCommandLine<Options> parseCommandLine(const OptionTable<Options> &table,
                                            const QStringList &arguments, Options options = {})
{
    ParsedCommandLine<Options> parsed;
    QCommandLineParser parser;
    addOptions(parser, table);
    if (!parser.parse(QStringList{table.program} + arguments)) {
        parsed.error = parser.errorText(); // Swedish once the tool installs its texts
        return parsed;
    }
    const QStringList rest = parser.positionalArguments();
    if (!table.arguments && !rest.isEmpty()) {
        parsed.error = unexpectedArgument(rest.constFirst());
        return parsed;
    }
    for (const OptionAnswer answer : {OptionAnswer::Help, OptionAnswer::Version})
        for (const OptionRow<Options> &row : table.rows)
            if (row.answer == answer && parser.isSet(optionNames(row.names).constLast())) {
                (answer == OptionAnswer::Help ? parsed.help : parsed.version) = true;
                return parsed;
            }
    if (table.arguments)
        parsed.error = table.arguments(options, rest);
    for (const OptionRow<Options> &row : table.rows) {
        const QString name = optionNames(row.names).constLast();
        if (parsed.error.isEmpty() && row.take && (row.required || parser.isSet(name)))
            parsed.error = row.take(options, name, row.valueName ? parser.value(name) : QString());
    }
    if (parsed.error.isEmpty() && table.whole)
        parsed.error = table.whole(options);
    if (parsed.error.isEmpty())
        parsed.options = std::move(options);
    return parsed;
}

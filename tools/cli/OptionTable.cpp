#include "OptionTable.h"

QStringList optionNames(const char *names)
{
    QStringList list = QString::fromLatin1(names).split(QStringLiteral(", "));
    for (QString &name : list)
        name.remove(0, name.startsWith(QLatin1String("--")) ? 2 : 1);
    return list;
}

QCommandLineOption commandLineOption(const char *names, const char *valueName, const char *help)
{
    QCommandLineOption option(optionNames(names), QString::fromUtf8(help),
                              QString::fromLatin1(valueName));
    if (!help)
        option.setFlags(QCommandLineOption::HiddenFromHelp);
    return option;
}

QString unexpectedArgument(const QString &value)
{
    return QStringLiteral("Oväntat argument '%1'.").arg(value);
}

QString optionHelpLines(const char *names, const char *valueName, const char *help, int column)
{
    QString left = QStringLiteral("  ") + QLatin1String(names);
    if (valueName)
        left += QLatin1Char(' ') + QLatin1String(valueName);
    const QString indent(column, QLatin1Char(' '));
    QString text =
        left.size() < column ? left.leftJustified(column) : left + QLatin1Char('\n') + indent;
    text += QString::fromUtf8(help).replace(QLatin1Char('\n'), QLatin1Char('\n') + indent);
    return text + QLatin1Char('\n');
}

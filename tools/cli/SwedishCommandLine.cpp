#include "SwedishCommandLine.h"

#include <QHash>

QString SwedishCommandLine::translate(const char *context, const char *sourceText, const char *,
                                      int) const
{
    static const QHash<QByteArray, QString> texts{
        {"Usage: %1", QStringLiteral("Användning: %1")},
        {"[options]", QStringLiteral("[flaggor]")},
        {"Options:", QStringLiteral("Flaggor:")},
        {"Arguments:", QStringLiteral("Argument:")},
        {"Unknown option '%1'.", QStringLiteral("Okänd flagga '%1'.")},
        {"Unknown options: %1.", QStringLiteral("Okända flaggor: %1.")},
        {"Missing value after '%1'.", QStringLiteral("Värde saknas efter '%1'.")},
        {"Unexpected value after '%1'.", QStringLiteral("Oväntat värde efter '%1'.")},
        {"Displays help on commandline options.", QStringLiteral("Visar den här hjälpen.")},
        {"Displays help including Qt specific options.",
         QStringLiteral("Visar hjälpen med Qt:s egna flaggor.")},
        {"Displays version information.", QStringLiteral("Visar programmets version.")},
    };
    if (qstrcmp(context, "QCommandLineParser") != 0)
        return {};
    return texts.value(QByteArray(sourceText));
}

QString optionErrorText(const QString &program, const QString &why)
{
    return QStringLiteral("%1: %2\nSe %1 --help.").arg(program, why);
}

QString badOptionValue(const QString &option, const QString &what, const QString &value)
{
    return QStringLiteral("--%1 ska vara %2, inte '%3'.").arg(option, what, value);
}

#include "WebOptions.h"

namespace {

using Row = OptionRow<WebOptions>;

QString folder(QString &kept, const QString &option, const QString &value)
{
    kept = value;
    return value.isEmpty() ? QStringLiteral("--%1 MAPP saknas").arg(option) : QString();
}

QString takeCache(WebOptions &o, const QString &, const QString &value)
{
    o.cache = value;
    return value.isEmpty() ? QStringLiteral("--cache saknar sitt värde") : QString();
}

// Worded in lower case, after --help and --version.
QString noArguments(WebOptions &, const QStringList &arguments)
{
    return arguments.isEmpty() ? QString()
                               : QStringLiteral("oväntat argument '%1'").arg(arguments.first());
}

} // namespace

const OptionTable<WebOptions> &webOptionTable()
{
    static const OptionTable<WebOptions> table{
        QStringLiteral("kalvik-web"),
        {
            Row::answering("-h, --help", nullptr, OptionAnswer::Help),
            Row::answering("-v, --version", nullptr, OptionAnswer::Version),
            {"--folder", "MAPP", nullptr,
             [](WebOptions &o, const QString &option, const QString &value) {
                 return folder(o.folder, option, value);
             },
             true},
            {"--out", "MAPP", nullptr,
             [](WebOptions &o, const QString &option, const QString &value) {
                 return folder(o.out, option, value);
             },
             true},
            {"--cache", "FIL", nullptr, takeCache},
        },
        noArguments,
    };
    return table;
}

// Every option stands in its first line.
QString webUsage()
{
    return QStringLiteral(
        "Användning: kalvik-web [flaggor] --folder MAPP --out MAPP [--cache FIL]\n"
        "Gör webbsidor av årsfilerna T_<år>.dat i --folder och skriver dem i --out.");
}

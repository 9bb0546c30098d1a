#include "WebOptions.h"

namespace {

using Row = OptionRow<WebOptions>;

constexpr char kNoFolder[] = "--%1 MAPP saknas";
constexpr char kNoCache[] = "--%1 saknar sitt värde";

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
            {"--folder", "MAPP", nullptr, takeNonEmpty<WebOptions, &WebOptions::folder, kNoFolder>,
             true},
            {"--out", "MAPP", nullptr, takeNonEmpty<WebOptions, &WebOptions::out, kNoFolder>, true},
            {"--cache", "FIL", nullptr, takeNonEmpty<WebOptions, &WebOptions::cache, kNoCache>},
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

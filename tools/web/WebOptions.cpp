#include "WebOptions.h"

#include <QCommandLineParser>

QString webUsage()
{
    return QStringLiteral(
        "Användning: kalvik-web [flaggor] --folder MAPP --out MAPP [--cache FIL]\n"
        "Gör webbsidor av årsfilerna T_<år>.dat i --folder och skriver dem i --out.");
}

ParsedWebOptions parseWebOptions(const QStringList &arguments)
{
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Visar den här hjälpen."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Visar programmets version."));
    const QCommandLineOption folder(
        QStringLiteral("folder"), QStringLiteral("Mappen med årsfilerna."), QStringLiteral("MAPP"));
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Mappen för webbsidorna."),
                                 QStringLiteral("MAPP"));
    const QCommandLineOption cache(
        QStringLiteral("cache"),
        QStringLiteral("Filen med dygnens sammanfattningar (annars MAPP.cache bredvid --out)."),
        QStringLiteral("FIL"));
    QCommandLineParser parser;
    parser.addOptions({help, version, folder, out, cache});
    ParsedWebOptions parsed;
    if (!parser.parse(QStringList{QStringLiteral("kalvik-web")} + arguments)) {
        parsed.error = parser.errorText();
        return parsed;
    }
    parsed.help = parser.isSet(help);
    parsed.version = parser.isSet(version);
    if (parsed.help || parsed.version)
        return parsed;
    if (!parser.positionalArguments().isEmpty()) {
        parsed.error =
            QStringLiteral("oväntat argument '%1'").arg(parser.positionalArguments().first());
        return parsed;
    }
    for (const QCommandLineOption *needed : {&folder, &out}) {
        if (parser.value(*needed).isEmpty()) {
            parsed.error = QStringLiteral("--%1 MAPP saknas").arg(needed->names().first());
            return parsed;
        }
    }
    if (parser.isSet(cache) && parser.value(cache).isEmpty()) {
        parsed.error = QStringLiteral("--cache saknar sitt värde");
        return parsed;
    }
    parsed.options = WebOptions{parser.value(folder), parser.value(out), parser.value(cache)};
    return parsed;
}

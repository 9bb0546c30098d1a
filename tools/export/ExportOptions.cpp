#include "ExportOptions.h"

#include "SwedishCommandLine.h"

#include <QCommandLineParser>
#include <QLocale>

namespace {

std::optional<ChartView> viewNamed(const QString &name)
{
    if (name == QLatin1String("both"))
        return ChartView::Both;
    if (name == QLatin1String("temp"))
        return ChartView::Temperature;
    if (name == QLatin1String("pressure"))
        return ChartView::Pressure;
    return std::nullopt;
}

ParsedOptions failed(const QString &why)
{
    ParsedOptions parsed;
    parsed.error = why;
    return parsed;
}

} // namespace

QString exportUsage()
{
    return QStringLiteral(
               "Användning: kalvik-export [flaggor] ÅRSFIL\n"
               "Ritar årsfilens diagram som PNG och skriver dess mätningar som CSV, utan fönster\n"
               "och utan skärm. Året tas ur filnamnet, som i Kalvik (T_2026.dat); årsfilen läses\n"
               "bara, och en som saknas skapas inte.\n"
               "\n"
               "  --png FIL       diagrammet som Kalvik visar det efter start, utan dagens\n"
               "                  temperatur: rutnät, kurvor, skalor, månader och rubrik med året\n"
               "  --csv FIL       en rad per post i filens ordning under rubriken\n"
               "                  date,time,temperature_c,qnh_hpa; datum ÅÅÅÅ-MM-DD, tid hh:mm,\n"
               "                  decimalpunkt; tomt fält för en temperatur som inte är ett tal\n"
               "                  och för QNH 0 (ingen mätning)\n"
               "  --view VY       kurvorna i diagrammet: both (förval) båda, temp bara\n"
               "                  temperaturen som \"Bara Temp\", pressure bara trycket som\n"
               "                  \"Bara Tryck\"\n"
               "  --scale N       diagrammet N gånger större med N pixlar breda linjer, %1 till "
               "%2\n"
               "                  (förval: 1)\n"
               "  -h, --help      den här texten\n"
               "  -v, --version   programmets version\n"
               "\n"
               "Ange --png, --csv eller båda. Varje fil skrivs under ett tillfälligt namn och\n"
               "får sitt namn först när den är hel. Poster med orimliga värden och dagar som\n"
               "inte är i tidsordning ritas inte som väder; det sägs på standard error.\n"
               "Slutstatus: 0 när allt skrevs, 1 när årsfilen inte går att läsa (namn utan år,\n"
               "saknas, ingen vanlig fil, över 512 MiB) eller en fil inte går att skriva, 2 vid\n"
               "felaktiga flaggor.")
        .arg(kMinScale)
        .arg(kMaxScale);
}

ParsedOptions parseExportOptions(const QStringList &arguments)
{
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Visar den här hjälpen."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Visar programmets version."));
    const QCommandLineOption png(QStringLiteral("png"), QStringLiteral("Diagrammet som PNG."),
                                 QStringLiteral("FIL"));
    const QCommandLineOption csv(QStringLiteral("csv"), QStringLiteral("Mätningarna som CSV."),
                                 QStringLiteral("FIL"));
    const QCommandLineOption view(QStringLiteral("view"),
                                  QStringLiteral("Kurvorna: both, temp eller pressure."),
                                  QStringLiteral("VY"), QStringLiteral("both"));
    const QCommandLineOption scale(
        QStringLiteral("scale"),
        QStringLiteral("Skalan, %1 till %2.").arg(kMinScale).arg(kMaxScale), QStringLiteral("N"),
        QStringLiteral("1"));
    QCommandLineParser parser;
    parser.addOptions({help, version, png, csv, view, scale});
    if (!parser.parse(QStringList{QStringLiteral("kalvik-export")} + arguments))
        return failed(parser.errorText());

    ParsedOptions parsed;
    if (parser.isSet(help)) {
        parsed.help = true;
        return parsed;
    }
    if (parser.isSet(version)) {
        parsed.version = true;
        return parsed;
    }
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return failed(QStringLiteral("Ingen årsfil angiven."));
    if (files.size() > 1)
        return failed(QStringLiteral("Oväntat argument '%1'.").arg(files.at(1)));

    ExportOptions options;
    options.yearFile = files.first();
    options.png = parser.value(png);
    options.csv = parser.value(csv);
    for (const QCommandLineOption *named : {&png, &csv}) {
        if (parser.isSet(*named) && parser.value(*named).isEmpty())
            return failed(QStringLiteral("Värde saknas efter '--%1'.").arg(named->names().first()));
    }
    const std::optional<ChartView> chosen = viewNamed(parser.value(view));
    if (!chosen)
        return failed(badOptionValue(QStringLiteral("view"),
                                     QStringLiteral("both, temp eller pressure"),
                                     parser.value(view)));
    options.view = *chosen;
    bool ok = false;
    options.scale = QLocale::c().toDouble(parser.value(scale), &ok);
    if (!ok || !(options.scale >= kMinScale && options.scale <= kMaxScale))
        return failed(
            badOptionValue(QStringLiteral("scale"),
                           QStringLiteral("ett tal från %1 till %2").arg(kMinScale).arg(kMaxScale),
                           parser.value(scale)));
    if (options.png.isEmpty() && options.csv.isEmpty())
        return failed(QStringLiteral("Ange --png, --csv eller båda."));
    parsed.options = options;
    return parsed;
}

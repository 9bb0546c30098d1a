#include "ExportOptions.h"

#include "SwedishCommandLine.h"

#include <QHash>
#include <QLocale>

namespace {

using Row = OptionRow<ExportOptions>;

constexpr char kNoValue[] = "Värde saknas efter '--%1'.";

QString takeView(ExportOptions &o, const QString &option, const QString &value)
{
    static const QHash<QString, ChartView> views{{QStringLiteral("both"), ChartView::Both},
                                                 {QStringLiteral("temp"), ChartView::Temperature},
                                                 {QStringLiteral("pressure"), ChartView::Pressure}};
    if (!views.contains(value))
        return badOptionValue(option, QStringLiteral("both, temp eller pressure"), value);
    o.view = views.value(value);
    return {};
}

QString takeScale(ExportOptions &o, const QString &option, const QString &value)
{
    bool ok = false;
    o.scale = QLocale::c().toDouble(value, &ok);
    if (!ok || !(o.scale >= kMinScale && o.scale <= kMaxScale))
        return badOptionValue(
            option, QStringLiteral("ett tal från %1 till %2").arg(kMinScale).arg(kMaxScale), value);
    return {};
}

QString takeYearFile(ExportOptions &o, const QStringList &files)
{
    if (files.isEmpty())
        return QStringLiteral("Ingen årsfil angiven.");
    if (files.size() > 1)
        return unexpectedArgument(files.at(1));
    o.yearFile = files.first();
    return {};
}

QString somethingAsked(ExportOptions &o)
{
    return o.png.isEmpty() && o.csv.isEmpty() ? QStringLiteral("Ange --png, --csv eller båda.")
                                              : QString();
}

} // namespace

const OptionTable<ExportOptions> &exportOptionTable()
{
    static const OptionTable<ExportOptions> table{
        QStringLiteral("kalvik-export"),
        {
            {"--png", "FIL",
             "diagrammet som Kalvik visar det efter start, utan dagens\n"
             "temperatur: rutnät, kurvor, skalor, månader och rubrik med året",
             takeNonEmpty<ExportOptions, &ExportOptions::png, kNoValue>},
            {"--csv", "FIL",
             "en rad per post i filens ordning under rubriken\n"
             "date,time,temperature_c,qnh_hpa; datum ÅÅÅÅ-MM-DD, tid hh:mm,\n"
             "decimalpunkt; tomt fält för en temperatur som inte är ett tal\n"
             "och för QNH 0 (ingen mätning)",
             takeNonEmpty<ExportOptions, &ExportOptions::csv, kNoValue>},
            {"--view", "VY",
             "kurvorna i diagrammet: both (förval) båda, temp bara\n"
             "temperaturen som \"Bara Temp\", pressure bara trycket som\n"
             "\"Bara Tryck\"",
             takeView},
            {"--scale", "N",
             "diagrammet N gånger större med N pixlar breda linjer, %1 till %2\n"
             "(förval: 1)",
             takeScale},
            Row::answering("-h, --help", "den här texten", OptionAnswer::Help),
            Row::answering("-v, --version", "programmets version", OptionAnswer::Version),
        },
        takeYearFile,
        somethingAsked,
    };
    return table;
}

QString exportUsage()
{
    return (QStringLiteral(
                "Användning: kalvik-export [flaggor] ÅRSFIL\n"
                "Ritar årsfilens diagram som PNG och skriver dess mätningar som CSV, utan fönster\n"
                "och utan skärm. Året tas ur filnamnet, som i Kalvik (T_2026.dat); årsfilen läses\n"
                "bara, och en som saknas skapas inte.\n"
                "\n") +
            optionList(exportOptionTable(), 18) +
            QStringLiteral(
                "\n"
                "Ange --png, --csv eller båda. Varje fil skrivs under ett tillfälligt namn och\n"
                "får sitt namn först när den är hel. Poster med orimliga värden och dagar som\n"
                "inte är i tidsordning ritas inte som väder; det sägs på standard error.\n"
                "Slutstatus: 0 när allt skrevs, 1 när årsfilen inte går att läsa (namn utan år,\n"
                "saknas, ingen vanlig fil, över 512 MiB) eller en fil inte går att skriva, 2 vid\n"
                "felaktiga flaggor."))
        .arg(kMinScale)
        .arg(kMaxScale);
}

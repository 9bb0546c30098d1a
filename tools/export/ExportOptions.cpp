#include "ExportOptions.h"

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
    return QStringLiteral("Användning: kalvik-export [flaggor] ÅRSFIL [--png FIL] [--csv FIL] "
                          "[--view both|temp|pressure] [--scale N]");
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
        return failed(QStringLiteral("ingen årsfil angiven"));
    if (files.size() > 1)
        return failed(QStringLiteral("en årsfil i taget: %1").arg(files.at(1)));

    ExportOptions options;
    options.yearFile = files.first();
    options.png = parser.value(png);
    options.csv = parser.value(csv);
    for (const QCommandLineOption *named : {&png, &csv}) {
        if (parser.isSet(*named) && parser.value(*named).isEmpty())
            return failed(QStringLiteral("--%1 saknar sitt värde").arg(named->names().first()));
    }
    const std::optional<ChartView> chosen = viewNamed(parser.value(view));
    if (!chosen)
        return failed(
            QStringLiteral("--view %1: välj both, temp eller pressure").arg(parser.value(view)));
    options.view = *chosen;
    bool ok = false;
    options.scale = QLocale::c().toDouble(parser.value(scale), &ok);
    if (!ok || !(options.scale >= kMinScale && options.scale <= kMaxScale))
        return failed(QStringLiteral("--scale %1: skalan ska vara ett tal från %2 till %3")
                          .arg(parser.value(scale))
                          .arg(kMinScale)
                          .arg(kMaxScale));
    if (options.png.isEmpty() && options.csv.isEmpty())
        return failed(QStringLiteral("ange --png, --csv eller båda"));
    parsed.options = options;
    return parsed;
}

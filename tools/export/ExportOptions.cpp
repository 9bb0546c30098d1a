#include "ExportOptions.h"

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
    return QStringLiteral("Användning: kalvik-export ÅRSFIL [--png FIL] [--csv FIL] "
                          "[--view both|temp|pressure] [--scale N]");
}

ParsedOptions parseExportOptions(const QStringList &arguments)
{
    ExportOptions options;
    bool haveFile = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            ParsedOptions parsed;
            parsed.help = true;
            return parsed;
        }
        if (argument == QLatin1String("--version") || argument == QLatin1String("-v")) {
            ParsedOptions parsed;
            parsed.version = true;
            return parsed;
        }
        if (!argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            if (haveFile)
                return failed(QStringLiteral("en årsfil i taget: %1").arg(argument));
            options.yearFile = argument;
            haveFile = true;
            continue;
        }

        QString name = argument, value;
        bool haveValue = false;
        if (const qsizetype eq = argument.indexOf(QLatin1Char('=')); eq > 0) {
            name = argument.left(eq);
            value = argument.mid(eq + 1);
            haveValue = true;
        }
        const bool known = name == QLatin1String("--png") || name == QLatin1String("--csv") ||
                           name == QLatin1String("--view") || name == QLatin1String("--scale");
        if (!known)
            return failed(QStringLiteral("okänd flagga %1").arg(name));
        if (!haveValue) {
            if (i + 1 >= arguments.size())
                return failed(QStringLiteral("%1 saknar sitt värde").arg(name));
            value = arguments.at(++i);
        }
        if (value.isEmpty())
            return failed(QStringLiteral("%1 saknar sitt värde").arg(name));

        if (name == QLatin1String("--png")) {
            options.png = value;
        } else if (name == QLatin1String("--csv")) {
            options.csv = value;
        } else if (name == QLatin1String("--view")) {
            const std::optional<ChartView> view = viewNamed(value);
            if (!view)
                return failed(
                    QStringLiteral("--view %1: välj both, temp eller pressure").arg(value));
            options.view = *view;
        } else {
            bool ok = false;
            const double scale = QLocale::c().toDouble(value, &ok);
            if (!ok || !(scale >= kMinScale && scale <= kMaxScale))
                return failed(QStringLiteral("--scale %1: skalan ska vara ett tal från %2 till %3")
                                  .arg(value)
                                  .arg(kMinScale)
                                  .arg(kMaxScale));
            options.scale = scale;
        }
    }
    if (!haveFile)
        return failed(QStringLiteral("ingen årsfil angiven"));
    if (options.png.isEmpty() && options.csv.isEmpty())
        return failed(QStringLiteral("ange --png, --csv eller båda"));
    ParsedOptions parsed;
    parsed.options = options;
    return parsed;
}

#include "ImportOptions.h"

namespace {

using Row = OptionRow<ImportOptions>;
using C = ImportColumns;

// A column or folder, as given less the spaces around it.
QString name(QString &kept, const QString &option, const QString &value)
{
    kept = value.trimmed();
    return kept.isEmpty() ? QStringLiteral("--%1 saknar sitt värde").arg(option) : QString();
}

QString takeFolder(ImportOptions &o, const QString &option, const QString &value)
{
    return name(o.folder, option, value);
}

template <QString ImportColumns::*Column>
QString column(ImportOptions &o, const QString &option, const QString &value)
{
    return name(o.read.columns.*Column, option, value);
}

template <bool ImportOptions::*Field>
QString setOption(ImportOptions &o, const QString &, const QString &)
{
    o.*Field = true;
    return {};
}

template <bool ReadSettings::*Field>
QString setReading(ImportOptions &o, const QString &, const QString &)
{
    o.read.*Field = true;
    return {};
}

QString setFahrenheit(ImportOptions &o, const QString &, const QString &)
{
    o.read.temperatureUnit = TemperatureUnit::Fahrenheit;
    return {};
}

template <PressureUnit Unit>
QString setPressureUnit(ImportOptions &o, const QString &, const QString &)
{
    if (o.read.pressureUnit != PressureUnit::Hectopascal)
        return QStringLiteral("--kpa och --inhg kan inte anges samtidigt");
    o.read.pressureUnit = Unit;
    return {};
}

QString takeFiles(ImportOptions &o, const QStringList &files)
{
    o.files = files;
    return {};
}

QString columnsAgree(ImportOptions &o)
{
    const ImportColumns &columns = o.read.columns;
    if (columns.dailyExtremes() && (!columns.temperature.isEmpty() || !columns.pressure.isEmpty()))
        return QStringLiteral(
            "--high och --low kan inte blandas med --temperature eller --pressure");
    if ((!columns.highTime.isEmpty() || !columns.lowTime.isEmpty()) && !columns.dailyExtremes())
        return QStringLiteral("--high-time och --low-time hör till --high och --low");
    if (o.folder.isEmpty())
        return QStringLiteral("ange årsfilernas mapp med --folder");
    if (o.files.isEmpty())
        return QStringLiteral("ingen fil att importera angiven");
    return {};
}

} // namespace

const OptionTable<ImportOptions> &importOptionTable()
{
    static const OptionTable<ImportOptions> table{
        QStringLiteral("kalvik-import"),
        {
            Row::answering("-h, --help", "Visar den här hjälpen.", OptionAnswer::Help),
            Row::answering("-v, --version", "Visar programmets version.", OptionAnswer::Version),
            {"--folder", "MAPP", "Mappen med årsfilerna (T_<år>.dat).", takeFolder},
            {"--time", "KOLUMN", "Kolumnen med tid (datum och klockslag, eller klockslag).",
             column<&C::time>},
            {"--date", "KOLUMN", "Kolumnen med datum, när klockslaget står i en egen.",
             column<&C::date>},
            {"--temperature", "KOLUMN", "Kolumnen med temperatur.", column<&C::temperature>},
            {"--pressure", "KOLUMN", "Kolumnen med lufttryck (QNH).", column<&C::pressure>},
            {"--high", "KOLUMN", "Dygnets högsta temperatur (läses kl. 15:00).", column<&C::high>},
            {"--low", "KOLUMN", "Dygnets lägsta temperatur (läses kl. 06:00).", column<&C::low>},
            {"--high-time", "KOLUMN", "Klockslaget för dygnets högsta temperatur.",
             column<&C::highTime>},
            {"--low-time", "KOLUMN", "Klockslaget för dygnets lägsta temperatur.",
             column<&C::lowTime>},
            {"--utc", nullptr, "Tider utan tidszon är UTC, inte lokal tid.",
             setReading<&ReadSettings::utc>},
            {"--fahrenheit", nullptr, "Temperaturerna är i °F.", setFahrenheit},
            {"--kpa", nullptr, "Lufttrycket är i kPa.", setPressureUnit<PressureUnit::Kilopascal>},
            {"--inhg", nullptr, "Lufttrycket är i tum kvicksilver.",
             setPressureUnit<PressureUnit::InchOfMercury>},
            {"--replace-range", nullptr,
             "Ersätt de befintliga posterna inom de importerade tiderna.",
             setOption<&ImportOptions::replaceRange>},
            {"--dry-run", nullptr, "Skriv inget; visa per år vad som skulle skrivas.",
             setOption<&ImportOptions::dryRun>},
            {"--skip-bad-lines", nullptr, "Hoppa över felaktiga rader och räkna dem.",
             setReading<&ReadSettings::skipBadLines>},
        },
        takeFiles,
        columnsAgree,
    };
    return table;
}

ParsedImportOptions parseImportOptions(const QStringList &arguments)
{
    return parseCommandLine(importOptionTable(), arguments);
}

QString importHelpText()
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Läser temperatur och lufttryck ur CSV-filer (även SMHI:s stationsfiler) in i "
        "årsfilerna T_<år>.dat."));
    addOptions(parser, importOptionTable());
    parser.addPositionalArgument(QStringLiteral("FIL"), QStringLiteral("CSV-filer att importera."),
                                 QStringLiteral("FIL..."));
    return parser.helpText();
}

#include "ImportOptions.h"

#include <QCommandLineParser>

#include <vector>

namespace {

struct ValueOption
{
    const char *name;
    const char *valueName;
    const char *help;
    QString ImportOptions::*field = nullptr;  // either this
    QString ImportColumns::*column = nullptr; // or this
};

struct FlagOption
{
    const char *name;
    const char *help;
    bool ImportOptions::*field = nullptr;
    bool ReadSettings::*setting = nullptr;
};

const std::vector<ValueOption> kValueOptions{
    {"folder", "MAPP", "Mappen med årsfilerna (T_<år>.dat).", &ImportOptions::folder},
    {"time", "KOLUMN", "Kolumnen med tid (datum och klockslag, eller klockslag).", nullptr,
     &ImportColumns::time},
    {"date", "KOLUMN", "Kolumnen med datum, när klockslaget står i en egen.", nullptr,
     &ImportColumns::date},
    {"temperature", "KOLUMN", "Kolumnen med temperatur.", nullptr, &ImportColumns::temperature},
    {"pressure", "KOLUMN", "Kolumnen med lufttryck (QNH).", nullptr, &ImportColumns::pressure},
    {"high", "KOLUMN", "Dygnets högsta temperatur (läses kl. 15:00).", nullptr,
     &ImportColumns::high},
    {"low", "KOLUMN", "Dygnets lägsta temperatur (läses kl. 06:00).", nullptr, &ImportColumns::low},
    {"high-time", "KOLUMN", "Klockslaget för dygnets högsta temperatur.", nullptr,
     &ImportColumns::highTime},
    {"low-time", "KOLUMN", "Klockslaget för dygnets lägsta temperatur.", nullptr,
     &ImportColumns::lowTime},
};

const std::vector<FlagOption> kFlagOptions{
    {"utc", "Tider utan tidszon är UTC, inte lokal tid.", nullptr, &ReadSettings::utc},
    {"fahrenheit", "Temperaturerna är i °F.", nullptr, nullptr},
    {"kpa", "Lufttrycket är i kPa.", nullptr, nullptr},
    {"inhg", "Lufttrycket är i tum kvicksilver.", nullptr, nullptr},
    {"replace-range", "Ersätt de befintliga posterna inom de importerade tiderna.",
     &ImportOptions::replaceRange},
    {"dry-run", "Skriv inget; visa per år vad som skulle skrivas.", &ImportOptions::dryRun},
    {"skip-bad-lines", "Hoppa över felaktiga rader och räkna dem.", nullptr,
     &ReadSettings::skipBadLines},
};

void addOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "Läser temperatur och lufttryck ur CSV-filer (även SMHI:s stationsfiler) in i "
        "årsfilerna T_<år>.dat."));
    parser.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Visar den här hjälpen.")));
    parser.addOption(QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                                        QStringLiteral("Visar programmets version.")));
    for (const ValueOption &o : kValueOptions)
        parser.addOption(QCommandLineOption(QLatin1String(o.name), QString::fromUtf8(o.help),
                                            QLatin1String(o.valueName)));
    for (const FlagOption &o : kFlagOptions)
        parser.addOption(QCommandLineOption(QLatin1String(o.name), QString::fromUtf8(o.help)));
    parser.addPositionalArgument(QStringLiteral("FIL"), QStringLiteral("CSV-filer att importera."),
                                 QStringLiteral("FIL..."));
}

ParsedImportOptions failed(const QString &why)
{
    ParsedImportOptions parsed;
    parsed.error = why;
    return parsed;
}

} // namespace

QString importHelpText()
{
    QCommandLineParser parser;
    addOptions(parser);
    return parser.helpText();
}

QString importUsage()
{
    return QStringLiteral("Användning: kalvik-import --folder MAPP [flaggor] FIL...");
}

ParsedImportOptions parseImportOptions(const QStringList &arguments)
{
    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(QStringList{QStringLiteral("kalvik-import")} + arguments))
        return failed(parser.errorText());

    ParsedImportOptions parsed;
    if (parser.isSet(QStringLiteral("help"))) {
        parsed.help = true;
        return parsed;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        parsed.version = true;
        return parsed;
    }

    ImportOptions options;
    for (const ValueOption &o : kValueOptions) {
        const QString name = QLatin1String(o.name);
        if (!parser.isSet(name))
            continue;
        const QString value = parser.value(name).trimmed();
        if (value.isEmpty())
            return failed(QStringLiteral("--%1 saknar sitt värde").arg(name));
        (o.field ? options.*(o.field) : options.read.columns.*(o.column)) = value;
    }
    for (const FlagOption &o : kFlagOptions) {
        const bool set = parser.isSet(QLatin1String(o.name));
        if (o.field)
            options.*(o.field) = set;
        else if (o.setting)
            options.read.*(o.setting) = set;
    }
    if (parser.isSet(QStringLiteral("fahrenheit")))
        options.read.temperatureUnit = TemperatureUnit::Fahrenheit;
    const bool kpa = parser.isSet(QStringLiteral("kpa"));
    const bool inhg = parser.isSet(QStringLiteral("inhg"));
    if (kpa && inhg)
        return failed(QStringLiteral("--kpa och --inhg kan inte anges samtidigt"));
    if (kpa)
        options.read.pressureUnit = PressureUnit::Kilopascal;
    if (inhg)
        options.read.pressureUnit = PressureUnit::InchOfMercury;

    const ImportColumns &columns = options.read.columns;
    if (columns.dailyExtremes() && (!columns.temperature.isEmpty() || !columns.pressure.isEmpty()))
        return failed(
            QStringLiteral("--high och --low kan inte blandas med --temperature eller --pressure"));
    if ((!columns.highTime.isEmpty() || !columns.lowTime.isEmpty()) && !columns.dailyExtremes())
        return failed(QStringLiteral("--high-time och --low-time hör till --high och --low"));
    if (options.folder.isEmpty())
        return failed(QStringLiteral("ange årsfilernas mapp med --folder"));
    options.files = parser.positionalArguments();
    if (options.files.isEmpty())
        return failed(QStringLiteral("ingen fil att importera angiven"));
    parsed.options = options;
    return parsed;
}

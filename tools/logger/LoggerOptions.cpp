#include "LoggerOptions.h"

#include <QCommandLineParser>

#include <cmath>

namespace {

constexpr double kMinAltitude = -500.0; // below the Dead Sea shore
constexpr double kMaxAltitude = 9000.0;
constexpr double kMaxOffset = 50.0;
constexpr std::int32_t kMaxPort = 0xFFFF;

ParsedOptions refuse(const QString &why)
{
    ParsedOptions parsed;
    parsed.error = QStringLiteral("kalvik-logger: %1 (se kalvik-logger --help)").arg(why);
    return parsed;
}

QString badValue(const QString &option, const QString &what, const QString &value)
{
    return QStringLiteral("--%1 ska vara %2, inte \"%3\"").arg(option, what, value);
}

std::optional<double> decimal(QString text)
{
    text.replace(QLatin1Char(','), QLatin1Char('.')); // "-1,1" as a Swede writes it
    bool ok = false;
    const double v = text.toDouble(&ok);
    return ok && std::isfinite(v) ? std::optional(v) : std::nullopt;
}

std::optional<std::int32_t> portAddress(const QString &text)
{
    bool ok = false;
    const bool hex = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    const int v = hex ? text.mid(2).toInt(&ok, 16) : text.toInt(&ok, 10);
    return ok && v >= 1 && v <= kMaxPort ? std::optional(v) : std::nullopt;
}

} // namespace

ParsedOptions parseLoggerOptions(const QStringList &arguments, const QString &defaultFolder)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption folder(QStringLiteral("folder"), QString(), QStringLiteral("MAPP"));
    const QCommandLineOption interval(QStringLiteral("interval"), QString(), QStringLiteral("MIN"));
    const QCommandLineOption port(QStringLiteral("port"), QString(), QStringLiteral("ADRESS"));
    const QCommandLineOption offset(QStringLiteral("offset"), QString(), QStringLiteral("C"));
    const QCommandLineOption barometer(QStringLiteral("barometer"), QString(),
                                       QStringLiteral("MAPP"));
    const QCommandLineOption altitude(QStringLiteral("altitude"), QString(), QStringLiteral("M"));
    const QCommandLineOption once(QStringLiteral("once"), QString());
    const QCommandLineOption help(QStringList{QStringLiteral("help"), QStringLiteral("h")},
                                  QString());
    const QCommandLineOption version(QStringLiteral("version"), QString());
    parser.addOptions({folder, interval, port, offset, barometer, altitude, once, help, version});

    if (!parser.parse(arguments))
        return refuse(parser.errorText()); // Swedish once the tool installs its texts
    if (!parser.positionalArguments().isEmpty())
        return refuse(
            QStringLiteral("okänt argument \"%1\"").arg(parser.positionalArguments().constFirst()));

    ParsedOptions parsed;
    if (parser.isSet(help)) {
        parsed.action = ParsedOptions::Action::Help;
        return parsed;
    }
    if (parser.isSet(version)) {
        parsed.action = ParsedOptions::Action::Version;
        return parsed;
    }

    LoggerOptions &o = parsed.options;
    o.folder = parser.isSet(folder) ? parser.value(folder) : defaultFolder;
    if (o.folder.isEmpty())
        return refuse(QStringLiteral("--folder saknar värde"));
    if (parser.isSet(interval)) {
        bool ok = false;
        o.intervalMinutes = parser.value(interval).toInt(&ok);
        if (!ok || o.intervalMinutes < kMinIntervalMinutes ||
            o.intervalMinutes > kMaxIntervalMinutes)
            return refuse(badValue(QStringLiteral("interval"),
                                   QStringLiteral("ett helt antal minuter från 1 till 60"),
                                   parser.value(interval)));
    }
    if (parser.isSet(port)) {
        const std::optional<std::int32_t> p = portAddress(parser.value(port));
        if (!p)
            return refuse(badValue(QStringLiteral("port"),
                                   QStringLiteral("en portadress, decimal eller med 0x "
                                                  "hexadecimal (till exempel 889 eller 0x201)"),
                                   parser.value(port)));
        o.port = *p;
    }
    if (parser.isSet(offset)) {
        const std::optional<double> c = decimal(parser.value(offset));
        if (!c || std::abs(*c) > kMaxOffset)
            return refuse(badValue(QStringLiteral("offset"),
                                   QStringLiteral("en korrektion i grader, -50 till 50"),
                                   parser.value(offset)));
        o.offset = *c;
    }
    if (parser.isSet(altitude)) {
        const std::optional<double> m = decimal(parser.value(altitude));
        if (!m || *m < kMinAltitude || *m > kMaxAltitude)
            return refuse(
                badValue(QStringLiteral("altitude"),
                         QStringLiteral("stationens höjd över havet i meter, -500 till 9000"),
                         parser.value(altitude)));
        o.altitude = *m;
    }
    o.barometer = parser.value(barometer);
    if (parser.isSet(barometer) && o.barometer.isEmpty())
        return refuse(QStringLiteral("--barometer saknar värde"));
    o.once = parser.isSet(once);
    parsed.action = ParsedOptions::Action::Run;
    return parsed;
}

QString loggerHelpText(const QString &defaultFolder)
{
    const QString text = QStringLiteral(
        "Användning: kalvik-logger [flaggor]\n"
        "Mäter utomhustemperaturen med SMT160-givaren och lufttrycket med en barometer och\n"
        "lägger en post per mätning sist i årsfilen T_<år>.dat, som Kalvik visar.\n"
        "\n"
        "  --folder MAPP       mappen med årsfilerna (förval: %1)\n"
        "  --interval MIN      minuter mellan mätningarna, 1 till 60, räknat från midnatt\n"
        "                      (förval: 10)\n"
        "  --port ADRESS       givarens port, decimal eller 0x hexadecimal; 513 till 520\n"
        "                      (0x201 till 0x208) är spelporten (förval: 889)\n"
        "  --offset C          läggs till givarens värde (förval: -1,1, som i Kalvik)\n"
        "  --barometer MAPP    barometerns IIO-mapp, till exempel\n"
        "                      /sys/bus/iio/devices/iio:device0 (förval: den första med\n"
        "                      tryckkanal; utan barometer skrivs QNH 0)\n"
        "  --altitude M        stationens höjd över havet i meter, för QNH; krävs när\n"
        "                      en barometer finns\n"
        "  --once              en mätning nu, sedan slut\n"
        "  --version           programmets version\n"
        "  --help              den här texten\n"
        "\n"
        "Slutstatus: 0 efter --once eller SIGTERM/SIGINT, 1 om mappen inte går att skriva i\n"
        "eller mätningen från --once inte kunde skrivas, 2 vid felaktiga flaggor.\n");
    return text.arg(defaultFolder);
}

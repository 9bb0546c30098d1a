#include "LoggerOptions.h"

#include "SwedishCommandLine.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <QSysInfo>
#include <QUrl>

#include <cmath>

namespace {

constexpr double kMinAltitude = -500.0; // below the Dead Sea shore
constexpr double kMaxAltitude = 9000.0;
constexpr double kMaxOffset = 50.0;
constexpr std::int32_t kMaxPort = 0xFFFF;

ParsedOptions refuse(const QString &why)
{
    ParsedOptions parsed;
    parsed.error = optionErrorText(QStringLiteral("kalvik-logger"), why);
    return parsed;
}

QString badValue(const QString &option, const QString &what, const QString &value)
{
    return badOptionValue(option, what, value);
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

constexpr int kMqttPort = 1883;
constexpr int kMqttsPort = 8883;

// mqtt://host[:port] or mqtts://host[:port]; an error text when it is not.
QString parseBrokerUrl(const QString &text, MqttOptions &mqtt)
{
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || (scheme != QLatin1String("mqtt") && scheme != QLatin1String("mqtts")) ||
        url.host().isEmpty() || (!url.path().isEmpty() && url.path() != QLatin1String("/")) ||
        url.hasQuery() || url.hasFragment())
        return badValue(QStringLiteral("mqtt"),
                        QStringLiteral("mqtt://värd[:port] eller mqtts://värd[:port]"), text);
    if (!url.userInfo().isEmpty()) // every user can read a command line
        return QStringLiteral("--mqtt tar inget användarnamn eller lösenord; "
                              "lägg dem i filen till --mqtt-credentials");
    mqtt.url = text;
    mqtt.host = url.host();
    mqtt.tls = scheme == QLatin1String("mqtts");
    mqtt.port = url.port(mqtt.tls ? kMqttsPort : kMqttPort);
    return {};
}

// A topic level may not hold MQTT's wildcards; the prefixes may hold levels.
bool validTopicPart(const QString &text)
{
    return !text.contains(QLatin1Char('+')) && !text.contains(QLatin1Char('#')) &&
           !text.startsWith(QLatin1Char('/')) && !text.endsWith(QLatin1Char('/')) &&
           !text.contains(QLatin1String("//"));
}

} // namespace

QString stationFromHostName(const QString &hostName)
{
    QString id = hostName.section(QLatin1Char('.'), 0, 0).toLower();
    for (QChar &c : id)
        if (!((c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
              (c >= QLatin1Char('0') && c <= QLatin1Char('9'))))
            c = QLatin1Char('_');
    return id.isEmpty() ? QStringLiteral("kalvik") : id;
}

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
    const QCommandLineOption mqtt(QStringLiteral("mqtt"), QString(), QStringLiteral("URL"));
    const QCommandLineOption station(QStringLiteral("mqtt-station"), QString(),
                                     QStringLiteral("ID"));
    const QCommandLineOption prefix(QStringLiteral("mqtt-prefix"), QString(),
                                    QStringLiteral("PREFIX"));
    const QCommandLineOption discovery(QStringLiteral("mqtt-discovery-prefix"), QString(),
                                       QStringLiteral("PREFIX"));
    const QCommandLineOption credentials(QStringLiteral("mqtt-credentials"), QString(),
                                         QStringLiteral("FIL"));
    const QCommandLineOption ca(QStringLiteral("mqtt-ca"), QString(), QStringLiteral("FIL"));
    const QCommandLineOption help(QStringList{QStringLiteral("help"), QStringLiteral("h")},
                                  QString());
    const QCommandLineOption version(QStringLiteral("version"), QString());
    parser.addOptions({folder, interval, port, offset, barometer, altitude, once, mqtt, station,
                       prefix, discovery, credentials, ca, help, version});

    if (!parser.parse(arguments))
        return refuse(parser.errorText()); // Swedish once the tool installs its texts
    if (!parser.positionalArguments().isEmpty())
        return refuse(QStringLiteral("Oväntat argument '%1'.")
                          .arg(parser.positionalArguments().constFirst()));

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

    MqttOptions &m = o.mqtt;
    if (!parser.isSet(mqtt)) {
        for (const QCommandLineOption *needsBroker :
             {&station, &prefix, &discovery, &credentials, &ca})
            if (parser.isSet(*needsBroker))
                return refuse(
                    QStringLiteral("--%1 kräver --mqtt").arg(needsBroker->names().constFirst()));
    } else {
        if (const QString error = parseBrokerUrl(parser.value(mqtt), m); !error.isEmpty())
            return refuse(error);
        m.station = parser.isSet(station) ? parser.value(station)
                                          : stationFromHostName(QSysInfo::machineHostName());
        static const QRegularExpression stationId(QStringLiteral("^[a-z0-9_]+$"));
        if (!stationId.match(m.station).hasMatch())
            return refuse(badValue(QStringLiteral("mqtt-station"),
                                   QStringLiteral("små bokstäver a-z, siffror och _"), m.station));
        if (parser.isSet(prefix))
            m.prefix = parser.value(prefix);
        if (m.prefix.isEmpty() || !validTopicPart(m.prefix))
            return refuse(badValue(QStringLiteral("mqtt-prefix"),
                                   QStringLiteral("en ämnesväg utan + och #"), m.prefix));
        if (parser.isSet(discovery))
            m.discoveryPrefix = parser.value(discovery);
        if (!validTopicPart(m.discoveryPrefix))
            return refuse(badValue(QStringLiteral("mqtt-discovery-prefix"),
                                   QStringLiteral("en ämnesväg utan + och #, eller tom"),
                                   m.discoveryPrefix));
        m.credentialsFile = parser.value(credentials);
        m.caFile = parser.value(ca);
        for (const auto &[option, value] :
             {std::pair{&credentials, m.credentialsFile}, {&ca, m.caFile}})
            if (parser.isSet(*option) && value.isEmpty())
                return refuse(
                    QStringLiteral("--%1 saknar värde").arg(option->names().constFirst()));
        if (!m.caFile.isEmpty() && !m.tls)
            return refuse(QStringLiteral("--mqtt-ca gäller bara mqtts://"));
    }
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
        "  --mqtt URL          publicera varje mätning till MQTT-servern\n"
        "                      mqtt://värd[:port] (förval 1883) eller mqtts://värd[:port]\n"
        "                      med TLS (förval 8883)\n"
        "  --mqtt-station ID   stationens namn i ämnena, a-z, 0-9 och _ (förval: datorns\n"
        "                      namn)\n"
        "  --mqtt-prefix P     ämnenas början: P/ID/state och P/ID/status (förval: kalvik)\n"
        "  --mqtt-discovery-prefix P\n"
        "                      Home Assistants discovery-prefix; tomt stänger av\n"
        "                      discovery (förval: homeassistant)\n"
        "  --mqtt-credentials FIL\n"
        "                      fil med användarnamn och lösenord, ett per rad; får inte\n"
        "                      vara läsbar för andra än ägaren och gruppen\n"
        "  --mqtt-ca FIL       CA-certifikat för en server med egen CA (mqtts://)\n"
        "  --version           programmets version\n"
        "  --help              den här texten\n"
        "\n"
        "Mätningen skrivs alltid först i årsfilen; en MQTT-server som inte svarar fördröjer\n"
        "den aldrig. Med --once väntar loggern högst 5 sekunder på serverns kvittens.\n"
        "\n"
        "Slutstatus: 0 efter --once eller SIGTERM/SIGINT, 1 om mappen inte går att skriva i\n"
        "eller mätningen från --once inte kunde skrivas, 2 vid felaktiga flaggor eller en\n"
        "oläsbar eller för öppen --mqtt-credentials- eller --mqtt-ca-fil.\n");
    return text.arg(defaultFolder);
}

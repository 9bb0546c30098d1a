#include "LoggerOptions.h"

#include "SwedishCommandLine.h"

#include <QRegularExpression>
#include <QSysInfo>
#include <QUrl>

#include <cmath>

namespace {

using Row = OptionRow<LoggerOptions>;

constexpr double kMinAltitude = -500.0; // below the Dead Sea shore
constexpr double kMaxAltitude = 9000.0;
constexpr double kMaxOffset = 50.0;
constexpr std::int32_t kMaxPort = 0xFFFF;
constexpr int kMqttPort = 1883;
constexpr int kMqttsPort = 8883;
constexpr char kNoValue[] = "--%1 saknar värde";

std::optional<double> decimal(QString text)
{
    text.replace(QLatin1Char(','), QLatin1Char('.')); // "-1,1" as a Swede writes it
    bool ok = false;
    const double v = text.toDouble(&ok);
    return ok && std::isfinite(v) ? std::optional(v) : std::nullopt;
}

QString named(QString &kept, const QString &option, const QString &value)
{
    kept = value;
    return value.isEmpty() ? QString::fromUtf8(kNoValue).arg(option) : QString();
}

QString takeInterval(LoggerOptions &o, const QString &option, const QString &value)
{
    bool ok = false;
    o.intervalMinutes = value.toInt(&ok);
    if (!ok || o.intervalMinutes < kMinIntervalMinutes || o.intervalMinutes > kMaxIntervalMinutes)
        return badOptionValue(option, QStringLiteral("ett helt antal minuter från 1 till 60"),
                              value);
    return {};
}

QString takePort(LoggerOptions &o, const QString &option, const QString &value)
{
    bool ok = false;
    const bool hex = value.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    o.port = hex ? value.mid(2).toInt(&ok, 16) : value.toInt(&ok, 10);
    if (!ok || o.port < 1 || o.port > kMaxPort)
        return badOptionValue(option,
                              QStringLiteral("en portadress, decimal eller med 0x hexadecimal "
                                             "(till exempel 889 eller 0x201)"),
                              value);
    return {};
}

QString takeOffset(LoggerOptions &o, const QString &option, const QString &value)
{
    const std::optional<double> c = decimal(value);
    if (!c || std::abs(*c) > kMaxOffset)
        return badOptionValue(option, QStringLiteral("en korrektion i grader, -50 till 50"), value);
    o.offset = *c;
    return {};
}

QString takeAltitude(LoggerOptions &o, const QString &option, const QString &value)
{
    const std::optional<double> m = decimal(value);
    if (!m || *m < kMinAltitude || *m > kMaxAltitude)
        return badOptionValue(
            option, QStringLiteral("stationens höjd över havet i meter, -500 till 9000"), value);
    o.altitude = *m;
    return {};
}

QString takeOnce(LoggerOptions &o, const QString &, const QString &)
{
    o.once = true;
    return {};
}

// mqtt://host[:port] or mqtts://host[:port].
QString takeBroker(LoggerOptions &o, const QString &option, const QString &value)
{
    const QUrl url(value, QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || (scheme != QLatin1String("mqtt") && scheme != QLatin1String("mqtts")) ||
        url.host().isEmpty() || (!url.path().isEmpty() && url.path() != QLatin1String("/")) ||
        url.hasQuery() || url.hasFragment())
        return badOptionValue(
            option, QStringLiteral("mqtt://värd[:port] eller mqtts://värd[:port]"), value);
    if (!url.userInfo().isEmpty()) // every user can read a command line
        return QStringLiteral("--mqtt tar inget användarnamn eller lösenord; "
                              "lägg dem i filen till --mqtt-credentials");
    MqttOptions &m = o.mqtt;
    m.url = value;
    m.host = url.host();
    m.tls = scheme == QLatin1String("mqtts");
    m.port = url.port(m.tls ? kMqttsPort : kMqttPort);
    m.station = stationFromHostName(QSysInfo::machineHostName());
    return {};
}

// The rows after --mqtt: each needs it.
QString withBroker(const LoggerOptions &o, const QString &option)
{
    return o.mqtt.host.isEmpty() ? QStringLiteral("--%1 kräver --mqtt").arg(option) : QString();
}

// A broker's name for something, kept when it fits; else what it should be.
QString brokerName(LoggerOptions &o, QString &kept, const QString &option, const QString &value,
                   bool fits, const char *what)
{
    if (QString error = withBroker(o, option); !error.isEmpty())
        return error;
    kept = value;
    return fits ? QString() : badOptionValue(option, QString::fromUtf8(what), value);
}

// A topic level may not hold MQTT's wildcards; the prefixes may hold levels.
bool validTopicPart(const QString &text)
{
    return !text.contains(QLatin1Char('+')) && !text.contains(QLatin1Char('#')) &&
           !text.startsWith(QLatin1Char('/')) && !text.endsWith(QLatin1Char('/')) &&
           !text.contains(QLatin1String("//"));
}

QString takeStation(LoggerOptions &o, const QString &option, const QString &value)
{
    static const QRegularExpression stationId(QStringLiteral("^[a-z0-9_]+$"));
    return brokerName(o, o.mqtt.station, option, value, stationId.match(value).hasMatch(),
                      "små bokstäver a-z, siffror och _");
}

QString takePrefix(LoggerOptions &o, const QString &option, const QString &value)
{
    return brokerName(o, o.mqtt.prefix, option, value, !value.isEmpty() && validTopicPart(value),
                      "en ämnesväg utan + och #");
}

QString takeDiscoveryPrefix(LoggerOptions &o, const QString &option, const QString &value)
{
    return brokerName(o, o.mqtt.discoveryPrefix, option, value, validTopicPart(value),
                      "en ämnesväg utan + och #, eller tom");
}

QString takeCredentials(LoggerOptions &o, const QString &option, const QString &value)
{
    const QString error = withBroker(o, option);
    return error.isEmpty() ? named(o.mqtt.credentialsFile, option, value) : error;
}

QString takeCa(LoggerOptions &o, const QString &option, const QString &value)
{
    QString error = withBroker(o, option);
    if (error.isEmpty())
        error = named(o.mqtt.caFile, option, value);
    if (error.isEmpty() && !o.mqtt.tls)
        error = QStringLiteral("--mqtt-ca gäller bara mqtts://");
    return error;
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

const OptionTable<LoggerOptions> &loggerOptionTable()
{
    static const OptionTable<LoggerOptions> table{
        QStringLiteral("kalvik-logger"),
        {
            {"--folder", "MAPP", "mappen med årsfilerna (förval: %1)",
             takeNonEmpty<LoggerOptions, &LoggerOptions::folder, kNoValue>},
            {"--interval", "MIN",
             "minuter mellan mätningarna, 1 till 60, räknat från midnatt\n(förval: 10)",
             takeInterval},
            {"--port", "ADRESS",
             "givarens port, decimal eller 0x hexadecimal; 513 till 520\n"
             "(0x201 till 0x208) är spelporten (förval: 889)",
             takePort},
            {"--offset", "C", "läggs till givarens värde (förval: -1,1, som i Kalvik)", takeOffset},
            {"--barometer", "MAPP",
             "barometerns IIO-mapp, till exempel\n"
             "/sys/bus/iio/devices/iio:device0 (förval: den första med\n"
             "tryckkanal; utan barometer skrivs QNH 0)",
             takeNonEmpty<LoggerOptions, &LoggerOptions::barometer, kNoValue>},
            {"--altitude", "M",
             "stationens höjd över havet i meter, för QNH; krävs när\nen barometer finns",
             takeAltitude},
            {"--once", nullptr, "en mätning nu, sedan slut", takeOnce},
            {"--mqtt", "URL",
             "publicera varje mätning till MQTT-servern\n"
             "mqtt://värd[:port] (förval 1883) eller mqtts://värd[:port]\n"
             "med TLS (förval 8883)",
             takeBroker},
            {"--mqtt-station", "ID",
             "stationens namn i ämnena, a-z, 0-9 och _ (förval: datorns\nnamn)", takeStation},
            {"--mqtt-prefix", "P", "ämnenas början: P/ID/state och P/ID/status (förval: kalvik)",
             takePrefix},
            {"--mqtt-discovery-prefix", "P",
             "Home Assistants discovery-prefix; tomt stänger av\n"
             "discovery (förval: homeassistant)",
             takeDiscoveryPrefix},
            {"--mqtt-credentials", "FIL",
             "fil med användarnamn och lösenord, ett per rad; får inte\n"
             "vara läsbar för andra än ägaren och gruppen",
             takeCredentials},
            {"--mqtt-ca", "FIL", "CA-certifikat för en server med egen CA (mqtts://)", takeCa},
            Row::answering("--version", "programmets version", OptionAnswer::Version),
            Row::answering("--help", "den här texten", OptionAnswer::Help),
            Row::answering("-h", nullptr, OptionAnswer::Help),
        },
        nullptr,
        nullptr,
        QCommandLineParser::ParseAsLongOptions,
    };
    return table;
}

ParsedLoggerOptions parseLoggerOptions(const QStringList &arguments, const QString &defaultFolder)
{
    LoggerOptions options;
    options.folder = defaultFolder;
    return parseCommandLine(loggerOptionTable(), arguments, options);
}

QString loggerHelpText(const QString &defaultFolder)
{
    return (QStringLiteral(
                "Användning: kalvik-logger [flaggor]\n"
                "Mäter utomhustemperaturen med SMT160-givaren och lufttrycket med en barometer "
                "och\n"
                "lägger en post per mätning sist i årsfilen T_<år>.dat, som Kalvik visar.\n"
                "\n") +
            optionList(loggerOptionTable(), 22) +
            QStringLiteral(
                "\n"
                "Mätningen skrivs alltid först i årsfilen; en MQTT-server som inte svarar "
                "fördröjer\n"
                "den aldrig. Med --once väntar loggern högst 5 sekunder på serverns kvittens.\n"
                "\n"
                "Slutstatus: 0 efter --once eller SIGTERM/SIGINT, 1 om mappen inte går att skriva "
                "i\n"
                "eller mätningen från --once inte kunde skrivas, 2 vid felaktiga flaggor eller en\n"
                "oläsbar eller för öppen --mqtt-credentials- eller --mqtt-ca-fil.\n"))
        .arg(defaultFolder);
}

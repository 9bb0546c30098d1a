#pragma once

#include "OptionTable.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// Where and as what the samples are published; an empty host turns MQTT off.
struct MqttOptions
{
    QString url;  // as given, for the log
    QString host; // empty: no MQTT
    int port = 0;
    bool tls = false;
    QString station;                                           // [a-z0-9_]+, in every topic
    QString prefix = QStringLiteral("kalvik");                 // <prefix>/<station>/state
    QString discoveryPrefix = QStringLiteral("homeassistant"); // empty: no discovery
    QString credentialsFile;                                   // user name and password, one a line
    QString caFile;                                            // a private CA for mqtts://
};

struct LoggerOptions
{
    QString folder; // where the year files are
    int intervalMinutes = 10;
    std::int32_t port = 889;
    double offset = -1.1; // added to the sensor's value, as the window corrects it
    QString barometer{};  // an IIO device folder; empty: the first with a pressure channel
    std::optional<double> altitude{}; // metres above sea level
    bool once = false;
    // Samples dated before this year come from a clock not yet set: the
    // program cannot have been built after them.
    int earliestYear = KALVIK_BUILD_YEAR;
    MqttOptions mqtt{};
};

inline constexpr int kMinIntervalMinutes = 1;
inline constexpr int kMaxIntervalMinutes = 60;

using ParsedLoggerOptions = ParsedCommandLine<LoggerOptions>;

// arguments after the program name; defaultFolder holds the year files without --folder.
ParsedLoggerOptions parseLoggerOptions(const QStringList &arguments, const QString &defaultFolder);

const OptionTable<LoggerOptions> &loggerOptionTable();

QString loggerHelpText(const QString &defaultFolder);

// The host name as a station id: lower case, [a-z0-9_] only ("Väder-Pi.lan" gives "v_der_pi").
QString stationFromHostName(const QString &hostName);

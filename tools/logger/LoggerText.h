#pragma once

#include <QString>

#include <cerrno>
#include <utility>

// Every line kalvik-logger says, in Swedish: starting, sampling, stopping,
// the MQTT broker and its files, the barometer. Its options and help are in
// LoggerOptions.cpp. %1, %2 are filled in where a text is used.
namespace LoggerText {

// One text a line, each whole, so that a word can be found; long lines allowed.
// clang-format off
inline const QString started = QStringLiteral("kalvik-logger: mappen %1, port %2, barometer %3");
inline const QString noBarometer = QStringLiteral("ingen");
inline const QString notPublished = QStringLiteral("MQTT: mätningen publicerades inte; den finns i årsfilen");
inline const QString samplesLost = QStringLiteral("%1 mätning(ar) kunde inte skrivas och går förlorade (den första %2): %3");
inline const QString stopping = QStringLiteral("kalvik-logger: slutar");
inline const QString clockBeforeBuild = QStringLiteral("klockan är inte ställd: mätningen %1 är från före %2, då programmet byggdes");
inline const QString clockBehindDisk = QStringLiteral("klockan är inte ställd: mätningen %1 är mer än ett dygn äldre än den senaste på disken (%2)");
inline const QString notAFolder = QStringLiteral("%1 är ingen mapp");
inline const QString noFolder = QStringLiteral("mappen %1 finns inte");
inline const QString cannotWriteFolder = QStringLiteral("kan inte skriva i mappen %1: %2");
inline const QString altitudeNeeded = QStringLiteral("barometern %1 behöver stationens höjd över havet för QNH: ange --altitude METER");
inline const QString linePrefix = QStringLiteral("kalvik-logger: ");
inline const QString noTemperatureInLine = QStringLiteral("--.- C");
inline const QString celsiusInLine = QStringLiteral(" C");
inline const QString noQnhInLine = QStringLiteral("--");
inline const QString nothingWrittenYet = QStringLiteral("; inget skrivs förrän klockan går rätt");
inline const QString notWritten = QStringLiteral("skrivs inte");
inline const QString clockRight = QStringLiteral("klockan går rätt nu (%1); mätningarna skrivs igen");
inline const QString givenUp = QStringLiteral("mätningen %1 kunde aldrig skrivas och ges upp");
inline const QString noTemperature = QStringLiteral("ingen temperatur från port %1%2");
inline const QString barometerWithoutAltitude = QStringLiteral("barometern %1 hittades, men utan --altitude skrivs QNH 0");
inline const QString qnhWrittenAsZero = QStringLiteral("; QNH skrivs som 0");
inline const QString implausibleQnh = QStringLiteral("barometern %1 ger QNH %2 hPa, vilket inte kan stämma; QNH skrivs som 0");
inline const QString tornTail = QStringLiteral("%1 slutade med en avbruten post: %2 byte togs bort");
inline const QString writtenNextTime = QStringLiteral("%1; %2 mätning(ar) skrivs vid nästa mätning");
inline const QString clockSetBack = QStringLiteral("mätningen %1 är inte senare än den sista i %2 (%3), så klockan kan ha ställts bakåt; den läggs ändå till sist");
inline const QString refusalCode = QStringLiteral("kod %1");
inline const QString unknownHost = QStringLiteral("värdnamnet hittas inte");
inline const QString cannotRead = QStringLiteral("kan inte läsa %1: %2");
inline const QString noSuchFile = QStringLiteral("filen finns inte");
inline const QString noLinks = QStringLiteral("en symbolisk länk godtas inte");
inline const QString notAFile = QStringLiteral("%1 är ingen vanlig fil");
inline const QString readableByAll = QStringLiteral("%1 kan läsas av alla; låt bara ägaren och gruppen läsa den (chmod 640)");
inline const QString credentialLines = QStringLiteral("%1 ska ha användarnamnet på första raden och lösenordet på den andra");
inline const QString cannotMakeClient = QStringLiteral("MQTT: kan inte skapa klienten: %1");
inline const QString cannotReadCa = QStringLiteral("MQTT: kan inte läsa CA-filen %1");
inline const QString connected = QStringLiteral("MQTT: ansluten till %1, publicerar på %2");
inline const QString refused = QStringLiteral("MQTT: %1 vägrar anslutningen: %2");
inline const QString cannotConnect = QStringLiteral("MQTT: kan inte ansluta till %1: %2; försöker igen");
inline const QString noAnswer = QStringLiteral("MQTT: %1 svarar inte; försöker igen");
inline const QString tlsFailed = QStringLiteral("MQTT: TLS-anslutningen till %1 misslyckades (%2); servercertifikatet godtas inte av %3");
inline const QString unknownError = QStringLiteral("okänt fel");
inline const QString systemCas = QStringLiteral("systemets CA:er");
inline const QString connectionLost = QStringLiteral("MQTT: förbindelsen med %1 bröts; försöker igen");
inline const QString temperatureSensor = QStringLiteral("Temperatur");
inline const QString pressureSensor = QStringLiteral("Lufttryck (QNH)");
inline const QString notAFileReason = QStringLiteral("ingen vanlig fil");
inline const QString notANumber = QStringLiteral("%1: inget tal");
inline const QString noBarometerFolder = QStringLiteral("barometern %1 finns inte");
inline const QString noPressureChannel = QStringLiteral("barometern %1 har ingen tryckkanal");
inline const QString implausiblePressure = QStringLiteral("barometern %1 ger trycket %2 kPa");
// clang-format on

// A broker's refusal, by its code 1 to 5; another code is given as it is.
inline const QString refusalReasons[] = {
    QStringLiteral("servern godtar inte protokollversionen"),
    QStringLiteral("servern godtar inte klientnamnet"),
    QStringLiteral("tjänsten är inte tillgänglig just nu"),
    QStringLiteral("fel användarnamn eller lösenord"),
    QStringLiteral("inte behörig (användarnamn och lösenord, se --mqtt-credentials)"),
};
// A connection that failed, by its errno; others in the system's words.
inline const std::pair<int, QString> networkReasons[] = {
    {ECONNREFUSED, QStringLiteral("ingen server lyssnar på porten")},
    {EHOSTUNREACH, QStringLiteral("nätet når inte värden")},
    {ENETUNREACH, QStringLiteral("nätet når inte värden")},
    {ETIMEDOUT, QStringLiteral("tidsgränsen gick ut")},
    {ECONNRESET, QStringLiteral("servern stängde förbindelsen")},
    {EPIPE, QStringLiteral("servern stängde förbindelsen")},
};

} // namespace LoggerText

// kalvik-sample: writes a made-up year file for trying the program out.
#include "DayNumber.h"
#include "ProgramFolderPlugins.h"
#include "SampleYear.h"
#include "SwedishCommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QFileInfo>
#include <QString>

#include <cstdio>
#include <limits>
#include <optional>

namespace {

constexpr int kExitUsage = 2;

struct Options
{
    int year = QDate::currentDate().year();
    int intervalSeconds = 60;
    std::uint32_t seed = 1;
    QString out;
    bool force = false;
    std::int32_t lastDay = std::numeric_limits<std::int32_t>::max();
};

[[noreturn]] void fail(const QString &message)
{
    std::fprintf(stderr, "%s\n",
                 qPrintable(optionErrorText(QStringLiteral("kalvik-sample"), message)));
    std::exit(kExitUsage);
}

// The value of option as a whole number from low to high, or a message naming the option.
long long number(const QCommandLineParser &parser, const QString &option, long long low,
                 long long high, long long fallback)
{
    if (!parser.isSet(option))
        return fallback;
    bool ok = false;
    const QString text = parser.value(option);
    const long long v = text.toLongLong(&ok);
    if (!ok || v < low || v > high)
        fail(badOptionValue(option, QStringLiteral("ett heltal från %1 till %2").arg(low).arg(high),
                            text));
    return v;
}

Options parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Skriver en påhittad årsfil för södra Stockholm."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {QStringLiteral("year"), QStringLiteral("Året (förval: innevarande år)."),
         QStringLiteral("ÅÅÅÅ")},
        {QStringLiteral("interval"),
         QStringLiteral("Minuter mellan mätningarna, %1 till %2 (förval: 1).")
             .arg(kMinSampleInterval)
             .arg(kMaxSampleInterval),
         QStringLiteral("MINUTER")},
        {QStringLiteral("seconds"),
         QStringLiteral("Sekunder mellan mätningarna, %1 till %2, i stället för --interval.")
             .arg(kMinSampleSeconds)
             .arg(kMaxSampleSeconds),
         QStringLiteral("SEKUNDER")},
        {QStringLiteral("seed"), QStringLiteral("Slumpfrö; samma frö ger samma fil (förval: 1)."),
         QStringLiteral("N")},
        {QStringLiteral("out"), QStringLiteral("Filen att skriva (förval: T_<år>.dat)."),
         QStringLiteral("FIL")},
        {QStringLiteral("until"),
         QStringLiteral("Sista dagen med mätningar, till exempel dagens datum (förval: 31 "
                        "december)."),
         QStringLiteral("ÅÅÅÅ-MM-DD")},
        {QStringLiteral("force"), QStringLiteral("Skriv över en befintlig fil.")},
    });
    if (!parser.parse(arguments))
        fail(parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    if (!parser.positionalArguments().isEmpty())
        fail(QStringLiteral("Oväntat argument '%1'.")
                 .arg(parser.positionalArguments().constFirst()));

    Options o;
    o.year = int(number(parser, QStringLiteral("year"), 1, 9999, o.year));
    o.intervalSeconds = 60 * int(number(parser, QStringLiteral("interval"), kMinSampleInterval,
                                        kMaxSampleInterval, o.intervalSeconds / 60));
    o.intervalSeconds = int(number(parser, QStringLiteral("seconds"), kMinSampleSeconds,
                                   kMaxSampleSeconds, o.intervalSeconds));
    o.seed = std::uint32_t(number(parser, QStringLiteral("seed"), 0, 0xFFFFFFFFLL, o.seed));
    o.force = parser.isSet(QStringLiteral("force"));
    if (parser.isSet(QStringLiteral("until"))) {
        const QString text = parser.value(QStringLiteral("until"));
        const QDate until = QDate::fromString(text, Qt::ISODate);
        if (!until.isValid())
            fail(badOptionValue(QStringLiteral("until"), QStringLiteral("ett datum ÅÅÅÅ-MM-DD"),
                                text));
        o.lastDay = std::int32_t(DayNumber::fromDate(until));
    }
    o.out = parser.isSet(QStringLiteral("out"))
                ? parser.value(QStringLiteral("out"))
                : QStringLiteral("T_%1.dat").arg(o.year, 4, 10, QLatin1Char('0'));
    return o;
}

} // namespace

int main(int argc, char **argv)
{
    // Plugins and a qt.conf in the program's folder are not ours to load.
    const auto app = makeApplication<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kalvik-sample"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KALVIK_VERSION));
    SwedishCommandLine swedish;
    QCoreApplication::installTranslator(&swedish);

    const Options o = parse(QCoreApplication::arguments());
    if (!o.force && QFileInfo::exists(o.out)) {
        std::fprintf(stderr, "kalvik-sample: %s finns redan (--force skriver över)\n",
                     qPrintable(o.out));
        return 1;
    }

    QString error;
    if (!writeSampleYear(o.out, o.year, o.intervalSeconds, o.seed, &error, o.lastDay)) {
        std::fprintf(stderr, "kalvik-sample: kunde inte skriva %s: %s\n", qPrintable(o.out),
                     qPrintable(error));
        return 1;
    }
    std::printf("kalvik-sample: skrev %lld mätningar för %d (intervall %d s, frö %u) till %s\n",
                QFileInfo(o.out).size() / qint64(kRecordSize), o.year, o.intervalSeconds, o.seed,
                qPrintable(QFileInfo(o.out).absoluteFilePath()));
    return 0;
}

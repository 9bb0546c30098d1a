// kalvik-sample: writes a made-up year file for trying the program out.
#include "ProgramFolderPlugins.h"
#include "SampleYear.h"
#include "SwedishCommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QFileInfo>
#include <QString>

#include <cstdio>
#include <memory>
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
};

[[noreturn]] void fail(const QString &message)
{
    std::fprintf(stderr, "kalvik-sample: %s\nSe kalvik-sample --help.\n", qPrintable(message));
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
        fail(QStringLiteral("--%1 ska vara ett heltal från %2 till %3, inte '%4'.")
                 .arg(option)
                 .arg(low)
                 .arg(high)
                 .arg(text));
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
        {QStringLiteral("force"), QStringLiteral("Skriv över en befintlig fil.")},
    });
    if (!parser.parse(arguments))
        fail(parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    if (!parser.positionalArguments().isEmpty())
        fail(QStringLiteral("oväntat argument '%1'.")
                 .arg(parser.positionalArguments().constFirst()));

    Options o;
    o.year = int(number(parser, QStringLiteral("year"), 1, 9999, o.year));
    o.intervalSeconds = 60 * int(number(parser, QStringLiteral("interval"), kMinSampleInterval,
                                        kMaxSampleInterval, o.intervalSeconds / 60));
    o.intervalSeconds = int(number(parser, QStringLiteral("seconds"), kMinSampleSeconds,
                                   kMaxSampleSeconds, o.intervalSeconds));
    o.seed = std::uint32_t(number(parser, QStringLiteral("seed"), 0, 0xFFFFFFFFLL, o.seed));
    o.force = parser.isSet(QStringLiteral("force"));
    o.out = parser.isSet(QStringLiteral("out"))
                ? parser.value(QStringLiteral("out"))
                : QStringLiteral("T_%1.dat").arg(o.year, 4, 10, QLatin1Char('0'));
    return o;
}

} // namespace

int main(int argc, char **argv)
{
    // Plugins and a qt.conf in the program's folder are not ours to load.
    auto plugins =
        std::make_unique<ProgramFolderPlugins>(ProgramFolderPlugins::runningProgramFolder());
    QCoreApplication app(argc, argv);
    plugins.reset();
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
    if (!writeSampleYear(o.out, o.year, o.intervalSeconds, o.seed, &error)) {
        std::fprintf(stderr, "kalvik-sample: kunde inte skriva %s: %s\n", qPrintable(o.out),
                     qPrintable(error));
        return 1;
    }
    std::printf("kalvik-sample: skrev %zu mätningar för %d (intervall %d s, frö %u) till %s\n",
                SampleYearGenerator(o.year, o.intervalSeconds, o.seed).size(), o.year,
                o.intervalSeconds, o.seed, qPrintable(QFileInfo(o.out).absoluteFilePath()));
    return 0;
}

// kalvik-sample: writes a made-up year file for trying the program out.
#include "SampleYear.h"

#include <QDate>
#include <QFileInfo>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

struct Options
{
    int year = QDate::currentDate().year();
    int interval = 1;
    std::uint32_t seed = 1;
    QString out;
    bool force = false;
};

void usage(std::FILE *to)
{
    std::fputs("Användning: kalvik-sample [--year ÅÅÅÅ] [--interval MINUTER] [--seed N]\n"
               "                          [--out FIL] [--force]\n"
               "Skriver en påhittad årsfil för södra Stockholm.\n"
               "  --year      året (standard: innevarande år)\n"
               "  --interval  minuter mellan mätningarna, 1 till 60 (standard: 1)\n"
               "  --seed      slumpfrö; samma frö ger samma fil (standard: 1)\n"
               "  --out       filen att skriva (standard: T_<år>.dat)\n"
               "  --force     skriv över en befintlig fil\n",
               to);
}

std::optional<long long> number(const char *text)
{
    bool ok = false;
    const long long v = QString::fromLocal8Bit(text).toLongLong(&ok);
    return ok ? std::optional(v) : std::nullopt;
}

std::optional<Options> parse(int argc, char **argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--force")) {
            o.force = true;
            continue;
        }
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            usage(stdout);
            std::exit(0);
        }
        if (i + 1 >= argc)
            return std::nullopt;
        const char *value = argv[++i];
        if (arg == QLatin1String("--out")) {
            o.out = QString::fromLocal8Bit(value);
            continue;
        }
        const std::optional<long long> v = number(value);
        if (!v)
            return std::nullopt;
        if (arg == QLatin1String("--year") && *v >= 1 && *v <= 9999)
            o.year = int(*v);
        else if (arg == QLatin1String("--interval") && *v >= kMinSampleInterval &&
                 *v <= kMaxSampleInterval)
            o.interval = int(*v);
        else if (arg == QLatin1String("--seed") && *v >= 0 && *v <= 0xFFFFFFFFLL)
            o.seed = std::uint32_t(*v);
        else
            return std::nullopt;
    }
    if (o.out.isEmpty())
        o.out = QStringLiteral("T_%1.dat").arg(o.year, 4, 10, QLatin1Char('0'));
    return o;
}

} // namespace

int main(int argc, char **argv)
{
    const std::optional<Options> options = parse(argc, argv);
    if (!options) {
        usage(stderr);
        return 2;
    }
    const Options &o = *options;
    if (!o.force && QFileInfo::exists(o.out)) {
        std::fprintf(stderr, "kalvik-sample: %s finns redan (--force skriver över)\n",
                     qPrintable(o.out));
        return 1;
    }

    const std::vector<DataRecord> records = sampleYear(o.year, o.interval, o.seed);
    QString error;
    if (!writeYearFile(o.out, records, &error)) {
        std::fprintf(stderr, "kalvik-sample: kunde inte skriva %s: %s\n", qPrintable(o.out),
                     qPrintable(error));
        return 1;
    }
    std::printf("kalvik-sample: skrev %zu mätningar för %d (intervall %d min, frö %u) till %s\n",
                records.size(), o.year, o.interval, o.seed,
                qPrintable(QFileInfo(o.out).absoluteFilePath()));
    return 0;
}

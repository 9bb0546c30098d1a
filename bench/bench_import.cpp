// kalvik-import on CSV written when the benchmark starts (never kept): ten
// years of one-minute samples (5.26 million lines), a year of hourly ones and
// a year of one-second ones (31.6 million lines). Warm, in this process, and
// as the program itself in a fresh process, with that process's peak memory.
#include "BenchProcess.h"
#include "ImportOptions.h"
#include "YearImport.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

enum Input { kTenMinuteYears = 0, kHourlyYear = 1, kSecondYear = 2 };

QTemporaryDir *folder = nullptr;
QString program;

QString inputFile(int input)
{
    static const char *const names[] = {"minutes-2015-2024.csv", "hours-2024.csv",
                                        "seconds-2024.csv"};
    return folder->filePath(QString::fromLatin1(names[input]));
}

// Local times without a zone, a temperature with one decimal and a QNH with
// one, as a station program exports them: in time order, so each year is
// read back from the spool a block at a time.
bool writeInput(int input)
{
    const QString path = inputFile(input);
    if (QFile::exists(path))
        return true;
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    const int firstYear = input == kTenMinuteYears ? 2015 : 2024;
    const int lastYear = 2024;
    const int step = input == kHourlyYear ? 3600 : input == kTenMinuteYears ? 60 : 1;
    std::vector<char> block;
    block.reserve(1 << 21);
    const char header[] = "time,temperature,pressure\n";
    block.insert(block.end(), header, header + sizeof(header) - 1);
    char line[64];
    long n = 0;
    const QTimeZone zone("Europe/Stockholm");
    for (QDate d(firstYear, 1, 1); d.year() <= lastYear; d = d.addDays(1)) {
        // The hour the clocks skip in spring is not in a station's record.
        const bool spring = zone.offsetFromUtc(QDateTime(d, QTime(23, 0), zone)) >
                            zone.offsetFromUtc(QDateTime(d, QTime(0, 0), zone));
        for (int s = 0; s < 86400; s += step, ++n) {
            if (spring && s >= 2 * 3600 && s < 3 * 3600)
                continue;
            const int tenths = int(80 * std::sin(double(n % 100000) / 5000.0)) + (s / 600) % 40;
            const int qnh = 10130 + int(n % 400) - 200;
            const int len =
                std::snprintf(line, sizeof line, "%04d-%02d-%02d %02d:%02d:%02d,%d.%d,%d.%d\n",
                              d.year(), d.month(), d.day(), s / 3600, s / 60 % 60, s % 60,
                              tenths / 10, std::abs(tenths % 10), qnh / 10, qnh % 10);
            block.insert(block.end(), line, line + len);
        }
        if (block.size() > (1 << 20)) {
            if (out.write(block.data(), qint64(block.size())) != qint64(block.size()))
                return false;
            block.clear();
        }
    }
    return out.write(block.data(), qint64(block.size())) == qint64(block.size());
}

void emptyYears(const QString &data)
{
    QDir dir(data);
    dir.removeRecursively();
    QDir().mkpath(data);
}

void BM_ImportWarm(benchmark::State &state)
{
    const int input = int(state.range(0));
    if (!writeInput(input)) {
        state.SkipWithError("cannot write the input");
        return;
    }
    ImportOptions options;
    options.folder = folder->filePath(QStringLiteral("data"));
    options.files = {inputFile(input)};
    QString out, err;
    QTextStream o(&out), e(&err);
    for (auto _ : state) {
        state.PauseTiming();
        emptyYears(options.folder);
        state.ResumeTiming();
        if (runImport(options, QTimeZone("Europe/Stockholm"), o, e) != 0)
            state.SkipWithError(qPrintable(err));
    }
}

// The program in a process of its own, through GNU time for its peak memory
// (a child of this process would inherit this process's high-water mark).
void BM_ImportFreshProcess(benchmark::State &state)
{
    const int input = int(state.range(0));
    if (!writeInput(input)) {
        state.SkipWithError("cannot write the input");
        return;
    }
    const QString data = folder->filePath(QStringLiteral("data"));
    const QString peakFile = folder->filePath(QStringLiteral("peak.txt"));
    const std::vector<QByteArray> args{program.toLocal8Bit(), "--folder", data.toLocal8Bit(),
                                       inputFile(input).toLocal8Bit()};
    for (auto _ : state) {
        state.PauseTiming();
        emptyYears(data);
        state.ResumeTiming();
        if (!countRun(state, runMeasured(args, peakFile), "kalvik-import failed"))
            return;
    }
    state.counters["input_MB"] = double(QFile(inputFile(input)).size()) / 1e6;
}

// On the clock, as the work is in another process or on disk.
benchmark::internal::Benchmark *importRuns(const char *name, void (*run)(benchmark::State &),
                                           int iterations)
{
    return programRuns(name, run, iterations)->ArgName("input")->UseRealTime();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qputenv("TZ", "Europe/Stockholm");
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    folder = &dir;
    program = QStringLiteral(KALVIK_IMPORT);
    importRuns("BM_ImportWarm", BM_ImportWarm, 3)->Arg(kTenMinuteYears)->Arg(kHourlyYear);
    importRuns("BM_ImportFreshProcess", BM_ImportFreshProcess, 3)
        ->Arg(kTenMinuteYears)
        ->Arg(kHourlyYear);
    importRuns("BM_ImportFreshProcess", BM_ImportFreshProcess, 1)->Arg(kSecondYear);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

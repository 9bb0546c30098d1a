// kalvik-export on a one-minute year (525,600 records), a one-second year
// (31,536,000 records, 505 MB) and a 512 MiB file whose day numbers alternate
// between 1 January and 31 December (both written at benchmark time into a
// temporary folder): warm, in this process, and as the program itself in a fresh
// process each time, the way cron runs it, with that process's peak memory.
#include "BenchProcess.h"
#include "BenchYearFiles.h"
#include "SampleYear.h"
#include "YearExport.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

enum Year { kMinuteYear = 0, kSecondYear = 1, kOutOfOrder = 2 };
enum Output { kPng = 0, kCsv = 1, kBoth = 2 };

QTemporaryDir *folder = nullptr;
QString program;

QString yearFile(int year)
{
    static const char *const folders[] = {"minute", "second", "alternating"};
    return folder->filePath(QStringLiteral("%1/T_2026.dat").arg(QLatin1String(folders[year])));
}

// Each minute of the one-minute year spread over 60 seconds, streamed to disk.
bool writeSecondYear(const QString &path)
{
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    std::vector<std::byte> block;
    for (const DataRecord &minute : sampleYear(2026, 1, 1)) {
        for (int s = 0; s < 60; ++s) {
            DataRecord r = minute;
            r.timeOfDay = minute.timeOfDay + float(s) / 86400.0f;
            encodeRecord(r, block);
        }
        if (block.size() >= (1 << 20)) {
            out.write(reinterpret_cast<const char *>(block.data()), qint64(block.size()));
            block.clear();
        }
    }
    out.write(reinterpret_cast<const char *>(block.data()), qint64(block.size()));
    return out.error() == QFile::NoError;
}

bool ensureYear(int year)
{
    const QString path = yearFile(year);
    if (QFile::exists(path))
        return true;
    QDir(folder->path()).mkpath(QFileInfo(path).absolutePath());
    if (year == kOutOfOrder)
        return writeAlternatingDays(path, 2026);
    return year == kMinuteYear ? writeYearFile(path, sampleYear(2026, 1, 1))
                               : writeSecondYear(path);
}

ExportOptions optionsFor(int year, int output)
{
    ExportOptions options;
    options.yearFile = yearFile(year);
    if (output != kCsv)
        options.png = folder->filePath(QStringLiteral("chart.png"));
    if (output != kPng)
        options.csv = folder->filePath(QStringLiteral("table.csv"));
    return options;
}

void BM_ExportWarm(benchmark::State &state)
{
    if (!ensureYear(int(state.range(0)))) {
        state.SkipWithError("cannot write the year file");
        return;
    }
    const ExportOptions options = optionsFor(int(state.range(0)), int(state.range(1)));
    for (auto _ : state)
        if (runExport(options).exitCode != 0)
            state.SkipWithError("export failed");
}
BENCHMARK(BM_ExportWarm)
    ->ArgNames({"second", "out"})
    ->Args({kMinuteYear, kPng})
    ->Args({kMinuteYear, kCsv})
    ->Args({kMinuteYear, kBoth})
    ->Unit(benchmark::kMillisecond);

// The program in a process of its own: start-up, Qt, fonts, the read and the writes.
void BM_ExportFreshProcess(benchmark::State &state)
{
    if (!ensureYear(int(state.range(0)))) {
        state.SkipWithError("cannot write the year file");
        return;
    }
    const ExportOptions options = optionsFor(int(state.range(0)), int(state.range(1)));
    std::vector<QByteArray> args{program.toLocal8Bit(), options.yearFile.toLocal8Bit()};
    if (!options.png.isEmpty())
        args.insert(args.end(), {"--png", options.png.toLocal8Bit()});
    if (!options.csv.isEmpty())
        args.insert(args.end(), {"--csv", options.csv.toLocal8Bit()});
    const QString peakFile = folder->filePath(QStringLiteral("peak.txt"));
    for (auto _ : state)
        if (!countRun(state, runMeasured(args, peakFile), "kalvik-export failed"))
            return;
}

// Fewer runs of the larger files: one of the one-second year takes seconds.
benchmark::internal::Benchmark *freshProcess(int iterations)
{
    return programRuns("BM_ExportFreshProcess", BM_ExportFreshProcess, iterations)
        ->ArgNames({"second", "out"});
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    folder = &dir;
    program = QStringLiteral(KALVIK_EXPORT);
    freshProcess(5)->Args({kMinuteYear, kPng})->Args({kMinuteYear, kBoth});
    freshProcess(1)
        ->Args({kSecondYear, kPng})
        ->Args({kSecondYear, kCsv})
        ->Args({kSecondYear, kBoth});
    freshProcess(3)->Args({kOutOfOrder, kPng});
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

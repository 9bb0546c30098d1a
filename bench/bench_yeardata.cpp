// Year data: reading a year file and building both curves, as the two loaders
// do at start-up, for a year of one-minute samples and an hourly year.
#include "Curves.h"
#include "DayNumber.h"
#include "SampleYear.h"
#include "YearFile.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>

namespace {

constexpr int kYear = 2026;

// One file per interval, written once and kept for the whole run.
const QString &yearFile(int intervalMinutes)
{
    static QTemporaryDir dir;
    static std::map<int, QString> files;
    auto [it, added] = files.try_emplace(intervalMinutes);
    if (added) {
        it->second = dir.filePath(QStringLiteral("%1min/T_%2.dat").arg(intervalMinutes).arg(kYear));
        QDir().mkpath(QFileInfo(it->second).path());
        if (!writeYearFile(it->second, sampleYear(kYear, intervalMinutes, 7)))
            qFatal("cannot write %s", qPrintable(it->second));
    }
    return it->second;
}

std::int32_t yearStart()
{
    return std::int32_t(DayNumber::fromDate(QDate(kYear, 1, 1)));
}

void setCounters(benchmark::State &state, std::size_t records)
{
    state.counters["records"] = double(records);
    state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(records));
}

// Both loaders, each reading the file itself, pressure first as on screen.
void BM_BothLoaders(benchmark::State &state)
{
    const QString &path = yearFile(int(state.range(0)));
    std::size_t records = 0;
    for (auto _ : state) {
        {
            const YearFileRead read = readYearFile(path);
            benchmark::DoNotOptimize(pressureCurve(read.records, yearStart()));
        }
        const YearFileRead read = readYearFile(path);
        benchmark::DoNotOptimize(temperatureCurve(read.records, yearStart()));
        records = read.records.size();
    }
    setCounters(state, records);
}

void BM_ReadYearFile(benchmark::State &state)
{
    const QString &path = yearFile(int(state.range(0)));
    std::size_t records = 0;
    for (auto _ : state) {
        const YearFileRead read = readYearFile(path);
        records = read.records.size();
        benchmark::DoNotOptimize(read.records.data());
    }
    setCounters(state, records);
}

void BM_TemperatureCurve(benchmark::State &state)
{
    const std::vector<DataRecord> records = readYearFile(yearFile(int(state.range(0)))).records;
    for (auto _ : state)
        benchmark::DoNotOptimize(temperatureCurve(records, yearStart()));
    setCounters(state, records.size());
}

void BM_PressureCurve(benchmark::State &state)
{
    const std::vector<DataRecord> records = readYearFile(yearFile(int(state.range(0)))).records;
    for (auto _ : state)
        benchmark::DoNotOptimize(pressureCurve(records, yearStart()));
    setCounters(state, records.size());
}

// The sample tool's promise: a one-minute year made and written in well under a second.
void BM_SampleYearWritten(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("T_%1.dat").arg(kYear));
    for (auto _ : state)
        benchmark::DoNotOptimize(writeYearFile(path, sampleYear(kYear, int(state.range(0)), 7)));
}

} // namespace

// Argument: minutes between samples (1 = 525,600 records, 60 = 8,760).
BENCHMARK(BM_BothLoaders)->Arg(1)->Arg(60)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadYearFile)->Arg(1)->Arg(60)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TemperatureCurve)->Arg(1)->Arg(60)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PressureCurve)->Arg(1)->Arg(60)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SampleYearWritten)->Arg(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

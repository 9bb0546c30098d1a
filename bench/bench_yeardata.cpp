// Year data: one read of a year file that builds both curves and counts the
// table's rows, as a redraw does, for an hourly year, a year of one-minute
// samples and a year of one-second samples (31.5 million records, 505 MB,
// made when the benchmark starts and removed at its end), and for a file out
// of time order as large as a year file may be (512 MiB, day numbers
// alternating between 1 January and 31 December, made the same way).
#include "BenchYearFiles.h"
#include "Curves.h"
#include "DayNumber.h"
#include "ShellSort.h"
#include "YearPass.h"

#include <QDate>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kYear = 2026;

const QString &yearFile(int intervalSeconds)
{
    return sampleYearFile(kYear, intervalSeconds, 7);
}

std::int32_t yearStart()
{
    return std::int32_t(DayNumber::fromDate(QDate(kYear, 1, 1)));
}

void countRecords(benchmark::State &state, qint64 records)
{
    state.counters["records"] = double(records);
    state.SetItemsProcessed(std::int64_t(state.iterations()) * records);
}

// What a redraw reads: the file once, both curves and the table's count.
void measureYearPass(benchmark::State &state, const QString &path)
{
    qint64 records = 0;
    for (auto _ : state) {
        const YearPass pass = readYearPass(path, yearStart());
        records = pass.records;
        benchmark::DoNotOptimize(pass.temperature.segments.data());
    }
    countRecords(state, records);
}

void BM_YearPass(benchmark::State &state)
{
    measureYearPass(state, yearFile(int(state.range(0))));
}

// The same for the 512 MiB file out of time order: the day numbers go back
// 16.8 million times, so its days are gathered by date.
void BM_YearPassOutOfOrder(benchmark::State &state)
{
    measureYearPass(state, alternatingDaysFile(kYear));
}

// The floor under it: the same read and decode, with nothing built.
void BM_ReadOnly(benchmark::State &state)
{
    const QString &path = yearFile(int(state.range(0)));
    qint64 records = 0;
    for (auto _ : state)
        records = scanYearFile(path, [](std::span<const DataRecord>) {}).records;
    countRecords(state, records);
}

// Both curves from records already in memory (hourly and one-minute years).
void BM_BothCurvesInMemory(benchmark::State &state)
{
    std::vector<DataRecord> records = sampleYear(kYear, int(state.range(0)) / 60, 7);
    for (auto _ : state) {
        benchmark::DoNotOptimize(pressureCurve(records, yearStart()));
        benchmark::DoNotOptimize(temperatureCurve(records, yearStart()));
    }
    countRecords(state, qint64(records.size()));
}

// A day of one-second readings that are all equal: the sort must not move them.
void BM_SortDayOfEqualReadings(benchmark::State &state)
{
    const std::vector<float> day(86'400, 1013.0f);
    for (auto _ : state) {
        std::vector<float> values = day;
        shellSortArray(values);
        benchmark::DoNotOptimize(values.data());
    }
}

// The sample tool's promise: a one-minute year made and written in well under a second.
void BM_SampleYearWritten(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("T_%1.dat").arg(kYear));
    for (auto _ : state)
        benchmark::DoNotOptimize(writeSampleYear(path, kYear, int(state.range(0)), 7));
}

} // namespace

// Argument: seconds between samples (3600 = 8,760 records, 60 = 525,600,
// 1 = 31,536,000).
BENCHMARK(BM_YearPass)->Arg(3600)->Arg(60)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_YearPassOutOfOrder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadOnly)->Arg(3600)->Arg(60)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BothCurvesInMemory)->Arg(3600)->Arg(60)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortDayOfEqualReadings)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SampleYearWritten)->Arg(60)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

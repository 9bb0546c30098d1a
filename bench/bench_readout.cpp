// Speed of the data table: a year of one-minute samples decoded, handed to the
// model and the rows of one screen formatted.
#include "DataRecord.h"
#include "DataRow.h"
#include "DataTableModel.h"
#include "DayNumber.h"

#include <benchmark/benchmark.h>

#include <QLocale>

#include <algorithm>
#include <vector>

namespace {

constexpr int kMinutesPerYear = 525'600;
constexpr int kMinutesPerDay = 1440;
constexpr int kRowsOnScreen = 40;

std::vector<std::byte> yearOfMinutes()
{
    const auto newYear = std::int32_t(DayNumber::fromDate(QDate(2003, 1, 1)));
    std::vector<std::byte> bytes;
    bytes.reserve(std::size_t(kMinutesPerYear) * kRecordSize);
    for (int i = 0; i < kMinutesPerYear; ++i) {
        const int minute = i % kMinutesPerDay;
        const DataRecord r{newYear + i / kMinutesPerDay, float(minute) / kMinutesPerDay,
                           1000 + i % 30, float(i % 700) / 10.0f - 30.0f};
        encodeRecord(r, bytes);
    }
    return bytes;
}

const std::vector<std::byte> &yearFile()
{
    static const std::vector<std::byte> bytes = yearOfMinutes();
    return bytes;
}

// The view shows the newest rows: the last row at the top, scrolled back.
void formatLastScreen(const DataTableModel &model)
{
    const int rows = model.rowCount();
    for (int row = std::max(0, rows - kRowsOnScreen); row < rows; ++row)
        benchmark::DoNotOptimize(model.data(model.index(row)));
}

void BM_DecodeYear(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(decodeRecords(yearFile()));
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(yearFile().size()));
}
BENCHMARK(BM_DecodeYear)->Unit(benchmark::kMillisecond);

void BM_SetRecords(benchmark::State &state)
{
    DataTableModel model;
    const std::vector<DataRecord> decoded = decodeRecords(yearFile());
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<DataRecord> records = decoded;
        state.ResumeTiming();
        model.setRecords(std::move(records));
    }
}
// Each iteration copies 8 MB untimed, so the count is fixed.
BENCHMARK(BM_SetRecords)->Unit(benchmark::kMicrosecond)->Iterations(200);

void BM_FormatScreenOfRows(benchmark::State &state)
{
    DataTableModel model;
    model.setLocale(QLocale(QLocale::Swedish, QLocale::Sweden));
    model.setRecords(decodeRecords(yearFile()));
    for (auto _ : state)
        formatLastScreen(model);
}
BENCHMARK(BM_FormatScreenOfRows)->Unit(benchmark::kMicrosecond);

// Bytes of a year file to a table ready to show: decode, hand over, one screen.
void BM_TableReady(benchmark::State &state)
{
    DataTableModel model;
    model.setLocale(QLocale(QLocale::Swedish, QLocale::Sweden));
    for (auto _ : state) {
        model.setRecords(decodeRecords(yearFile()));
        formatLastScreen(model);
    }
}
BENCHMARK(BM_TableReady)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

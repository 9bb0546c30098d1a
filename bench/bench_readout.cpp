// Speed of the data table: its rows are read from the year file when shown,
// so a screen of the newest rows costs the same for any size of year.
#include "BenchYearFiles.h"
#include "DataRow.h"
#include "DataTableModel.h"

#include <benchmark/benchmark.h>

#include <QFileInfo>
#include <QLocale>

#include <algorithm>

namespace {

constexpr int kYear = 2003;
constexpr int kRowsOnScreen = 40;

const QString &yearFile(int intervalSeconds)
{
    return sampleYearFile(kYear, intervalSeconds, 3);
}

// The view shows the newest rows: the last row at the top, scrolled back.
void formatLastScreen(const DataTableModel &model)
{
    const int rows = model.rowCount();
    for (int row = std::max(0, rows - kRowsOnScreen); row < rows; ++row)
        benchmark::DoNotOptimize(model.data(model.index(row)));
}

// A refill and the first screen of rows, read from the file and formatted.
void BM_TableReadyFromFile(benchmark::State &state)
{
    const QString &path = yearFile(int(state.range(0)));
    const qint64 records = QFileInfo(path).size() / 16;
    DataTableModel model;
    model.setLocale(QLocale(QLocale::Swedish, QLocale::Sweden));
    for (auto _ : state) {
        model.setFile(path, records);
        formatLastScreen(model);
    }
}
BENCHMARK(BM_TableReadyFromFile)->Arg(60)->Arg(1)->Unit(benchmark::kMicrosecond);

// Rows already read, formatted again, as when the list repaints.
void BM_FormatScreenOfRows(benchmark::State &state)
{
    const QString &path = yearFile(60);
    DataTableModel model;
    model.setLocale(QLocale(QLocale::Swedish, QLocale::Sweden));
    model.setFile(path, QFileInfo(path).size() / 16);
    for (auto _ : state)
        formatLastScreen(model);
}
BENCHMARK(BM_FormatScreenOfRows)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

// kalvik-web as the timer runs it, a fresh process each time: the first build
// of a site from ten years, and a run after the logger appended one sample,
// with the process's processor time and peak memory. Years of hourly and
// one-minute samples, and one of one-second samples (505 MB) with nine
// one-minute years before it; all written at benchmark time, never kept.
#include "BenchProcess.h"
#include "SampleYear.h"
#include "YearFile.h"
#include "YearFileAppend.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <vector>

namespace {

constexpr int kLastYear = 2026;
constexpr int kYears = 10;
constexpr int kNewestDays = 340;

QTemporaryDir *root = nullptr;

// Ten years in a folder of their own: intervalSeconds for every year, the
// newest one at newestSeconds.
QString dataFolder(int intervalSeconds, int newestSeconds)
{
    static std::map<std::pair<int, int>, QString> made;
    auto [it, added] = made.try_emplace({intervalSeconds, newestSeconds});
    if (added) {
        it->second =
            root->filePath(QStringLiteral("data-%1-%2").arg(intervalSeconds).arg(newestSeconds));
        QDir().mkpath(it->second);
        for (int year = kLastYear - kYears + 1; year <= kLastYear; ++year) {
            const int interval = year == kLastYear ? newestSeconds : intervalSeconds;
            const QString path = QStringLiteral("%1/T_%2.dat").arg(it->second).arg(year);
            if (!writeSampleYear(path, year, interval, std::uint32_t(year)))
                qFatal("cannot write the sample years");
            // The newest year is under way: it ends on 6 December.
            if (year == kLastYear)
                QFile::resize(path, qint64(kNewestDays) * (86400 / interval) * qint64(kRecordSize));
        }
    }
    return it->second;
}

ProcessRun runWebProcess(const QString &folder, const QString &site)
{
    return runMeasured({QByteArray(KALVIK_WEB), "--folder", QFile::encodeName(folder), "--out",
                        QFile::encodeName(site)},
                       root->filePath(QStringLiteral("peak.txt")));
}

// Processor time per run, and the largest peak of any run.
void report(benchmark::State &state, const ProcessRun &run)
{
    state.SetIterationTime(run.seconds);
    state.counters["cpu_ms"] = benchmark::Counter(
        state.counters["cpu_ms"].value + run.cpuSeconds * 1000, benchmark::Counter::kAvgIterations);
    countRun(state, run, "kalvik-web failed");
}

void clearSite(const QString &site)
{
    QDir(site).removeRecursively();
    QFile::remove(site + QStringLiteral(".cache"));
}

// Args: interval of the years, interval of the newest year (seconds).
void BM_WebFirstBuild(benchmark::State &state)
{
    const QString folder = dataFolder(int(state.range(0)), int(state.range(1)));
    const QString site = root->filePath(QStringLiteral("site"));
    for (auto _ : state) {
        clearSite(site);
        report(state, runWebProcess(folder, site));
    }
}

// The logger's next sample, one interval after the newest, then a run.
void BM_WebAfterOneSample(benchmark::State &state)
{
    const QString folder = dataFolder(int(state.range(0)), int(state.range(1)));
    const QString site = root->filePath(QStringLiteral("site"));
    const QString newest = QStringLiteral("%1/T_%2.dat").arg(folder).arg(kLastYear);
    clearSite(site);
    runWebProcess(folder, site);
    const qint64 original = QFileInfo(newest).size();
    for (auto _ : state) {
        DataRecord next;
        readRecordsAt(newest, QFileInfo(newest).size() / qint64(kRecordSize) - 1, {&next, 1});
        next.timeOfDay += float(state.range(1)) / 86400.0f;
        next.temp += 0.1f;
        appendRecord(newest, next);
        report(state, runWebProcess(folder, site));
    }
    QFile::resize(newest, original);
}

// Years of hourly samples, of one-minute samples, and one-minute years whose
// newest year has a sample a second.
void yearsAndNewest(benchmark::internal::Benchmark *b)
{
    b->Args({3600, 3600})->Args({60, 60})->Args({60, 1})->ArgNames({"years_s", "newest_s"});
    b->UseManualTime()->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(BM_WebFirstBuild)->Apply(yearsAndNewest)->Iterations(3);
BENCHMARK(BM_WebAfterOneSample)->Apply(yearsAndNewest)->Iterations(10);

int main(int argc, char **argv)
{
    QTemporaryDir dir;
    root = &dir;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

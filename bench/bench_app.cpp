// The window's own work on an hourly year, a year of one-minute samples and a
// year of one-second samples (31.5 million records, made when the benchmark
// starts): a whole "Visa Temp o Tryck" with its repaint, the table ready to
// show, one cross-hair move with its repaint, a reading that draws one record
// the logger added (and one that finds nothing added), and the start-up of a
// fresh process with its peak resident memory; and the same redraws for a
// 512 MiB file whose day numbers alternate between 1 January and 31 December
// (argument 0), made when the benchmark starts. Run with QT_QPA_PLATFORM=offscreen,
// or under Xvfb with QT_QPA_PLATFORM=xcb to include the paint to the screen.
#include "BenchYearFiles.h"
#include "DataListBox.h"
#include "DataTableModel.h"
#include "DayNumber.h"
#include "DiagramCanvas.h"
#include "SampleYear.h"
#include "frmKalvik.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QListView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <map>
#include <memory>

extern char **environ;

namespace {

constexpr int kYear = 2026;
const std::int32_t kYearStartDay = std::int32_t(DayNumber::fromDate(QDate(kYear, 1, 1)));

class QuietSensor : public SensorLibrary
{
public:
    float getTemp(std::int32_t, std::int32_t) override { return 20.0f; }
    float getTempGame(std::int32_t, std::int32_t) override { return 20.0f; }
    QString loadError() const override { return {}; }
};

class QuietDialogs : public UserDialogs
{
public:
    void message(QWidget *, const QString &) override {}
    std::optional<QString> inputText(QWidget *, const QString &, const QString &) override
    {
        return {};
    }
    QString openFileName(QWidget *, const OpenFileRequest &) override { return {}; }
};

// A program folder with a year file, one per sample interval, made once;
// interval 0 is the 512 MiB file out of time order.
const QString &yearFolder(int intervalSeconds)
{
    static QTemporaryDir dir;
    static std::map<int, QString> folders;
    auto [it, added] = folders.try_emplace(intervalSeconds);
    if (added) {
        it->second = dir.filePath(QString::number(intervalSeconds));
        QDir().mkpath(it->second);
        const QString file = it->second + QStringLiteral("/T_%1.dat").arg(kYear);
        if (intervalSeconds == 0 ? !writeAlternatingDays(file, kYear)
                                 : !writeSampleYear(file, kYear, intervalSeconds, 1))
            qFatal("cannot write a year into %s", qPrintable(it->second));
    }
    return it->second;
}

std::unique_ptr<frmKalvik> startedWindow(const QString &folder)
{
    KalvikEnvironment env;
    env.programFolder = folder;
    env.sensor = std::make_unique<QuietSensor>();
    env.dialogs = std::make_unique<QuietDialogs>();
    env.now = [] { return QDateTime(QDate(kYear, 6, 1), QTime(12, 0)); };
    auto window = std::make_unique<frmKalvik>(std::move(env));
    window->Form_Load();
    window->Form_Activate();
    return window;
}

// Windows made on first use and gone before the application object is.
std::map<int, std::unique_ptr<frmKalvik>> windows;

frmKalvik &window(int intervalSeconds)
{
    std::unique_ptr<frmKalvik> &w = windows[intervalSeconds];
    if (!w)
        w = startedWindow(yearFolder(intervalSeconds));
    return *w;
}

DataListBox *tableOf(const frmKalvik &w)
{
    return w.findChild<DataListBox *>(QStringLiteral("List1"));
}

void BM_ViewSwitchAllWithRepaint(benchmark::State &state)
{
    frmKalvik &w = window(int(state.range(0)));
    for (auto _ : state) {
        w.mnuVisaAllt_Click();
        w.repaint();
    }
}

// The table refilled by its own read, then shown with its newest rows painted.
void BM_TableReady(benchmark::State &state)
{
    frmKalvik &w = window(int(state.range(0)));
    for (auto _ : state) {
        w.VisaData(readYearPass(w.dataFileName(), kYearStartDay));
        DataListBox *list = tableOf(w);
        list->show();
        list->repaint();
        list->hide();
    }
}

// The same refill shown in a QListView with uniform item sizes, for comparison:
// it lays out every row at each reset, which the table's own view never does.
void BM_TableReadyInQListView(benchmark::State &state)
{
    frmKalvik &w = window(int(state.range(0)));
    QListView view;
    view.setUniformItemSizes(true);
    view.setModel(w.tableModel());
    view.setGeometry(tableOf(w)->geometry());
    for (auto _ : state) {
        w.VisaData(readYearPass(w.dataFileName(), kYearStartDay));
        view.show();
        view.scrollToBottom();
        view.repaint();
        view.hide();
    }
}

void BM_CrossHairMove(benchmark::State &state)
{
    frmKalvik &w = window(60);
    w.picDiagram_MouseDown(1, 0, 100.0f, 40.0f);
    int step = 0;
    for (auto _ : state) {
        const float x = float(100 + step % 200) * 365.0f / 726.0f;
        w.picDiagram_MouseMove(1, 0, x, 30.0f + float(step % 50) / 4.2f);
        // Let the window repaint what the move marked dirty, as it does on screen.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        ++step;
    }
    w.picDiagram_MouseUp(1, 0, 0.0f, 0.0f);
}

double processCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

long residentKiB()
{
    long pages = 0, resident = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// A reading after the logger has added one record to the shown year, with the
// repaint it causes: the record is read and drawn, the year is not read again.
// first_cpu_ms is the first such reading after a whole redraw; rss_growth_kB
// what all the iterations added to the resident memory.
void BM_ReadingAfterOneNewRecord(benchmark::State &state)
{
    frmKalvik &w = window(int(state.range(0)));
    QFile file(w.dataFileName());
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append))
        qFatal("cannot append to %s", qPrintable(w.dataFileName()));
    DataRecord last;
    if (!file.seek(file.size() - qint64(kRecordSize)) ||
        file.read(reinterpret_cast<char *>(&last), sizeof last) != sizeof last)
        qFatal("no last record");
    int step = 0;
    const auto append = [&] {
        DataRecord r = last;
        r.temp = last.temp + float(step % 40 - 20) * 0.5f; // new extremes now and then
        r.qnh = last.qnh + step % 7 - 3;
        ++step;
        std::vector<std::byte> bytes;
        encodeRecord(r, bytes);
        if (file.write(reinterpret_cast<const char *>(bytes.data()), qint64(bytes.size())) !=
                qint64(kRecordSize) ||
            !file.flush())
            qFatal("cannot append");
    };
    const auto reading = [&] {
        w.Cycle_Timer();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    };
    w.mnuVisaAllt_Click();
    w.repaint();
    append();
    const double before = processCpuMs();
    reading();
    state.counters["first_cpu_ms"] = processCpuMs() - before;
    const long rss = residentKiB();
    for (auto _ : state) {
        state.PauseTiming();
        append();
        state.ResumeTiming();
        reading();
    }
    state.counters["rss_growth_kB"] = double(residentKiB() - rss);
}

// A reading while nothing is added: one look at the file.
void BM_ReadingOfAnUnchangedYear(benchmark::State &state)
{
    frmKalvik &w = window(int(state.range(0)));
    for (auto _ : state) {
        w.Cycle_Timer();
        QCoreApplication::processEvents();
    }
}

// In a child process: the start-up work to its first painted frame, then one
// "Visa Temp o Tryck" with its repaint, printed as milliseconds.
int freshStart(const QString &folder)
{
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<frmKalvik> w = startedWindow(folder);
    w->repaint();
    const double startMs = double(clock.nsecsElapsed()) / 1e6;
    clock.restart();
    w->mnuVisaAllt_Click();
    w->repaint();
    const double visaAlltMs = double(clock.nsecsElapsed()) / 1e6;
    std::printf("%f %f\n", startMs, visaAlltMs);
    return 0;
}

// A fresh process has no memory to reuse and no caches warmed by earlier
// iterations: this is the first redraw as the user meets it.
void BM_FreshProcessStart(benchmark::State &state)
{
    const QString folder = yearFolder(int(state.range(0)));
    const qint64 fileBytes = QFileInfo(folder + QStringLiteral("/T_%1.dat").arg(kYear)).size();
    const QByteArray self = QFile::encodeName(QCoreApplication::applicationFilePath());
    const QByteArray arg = "--fresh-start=" + QFile::encodeName(folder);
    double peakBytes = 0, visaAlltMs = 0;
    for (auto _ : state) {
        int out[2];
        if (pipe(out) != 0)
            qFatal("no pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        char *argv[] = {const_cast<char *>(self.constData()), const_cast<char *>(arg.constData()),
                        nullptr};
        pid_t pid = 0;
        if (posix_spawn(&pid, self.constData(), &actions, nullptr, argv, environ) != 0)
            qFatal("cannot start %s", self.constData());
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        char text[128] = {};
        const ssize_t got = read(out[0], text, sizeof text - 1);
        close(out[0]);
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        double startMs = 0;
        if (got <= 0 || std::sscanf(text, "%lf %lf", &startMs, &visaAlltMs) != 2)
            qFatal("the fresh process gave no figures");
        state.SetIterationTime(startMs / 1e3);
        peakBytes = std::max(peakBytes, double(usage.ru_maxrss) * 1024);
    }
    state.counters["visa_allt_ms"] = visaAlltMs;
    state.counters["peak_rss_MB"] = peakBytes / 1e6;
    state.counters["file_MB"] = double(fileBytes) / 1e6;
    state.counters["rss_per_file"] = fileBytes > 0 ? peakBytes / double(fileBytes) : 0.0;
}

} // namespace

// Argument: seconds between samples (3600 = 8,760 records, 60 = 525,600,
// 1 = 31,536,000 records, 505 MB); 0 is the 512 MiB file out of time order.
BENCHMARK(BM_FreshProcessStart)
    ->Arg(3600)
    ->Arg(60)
    ->Arg(1)
    ->Arg(0)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewSwitchAllWithRepaint)
    ->Arg(3600)
    ->Arg(60)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableReady)->Arg(3600)->Arg(60)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableReadyInQListView)->Arg(3600)->Arg(60)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrossHairMove)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadingAfterOneNewRecord)->Arg(3600)->Arg(60)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadingOfAnUnchangedYear)->Arg(3600)->Arg(60)->Arg(1)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString fresh = QStringLiteral("--fresh-start=");
    if (argc == 2 && QString::fromLocal8Bit(argv[1]).startsWith(fresh))
        return freshStart(QString::fromLocal8Bit(argv[1]).mid(fresh.size()));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    windows.clear();
    return 0;
}

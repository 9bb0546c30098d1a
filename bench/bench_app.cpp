// The window's own work on a year of one-minute samples and an hourly year:
// both loaders into the diagram, the data table, a whole view switch, and one
// cross-hair move with its repaint. Run with QT_QPA_PLATFORM=offscreen.
#include "DiagramCanvas.h"
#include "SampleYear.h"
#include "frmKalvik.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

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

struct Station
{
    explicit Station(int intervalMinutes)
    {
        writeYearFile(dir.filePath(QStringLiteral("T_2026.dat")),
                      sampleYear(2026, intervalMinutes, 1));
        KalvikEnvironment env;
        env.programFolder = dir.path();
        env.sensor = std::make_unique<QuietSensor>();
        env.dialogs = std::make_unique<QuietDialogs>();
        env.now = [] { return QDateTime(QDate(2026, 6, 1), QTime(12, 0)); };
        window = std::make_unique<frmKalvik>(std::move(env));
        window->Form_Load();
        window->Form_Activate();
    }
    QTemporaryDir dir;
    std::unique_ptr<frmKalvik> window;
};

// Made in main() and gone before the application object is.
std::unique_ptr<Station> minuteYear, hourlyYear;

Station &station(int intervalMinutes)
{
    return intervalMinutes == 1 ? *minuteYear : *hourlyYear;
}

void BM_BothLoadersIntoDiagram(benchmark::State &state)
{
    Station &s = station(int(state.range(0)));
    for (auto _ : state) {
        s.window->diagram->clear();
        s.window->GetQNHRecordData();
        s.window->GetRecordData();
    }
}
BENCHMARK(BM_BothLoadersIntoDiagram)->Arg(1)->Arg(60)->Unit(benchmark::kMillisecond);

void BM_VisaData(benchmark::State &state)
{
    Station &s = station(int(state.range(0)));
    for (auto _ : state)
        s.window->VisaData();
}
BENCHMARK(BM_VisaData)->Arg(1)->Arg(60)->Unit(benchmark::kMillisecond);

void BM_ViewSwitchAllWithRepaint(benchmark::State &state)
{
    Station &s = station(int(state.range(0)));
    for (auto _ : state) {
        s.window->mnuVisaAllt_Click();
        s.window->repaint();
    }
}
BENCHMARK(BM_ViewSwitchAllWithRepaint)->Arg(1)->Arg(60)->Unit(benchmark::kMillisecond);

void BM_CrossHairMove(benchmark::State &state)
{
    Station &s = station(1);
    frmKalvik *w = s.window.get();
    w->picDiagram_MouseDown(1, 0, 100.0f, 40.0f);
    int step = 0;
    for (auto _ : state) {
        const float x = float(100 + step % 200) * 365.0f / 726.0f;
        w->picDiagram_MouseMove(1, 0, x, 30.0f + float(step % 50) / 4.2f);
        // Let the window repaint what the move marked dirty, as it does on screen.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        ++step;
    }
    w->picDiagram_MouseUp(1, 0, 0.0f, 0.0f);
}
BENCHMARK(BM_CrossHairMove)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    minuteYear = std::make_unique<Station>(1);
    hourlyYear = std::make_unique<Station>(60);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    minuteYear.reset();
    hourlyYear.reset();
    return 0;
}

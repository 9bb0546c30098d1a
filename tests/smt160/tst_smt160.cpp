// The sensor library: duty cycle on a simulated line, port line and address, deadlines, helper.
#include "BoundedCall.h"
#include "Capabilities.h"
#include "DataColumns.h"
#include "Deadline.h"
#include "DutyCycleMeter.h"
#include "HelperClient.h"
#include "LineSelect.h"
#include "ParportMap.h"
#include "PortAllowList.h"
#include "PortSampleSource.h"
#include "RawPortHelper.h"
#include "SMT160.h"
#include "SimulatedSmt160.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace smt160;
using enum MeterOutcome;

namespace {

constexpr auto dutyCycleAt = [](double celsius) { return 0.320 + 0.00470 * celsius; };

// Frequencies are no whole number of reads per period, or nothing would average.
constexpr SimulatedSignal kConditions[] = {
    {.frequencyHz = 3900.0, .readNs = 700, .readJitterNs = 900},
    {.frequencyHz = 1700.0, .readJitterNs = 400, .shortPauses = {1'300'000, 40'000, 40'000}},
    // Pauses that swallow edges, or a whole pulse, must not bias the mean.
    {.frequencyHz = 2050.0, .readJitterNs = 200, .shortPauses = {2'100'000, 300'000, 300'000}},
    {.frequencyHz = 3950.0, .readJitterNs = 200, .shortPauses = {300'000, 45'000, 50'000}},
};

// A loaded machine (9 on 2 cores) may run a thread a second or more past its deadline; every
// bound below still lies well under a call that waited for a hung helper or a held port.
constexpr qint64 kLoadSlackMs = 2000;
constexpr qint64 kCallLimitMs = kCallLimitNs / 1'000'000;

class RecordingSystem : public HelperSystem
{
public:
    bool allow = true;
    bool dropWorks = true;
    std::uint8_t level = 0x00; // of every read of the port
    std::string log;
    std::int64_t now = 0;

    std::optional<std::string> refusal(int address) override
    {
        log += "check " + std::to_string(address) + ", ";
        return allow ? std::nullopt : std::optional<std::string>("nekad");
    }
    OpenedPort openPort(int address) override
    {
        log += "open " + std::to_string(address) + ", ";
        return {.port = std::make_unique<Register>(*this), .reason = {}};
    }
    std::string dropCapabilities() override
    {
        log += "drop, ";
        return dropWorks ? std::string() : std::string("kvar");
    }
    std::int64_t nowNs() override { return now += 1000; }

private:
    struct Register : PortRegister
    {
        explicit Register(RecordingSystem &s) : system(s) {}
        std::optional<std::uint8_t> read() override
        {
            if (!system.log.ends_with("read, "))
                system.log += "read, ";
            return system.level;
        }
        RecordingSystem &system;
    };
};

} // namespace

class TestSmt160 : public QObject
{
    Q_OBJECT

    // celsius: of a valid outcome
    static constexpr DataTable<SimulatedSignal, MeterOutcome, double> kMeasures{"signal", "outcome",
                                                                                "celsius"};
    // level -1: the argument selects nothing
    static constexpr DataTable<int, int, int> kLines{"argument", "reg", "level"};
    // index -1: no port
    static constexpr DataTable<int, int> kParports{"address", "index"};
    // reason: a part of it; empty: any, or none for a reading
    static constexpr DataTable<bool, int, int, QString> kCalls{"game", "address", "line", "reason"};
    // celsius NaN: no reading
    static constexpr DataTable<QByteArray, int, float, QString> kHelpers{"script", "mode",
                                                                         "celsius", "reason"};

    // parportBase: of parport0; empty: none
    static constexpr DataTable<int, QString, QString, bool> kAddresses{"address", "parportBase",
                                                                       "ioports", "allowed"};
    // text: a part of the helper's one line
    static constexpr DataTable<QStringList, bool, bool, int, int, QString, QString> kRuns{
        "args", "allow", "dropWorks", "level", "status", "log", "text"};

private slots:
    void measures_data()
    {
        kMeasures.addColumns();

        unsigned seed = 1;
        for (const double t : {-40.0, -0.3, 21.3, 125.0})
            for (SimulatedSignal signal : kConditions) {
                signal.dutyCycle = dutyCycleAt(t);
                signal.seed = seed++;
                QTest::addRow("%+.1f C at %.0f Hz", t, signal.frequencyHz) << signal << Valid << t;
            }
        const auto fails = [](const char *name, SimulatedSignal signal, MeterOutcome outcome) {
            QTest::newRow(name) << signal << outcome << 0.0;
        };
        fails("stuck high", {.dutyCycle = 1.0}, NoEdgeHigh);
        fails("stuck low", {.dutyCycle = 0.0}, NoEdgeLow);
        // What this machine class does to a polling loop, on a line read with jitter: a
        // pause of 10 to 50 us about every millisecond, and now and then one of a few ms.
        const Pauses everyMs{.everyNs = 1'000'000, .minNs = 10'000, .maxNs = 50'000};
        const Pauses rare{.everyNs = 50'000'000, .minNs = 2'000'000, .maxNs = 5'000'000};
        const auto machine = [&](double duty, double hz, const Pauses &longPauses, unsigned seed) {
            return SimulatedSignal{.dutyCycle = duty,
                                   .frequencyHz = hz,
                                   .readJitterNs = 500,
                                   .shortPauses = everyMs,
                                   .longPauses = longPauses,
                                   .seed = seed};
        };
        // "No signal" is decided quickly whatever the pauses reset, also with long ones before it.
        const Pauses often{.everyNs = 8'000'000, .minNs = 2'000'000, .maxNs = 5'000'000};
        for (unsigned seed = 1; seed <= 20; ++seed)
            for (const Pauses &longPauses : {rare, often})
                for (const bool high : {true, false})
                    QTest::addRow("stuck %s, pauses every %d ms, seed %u", high ? "high" : "low",
                                  int(longPauses.everyNs / 1'000'000), seed)
                        << machine(high, 2000.0, longPauses, seed)
                        << (high ? NoEdgeHigh : NoEdgeLow) << 0.0;
        // Readings through those pauses, at 1 to 4 kHz.
        for (unsigned run = 0; run < 100; ++run) {
            const double t = std::array{-44.0, -12.7, 0.0, 21.3, 58.6, 129.0}[run % 20 % 6];
            const double hz = 1000.0 * std::array{1.0, 1.5, 2.0, 3.0, 4.0}[run / 20];
            QTest::addRow("%+.1f C at %.0f Hz, run %u with pauses", t, hz, run % 20)
                << machine(dutyCycleAt(t), hz * (1.0 + 0.0037 * (run % 20)), rare, 100 + run % 20)
                << Valid << t;
        }
        // Every third period 25 % longer than the others (the median) is still
        // averaged in; a little more is left out. Reads 1 us apart time them exactly.
        QTest::newRow("periods 25 % long, at the tolerance")
            << SimulatedSignal{.longEvery = 3, .longPeriod = 1.25} << Valid
            << (1.5 / 3.25 - 0.320) / 0.00470;
        QTest::newRow("periods 25.2 % long, beyond it")
            << SimulatedSignal{.longEvery = 3, .longPeriod = 1.252} << Valid
            << (0.5 - 0.320) / 0.00470;
        fails("300 Hz", {.frequencyHz = 300.0}, FrequencyOutOfRange);
        fails("10 kHz", {.frequencyHz = 10'000.0}, FrequencyOutOfRange);
        fails("duty 0.05", {.dutyCycle = 0.05}, DutyCycleOutOfRange);
        fails("duty 0.96", {.dutyCycle = 0.96}, DutyCycleOutOfRange);
        fails("long pause in every period", {.shortPauses = {400'000, 150'000, 150'000}},
              TooFewPeriods);
        fails("read fails", {.failAfterNs = 5'000'000}, ReadFailed);
    }

    void measures()
    {
        const auto [signal, outcome, celsius] = kMeasures.row();
        const MeterSettings settings;
        SimulatedSmt160 sensor(signal);

        const Measurement m = DutyCycleMeter(settings).measure(sensor);
        const Reading reading = readingFrom(m);

        QCOMPARE(m.outcome, outcome);
        QCOMPARE(reading.reason.empty(), m.valid());
        // A line without edges is given up within the edge timeout, not the window.
        const bool noEdge = outcome == NoEdgeHigh || outcome == NoEdgeLow;
        const std::int64_t limit = noEdge ? 2 * settings.edgeTimeoutNs : settings.windowNs;
        const std::int64_t slack = 2 * (signal.readNs + signal.readJitterNs +
                                        signal.shortPauses.maxNs + signal.longPauses.maxNs);
        QVERIFY(sensor.elapsedNs() <= limit + slack);
        QCOMPARE(std::isnan(reading.celsius), !m.valid());
        QVERIFY2(!m.valid() || std::abs(reading.celsius - celsius) < 0.1,
                 qPrintable(QString::number(reading.celsius)));
        QVERIFY(!m.valid() || sensor.elapsedNs() >= limit); // whole periods over the full window
    }

    void selectsLine_data()
    {
        kLines.addColumns();

        QTest::newRow("pin 11, BUSY bit clear: high") << 11 << 0x7f << 1;
        QTest::newRow("pin 11, BUSY bit set: low") << 11 << 0x80 << 0;
        QTest::newRow("mask 16, its bit set") << 16 << 0x10 << 1;
        QTest::newRow("mask 16, other bits set") << 16 << 0xef << 0;
        QTest::newRow("mask 0x30, one of its bits") << 0x30 << 0x20 << 1;
        QTest::newRow("mask 0x80 is not inverted") << 0x80 << 0x80 << 1;
        QTest::newRow("zero") << 0 << 0xff << -1;
        QTest::newRow("above a byte") << 256 << 0xff << -1;
    }

    void selectsLine()
    {
        const auto [argument, reg, level] = kLines.row();
        const std::optional<LineSelect> line = lineFromArgument(argument);
        QCOMPARE(line.has_value(), level >= 0);
        if (line)
            QCOMPARE(line->levelOf(std::uint8_t(reg)), level == 1);
    }

    void mapsAddressToParport_data()
    {
        kParports.addColumns();

        QTest::newRow("status register 889") << 889 << 0;
        QTest::newRow("base 888") << 888 << 0;
        QTest::newRow("PCIe card 0xD011") << 0xd011 << 1;
        QTest::newRow("status match wins over base match") << 1001 << 3;
        QTest::newRow("no port at 0x3BD") << 0x3bd << -1;
        QTest::newRow("513: parportX is no port") << 513 << -1;
    }

    void mapsAddressToParport()
    {
        const auto [address, index] = kParports.row();
        QTemporaryDir proc;
        const std::filesystem::path root = proc.path().toStdString();
        const char *const ports[][2] = {
            {"parport0", "888\t1912\n"}, {"parport1", "53264\t0\n"}, {"parport3", "1000\t0\n"},
            {"parport4", "1001\t0\n"},   {"parport5", ""},           {"parportX", "512\t0\n"}};
        for (const auto &[name, base] : ports) {
            std::filesystem::create_directory(root / name);
            std::ofstream(root / name / "base-addr") << base;
        }

        const std::optional<ParportMatch> match = findParport(root, address);

        QCOMPARE(match ? match->index : -1, index);
    }

    void exportedFunctionsAnswerQuickly_data()
    {
        kCalls.addColumns();

        QTest::newRow("GetTemp 889, 11") << false << 889 << 11 << "";
        QTest::newRow("GetTempGame 513, 16") << true << 513 << 16 << "";
        QTest::newRow("GetTemp address 65536") << false << 65536 << 11 << "Ogiltig portadress";
        QTest::newRow("GetTempGame line 0") << true << 513 << 0 << "Ogiltigt andra argument";
    }

    void exportedFunctionsAnswerQuickly()
    {
        const auto [game, address, line, reason] = kCalls.row();
        QElapsedTimer timer;
        timer.start();

        const float celsius = game ? GetTempGame(address, line) : GetTemp(address, line);

        QVERIFY(timer.elapsed() < kCallLimitMs + kLoadSlackMs);
        const QString why = QString::fromUtf8(SMT160_LastError());
        // No port here means NaN with a reason; a machine with a sensor answers without one.
        QCOMPARE(why.isEmpty(), !std::isnan(celsius));
        QVERIFY2(why.contains(reason), qPrintable(why));
    }

    void helperAnswers_data()
    {
        kHelpers.addColumns();

        const auto row = [](const char *name, const char *script, int mode, float celsius,
                            const char *reason) {
            QTest::newRow(name) << QByteArray(script) << mode << celsius << reason;
        };
        const float none = std::nanf("");
        const char *unexpected = "svarade inte som väntat";
        row("reading", "echo 21.345", 0755, 21.345f, "");
        row("reason", "echo 'Ingen signal'; exit 1", 0755, none, "Ingen signal");
        row("garbage", "echo 21,3x", 0755, none, unexpected);
        row("not finite", "echo inf", 0755, none, unexpected);
        row("killed", "kill -9 $$", 0755, none, "avbröts");
        row("hangs", "exec /bin/sleep 10", 0755, none, "i tid");
        row("hangs after closing its output", "exec >&- 2>&-; /bin/sleep 10", 0755, none, "i tid");
        row("group may replace it", "echo 21.3", 0775, none, "skrivbar för andra");
        row("environment is empty", "test -z \"$HOME$LD_PRELOAD\" && echo 1.5", 0755, 1.5f, "");
    }

    // Whatever the helper does, the call returns in time and says why.
    void helperAnswers()
    {
        const auto [script, mode, celsius, reason] = kHelpers.row();
        QTemporaryDir dir;
        const QString path = dir.filePath("smt160-rawport");
        std::ofstream(path.toStdString()) << "#!/bin/sh\n" << script.constData() << '\n';
        QVERIFY(::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0);
        // Answering, it gets the time a loaded machine needs to start it; hanging, the deadline.
        const bool hangs = reason == QLatin1String("i tid");
        const std::int64_t allowedNs = hangs ? kBackendDeadlineNs : 30'000'000'000;
        QElapsedTimer timer;
        timer.start();

        const Reading reading =
            readThroughHelper(path.toStdString(), 513, 16, monotonicNowNs() + allowedNs);

        QVERIFY(!hangs || timer.elapsed() < kCallLimitMs + kLoadSlackMs);
        QVERIFY2(QString::fromStdString(reading.reason).contains(reason), reading.reason.c_str());
        QCOMPARE(reading.reason.empty(), !std::isnan(celsius));
        QCOMPARE(reading.celsius, celsius); // NaN matches NaN
    }

    // A sleeping port reservation (the port held elsewhere) delays neither this call nor the next.
    void heldPortIsSkippedAtTheDeadline()
    {
        std::atomic<bool> released = false;
        const auto held = [&released] {
            while (!released)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        };
        const auto idle = [] {};
        QElapsedTimer timer;
        timer.start();

        QVERIFY(!runBounded("port", held, monotonicNowNs() + 50'000'000));
        QVERIFY(!runBounded("port", idle, monotonicNowNs() + 10'000'000'000));
        const qint64 waited = timer.elapsed();
        released = true;
        QTRY_VERIFY_WITH_TIMEOUT(runBounded("port", idle, monotonicNowNs() + 1'000'000'000), 20000);

        // Not the second call's 10 s: it does not wait while the port is held.
        QVERIFY2(waited >= 50 && waited < 50 + kLoadSlackMs, qPrintable(QString::number(waited)));
    }

    void refusesAddressesOutsideTheRanges_data()
    {
        kAddresses.addColumns();

        const QString none, listed = "888\t1912";
        const QString serial = "0000-0cf7 : PCI Bus 0000:00\n  03f8-03ff : serial\n";
        QTest::newRow("game port 0x201") << 0x201 << none << serial << true;
        QTest::newRow("game range end 0x20F") << 0x20F << none << serial << true;
        QTest::newRow("past the game range") << 0x210 << none << serial << false;
        QTest::newRow("classic 0x379, nothing listed") << 0x379 << none << serial << true;
        QTest::newRow("classic 0x3BD, nothing listed") << 0x3BD << none << serial << true;
        QTest::newRow("serial port 0x3F8") << 0x3F8 << none << serial << false;
        QTest::newRow("listed port's status") << 0x379 << listed << none << true;
        QTest::newRow("listed port's control") << 0x37A << listed << none << true;
        QTest::newRow("past the listed port") << 0x37B << listed << none << false;
        QTest::newRow("classic 0x279 once a port is listed") << 0x279 << listed << none << false;
        QTest::newRow("PCIe card 0xD011") << 0xD011 << "53264\t0" << none << true;
        QTest::newRow("gameport driver's range") << 0xE801 << none << "  e800-e807 : gameport\n"
                                                 << true;
        QTest::newRow("ranges hidden from users count as none")
            << 0x379 << none << "  0000-0000 : parport0\n"
            << true;
    }

    void refusesAddressesOutsideTheRanges()
    {
        const auto [address, parportBase, ioports, allowed] = kAddresses.row();
        QTemporaryDir root;
        const std::filesystem::path dir = root.path().toStdString();
        PortPaths paths{.parportProc = dir / "parport", .ioports = dir / "ioports"};
        std::filesystem::create_directories(dir / "parport" / "parport0");
        if (!parportBase.isEmpty())
            std::ofstream(dir / "parport" / "parport0" / "base-addr") << parportBase.toStdString();
        std::ofstream(paths.ioports) << ioports.toStdString();

        const std::optional<std::string> refusal = refusedAddress(address, paths);

        QVERIFY2(refusal.has_value() != allowed, refusal ? refusal->c_str() : "allowed");
    }

    void dropsCapabilitiesBeforeMeasuring_data()
    {
        kRuns.addColumns();

        const auto row = [](const char *name, const QStringList &args, bool allow, bool dropWorks,
                            int level, const char *log, const char *text) {
            QTest::newRow(name) << args << allow << dropWorks << level << int(kHelperNoReading)
                                << log << text;
        };
        const QStringList game{"513", "16"};
        const char *measured = "check 513, open 513, drop, read, ";
        row("stuck line", game, true, true, 0x00, measured, "linjen ligger låg");
        row("no port: all ones", game, true, true, 0xff, measured, "0xFF");
        row("refused address is never opened", {"1016", "11"}, false, true, 0, "check 1016, ",
            "nekad");
        row("no reading while a capability is held", {"889", "11"}, true, false, 0,
            "check 889, open 889, drop, ", "kvar");
        for (const QStringList &args : {QStringList{"0x201", "16"}, QStringList{"65536", "16"},
                                        QStringList{"513", "0"}, QStringList{"513", "16", "x"}})
            QTest::addRow("usage: %s", qPrintable(args.join(' ')))
                << args << true << true << 0 << int(kHelperUsage) << QString()
                << "\nSe smt160-rawport --help.";
    }

    void dropsCapabilitiesBeforeMeasuring()
    {
        const auto [args, allow, dropWorks, level, status, log, text] = kRuns.row();
        RecordingSystem system;
        system.allow = allow;
        system.dropWorks = dropWorks;
        system.level = std::uint8_t(level);
        std::vector<std::string> words;
        for (const QString &a : args)
            words.push_back(a.toStdString());
        const std::vector<std::string_view> views(words.begin(), words.end());

        const HelperOutcome outcome = runRawPortHelper(views, system);

        QCOMPARE(outcome.status, status);
        QCOMPARE(QString::fromStdString(system.log), log);
        QVERIFY2(QString::fromStdString(outcome.text).contains(text), outcome.text.c_str());
        // One line; a wrong call a second, where the help is, as every tool says it.
        QVERIFY(outcome.text.ends_with('\n') &&
                std::ranges::count(outcome.text, '\n') == (status == kHelperUsage ? 2 : 1));
        // A line without edges is given up within the edge timeout.
        QVERIFY(system.now <= MeterSettings().edgeTimeoutNs + 2000);
    }

    void droppedCapabilitiesAreGone()
    {
        // In a child of its own: the test process keeps what it has.
        const pid_t pid = ::fork();
        QVERIFY(pid >= 0);
        if (pid == 0) {
            const bool dropped = dropAllCapabilities().empty() && !holdsAnyCapability();
            std::ifstream status("/proc/self/status");
            int zeroSets = 0;
            for (std::string line; std::getline(status, line);)
                for (const char *set : {"CapInh:", "CapPrm:", "CapEff:", "CapAmb:"})
                    zeroSets += line.starts_with(set) && line.ends_with("0000000000000000");
            ::_exit(dropped && zeroSets == 4 ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(::waitpid(pid, &status, 0), pid);
        QCOMPARE(status, 0); // exited with 0
    }
};

QTEST_GUILESS_MAIN(TestSmt160)
#include "tst_smt160.moc"

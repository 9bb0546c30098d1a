#include "Capabilities.h"
#include "DataColumns.h"
#include "PortAllowList.h"
#include "RawPortHelper.h"

#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace smt160;

namespace {

// Records what the helper asks of the system, in order.
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

class TestRawPort : public QObject
{
    Q_OBJECT

    // parportBase: of parport0; empty: none
    static constexpr DataTable<int, QString, QString, bool> kAddresses{"address", "parportBase",
                                                                       "ioports", "allowed"};
    // text: a part of the helper's one line
    static constexpr DataTable<QStringList, bool, bool, int, int, QString, QString> kRuns{
        "args", "allow", "dropWorks", "level", "status", "log", "text"};

private slots:
    void refusesAddressesOutsideTheRanges_data()
    {
        kAddresses.addColumns();

        const QString none;
        const QString serial = "0000-0cf7 : PCI Bus 0000:00\n  03f8-03ff : serial\n";
        QTest::newRow("game port 0x201") << 0x201 << none << serial << true;
        QTest::newRow("game range end 0x20F") << 0x20F << none << serial << true;
        QTest::newRow("past the game range") << 0x210 << none << serial << false;
        QTest::newRow("classic 0x379, nothing listed") << 0x379 << none << serial << true;
        QTest::newRow("classic 0x3BD, nothing listed") << 0x3BD << none << serial << true;
        QTest::newRow("serial port 0x3F8") << 0x3F8 << none << serial << false;
        QTest::newRow("listed port's status") << 0x379 << "888\t1912" << none << true;
        QTest::newRow("listed port's control") << 0x37A << "888\t1912" << none << true;
        QTest::newRow("past the listed port") << 0x37B << "888\t1912" << none << false;
        QTest::newRow("classic 0x279 once a port is listed")
            << 0x279 << "888\t1912" << none << false;
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
        // A hexadecimal or too high address, line 0, an extra argument.
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
            for (std::string line; std::getline(status, line);) {
                for (const char *set : {"CapInh:", "CapPrm:", "CapEff:", "CapAmb:"})
                    zeroSets += line.starts_with(set) && line.ends_with("0000000000000000");
            }
            ::_exit(dropped && zeroSets == 4 ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(::waitpid(pid, &status, 0), pid);
        QCOMPARE(status, 0); // exited with 0
    }
};

QTEST_GUILESS_MAIN(TestRawPort)
#include "tst_rawport.moc"

#include "BoundedCall.h"
#include "Deadline.h"
#include "HelperClient.h"
#include "LineSelect.h"
#include "ParportMap.h"
#include "PortSampleSource.h"
#include "SMT160.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <thread>

using namespace smt160;

namespace {
// A machine under load (9 on 2 cores) may not run a thread for a second or more
// after its deadline has passed. Every bound below still lies well under what a
// call that waited for a hung helper or a held port would take.
constexpr qint64 kLoadSlackMs = 2000;
constexpr qint64 kCallLimitMs = kCallLimitNs / 1'000'000;
} // namespace

class TestSmt160Ports : public QObject
{
    Q_OBJECT

private slots:
    void selectsLine_data()
    {
        QTest::addColumn<int>("argument");
        QTest::addColumn<int>("reg");
        QTest::addColumn<int>("level"); // -1: the argument selects nothing

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
        QFETCH(int, argument);
        QFETCH(int, reg);
        QFETCH(int, level);
        const std::optional<LineSelect> line = lineFromArgument(argument);
        QCOMPARE(line.has_value(), level >= 0);
        if (line)
            QCOMPARE(line->levelOf(std::uint8_t(reg)), level == 1);
    }

    void mapsAddressToParport_data()
    {
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("index"); // -1: no port

        QTest::newRow("status register 889") << 889 << 0;
        QTest::newRow("base 888") << 888 << 0;
        QTest::newRow("PCIe card 0xD011") << 0xd011 << 1;
        QTest::newRow("status match wins over base match") << 1001 << 3;
        QTest::newRow("no port at 0x3BD") << 0x3bd << -1;
        QTest::newRow("513: parportX is no port") << 513 << -1;
    }

    void mapsAddressToParport()
    {
        QFETCH(int, address);
        QFETCH(int, index);
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
        QTest::addColumn<bool>("game");
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("reason"); // a part of it; empty: any, or none for a reading

        QTest::newRow("GetTemp 889, 11") << false << 889 << 11 << "";
        QTest::newRow("GetTempGame 513, 16") << true << 513 << 16 << "";
        QTest::newRow("GetTemp address 65536") << false << 65536 << 11 << "Ogiltig portadress";
        QTest::newRow("GetTempGame line 0") << true << 513 << 0 << "Ogiltigt andra argument";
    }

    void exportedFunctionsAnswerQuickly()
    {
        QFETCH(bool, game);
        QFETCH(int, address);
        QFETCH(int, line);
        QFETCH(QString, reason);
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
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<int>("mode");
        QTest::addColumn<float>("celsius"); // NaN: no reading
        QTest::addColumn<QString>("reason");

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
        QFETCH(QByteArray, script);
        QFETCH(int, mode);
        QFETCH(float, celsius);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath("smt160-rawport");
        std::ofstream(path.toStdString()) << "#!/bin/sh\n" << script.constData() << '\n';
        QVERIFY(::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0);
        // A helper that answers gets all the time a loaded machine may need to
        // start it; one that hangs gets the call's own deadline.
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

    // A port reservation that sleeps (another program holds the port) delays
    // neither this call nor the next.
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
};

QTEST_GUILESS_MAIN(TestSmt160Ports)
#include "tst_smt160ports.moc"

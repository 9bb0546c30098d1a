#include "DutyCycleMeter.h"
#include "LineSelect.h"
#include "ParportMap.h"
#include "PortSampleSource.h"
#include "SMT160.h"
#include "SensorReader.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <filesystem>
#include <fstream>

using namespace smt160;

class TestSmt160Ports : public QObject
{
    Q_OBJECT

private slots:
    void selectsLine_data();
    void selectsLine();
    void allOnesPortHasNoSignal();
    void mapsAddressToParport_data();
    void mapsAddressToParport();
    void exportedFunctionsAnswerQuickly_data();
    void exportedFunctionsAnswerQuickly();
};

void TestSmt160Ports::selectsLine_data()
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

void TestSmt160Ports::selectsLine()
{
    QFETCH(int, argument);
    QFETCH(int, reg);
    QFETCH(int, level);
    const std::optional<LineSelect> line = lineFromArgument(argument);
    QCOMPARE(line.has_value(), level >= 0);
    if (line)
        QCOMPARE(line->levelOf(std::uint8_t(reg)), level == 1);
}

void TestSmt160Ports::allOnesPortHasNoSignal()
{
    struct AllOnes : PortRegister
    {
        std::optional<std::uint8_t> read() override { return 0xff; }
    } reg;
    std::int64_t now = 0;
    PortSampleSource source(reg, *lineFromArgument(kBusyPinArgument), [&] { return now += 1000; });

    const Reading reading = readingFrom(DutyCycleMeter().measure(source), source.allOnes());

    QVERIFY2(reading.reason.find("0xFF") != std::string::npos, reading.reason.c_str());
    QVERIFY(now <= MeterSettings().edgeTimeoutNs + 2000);
}

void TestSmt160Ports::mapsAddressToParport_data()
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

void TestSmt160Ports::mapsAddressToParport()
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

void TestSmt160Ports::exportedFunctionsAnswerQuickly_data()
{
    QTest::addColumn<bool>("game");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason"); // a part of it; empty: any, or none for a reading

    QTest::newRow("GetTemp 889, 11") << false << 889 << 11 << "";
    QTest::newRow("GetTempGame 513, 16") << true << 513 << 16 << "";
    QTest::newRow("GetTemp address 0") << false << 0 << 11 << "Ogiltig portadress";
    QTest::newRow("GetTempGame line 0") << true << 513 << 0 << "Ogiltigt andra argument";
}

void TestSmt160Ports::exportedFunctionsAnswerQuickly()
{
    QFETCH(bool, game);
    QFETCH(int, address);
    QFETCH(int, line);
    QFETCH(QString, reason);
    QElapsedTimer timer;
    timer.start();

    const float celsius = game ? GetTempGame(address, line) : GetTemp(address, line);

    QVERIFY(timer.elapsed() < MeterSettings().windowNs / 1'000'000 + 100);
    const QString why = QString::fromUtf8(SMT160_LastError());
    // No port here means NaN with a reason; a machine with a sensor answers without one.
    QCOMPARE(why.isEmpty(), !std::isnan(celsius));
    QVERIFY2(why.contains(reason), qPrintable(why));
}

QTEST_GUILESS_MAIN(TestSmt160Ports)
#include "tst_smt160ports.moc"

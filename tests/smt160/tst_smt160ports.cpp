#include "DutyCycleMeter.h"
#include "LineSelect.h"
#include "ParportMap.h"
#include "PortSampleSource.h"
#include "PpdevPort.h"
#include "RawPort.h"
#include "SMT160.h"
#include "SensorReader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLibrary>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace smt160;

namespace {

class AllOnesRegister : public PortRegister
{
public:
    std::optional<std::uint8_t> read() override { return 0xff; }
};

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

} // namespace

class TestSmt160Ports : public QObject
{
    Q_OBJECT

private slots:
    void selectsLine_data();
    void selectsLine();
    void allOnesPortHasNoSignal();
    void mapsAddressToParport_data();
    void mapsAddressToParport();
    void namesFailedPpdevAndRawAccess();
    void exportedFunctionsAnswerQuickly_data();
    void exportedFunctionsAnswerQuickly();
};

void TestSmt160Ports::selectsLine_data()
{
    QTest::addColumn<int>("argument");
    QTest::addColumn<int>("reg");
    QTest::addColumn<int>("level"); // -1: the argument selects nothing

    QTest::newRow("pin 11, BUSY bit clear: pin high") << 11 << 0x7f << 1;
    QTest::newRow("pin 11, BUSY bit set: pin low") << 11 << 0x80 << 0;
    QTest::newRow("mask 16, A1 bit set") << 16 << 0x10 << 1;
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
    AllOnesRegister reg;
    std::int64_t now = 0;
    PortSampleSource source(reg, *lineFromArgument(kBusyPinArgument), [&] { return now += 1000; });
    const MeterSettings settings;

    const Reading reading = readingFrom(DutyCycleMeter(settings).measure(source), source.allOnes());

    QVERIFY(std::isnan(reading.celsius));
    QVERIFY2(reading.reason.find("0xFF") != std::string::npos, reading.reason.c_str());
    QVERIFY(now <= settings.edgeTimeoutNs + 2000);
}

void TestSmt160Ports::mapsAddressToParport_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("index"); // -1: no port
    QTest::addColumn<int>("statusAddress");

    QTest::newRow("status register 889") << 889 << 0 << 889;
    QTest::newRow("base 888") << 888 << 0 << 889;
    QTest::newRow("second port at 0x278") << 0x279 << 2 << 0x279;
    QTest::newRow("PCIe card 0xD011") << 0xd011 << 1 << 0xd011;
    QTest::newRow("status match wins over base match") << 1001 << 3 << 1001;
    QTest::newRow("no port at 0x3BD") << 0x3bd << -1 << 0;
    QTest::newRow("game port") << 513 << -1 << 0;
}

void TestSmt160Ports::mapsAddressToParport()
{
    QFETCH(int, address);
    QFETCH(int, index);
    QFETCH(int, statusAddress);
    QTemporaryDir proc;
    QVERIFY(proc.isValid());
    const std::pair<const char *, const char *> files[] = {
        {"parport0/base-addr", "888\t1912\n"},  {"parport1/base-addr", "53264\t53256\n"},
        {"parport2/base-addr", "632\t1656\n"},  {"parport3/base-addr", "1000\t1024\n"},
        {"parport4/base-addr", "1001\t1025\n"}, {"parport5/base-addr", ""},
        {"parportX/base-addr", "512\t0\n"},     {"default/spintime", "500\n"}};
    for (const auto &[name, content] : files)
        writeFile(proc.filePath(name), content);

    const std::optional<ParportMatch> match = findParport(proc.path().toStdString(), address);

    QCOMPARE(match.has_value(), index >= 0);
    if (match) {
        QCOMPARE(match->index, index);
        QCOMPARE(match->statusAddress(), statusAddress);
    }
}

void TestSmt160Ports::namesFailedPpdevAndRawAccess()
{
    QTemporaryDir root;
    QVERIFY(root.isValid());
    writeFile(root.filePath("proc/parport1/base-addr"), "888\t1912\n");
    writeFile(root.filePath("dev/parport1"), ""); // a file, not a device
    const PortPaths paths{.parportProc = root.filePath("proc").toStdString(),
                          .dev = root.filePath("dev").toStdString(),
                          .lockdown = root.filePath("lockdown").toStdString()};
    const std::string device = paths.dev + "/parport1";

    QVERIFY(PpdevPort::open(device).reason.find("ingen parallellport") != std::string::npos);
    QVERIFY(PpdevPort::open(paths.dev + "/parport0").reason.find("ppdev") != std::string::npos);

    const Reading reading = readSensor(PortKind::Parallel, 889, 11, paths);

    QVERIFY(std::isnan(reading.celsius));
    // Where direct access is refused, the reason tells both stories.
    const OpenedPort raw = RawPort::open(889, paths.lockdown);
    if (!raw.port) {
        QVERIFY2(reading.reason.find(device) != std::string::npos, reading.reason.c_str());
        QVERIFY(reading.reason.ends_with(raw.reason));
    }
}

void TestSmt160Ports::exportedFunctionsAnswerQuickly_data()
{
    QTest::addColumn<bool>("game");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason"); // a part of it; empty: any, or none for a reading

    QTest::newRow("GetTemp 889, 11") << false << 889 << 11 << "";
    QTest::newRow("GetTemp 0xD011, 11") << false << 0xd011 << 11 << "";
    QTest::newRow("GetTemp game port 513, 16") << false << 513 << 16 << "";
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
    QLibrary lib(QStringLiteral(SMT160_LIBRARY_PATH));
    const auto read =
        reinterpret_cast<decltype(&GetTemp)>(lib.resolve(game ? "GetTempGame" : "GetTemp"));
    const auto lastError =
        reinterpret_cast<decltype(&SMT160_LastError)>(lib.resolve("SMT160_LastError"));
    QVERIFY2(read && lastError, qPrintable(lib.errorString()));
    QElapsedTimer timer;
    timer.start();

    const float celsius = read(address, line);

    QVERIFY(timer.elapsed() < MeterSettings().windowNs / 1'000'000 + 100);
    const QString why = QString::fromUtf8(lastError());
    // No port here means NaN with a reason; a machine with a sensor answers without one.
    QCOMPARE(why.isEmpty(), !std::isnan(celsius));
    if (!reason.isEmpty())
        QVERIFY2(why.contains(reason), qPrintable(why));
}

QTEST_GUILESS_MAIN(TestSmt160Ports)
#include "tst_smt160ports.moc"

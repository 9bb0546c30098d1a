#include "Curves.h"
#include "DataColumns.h"
#include "SampleYear.h"
#include "ShellSort.h"
#include "YearFile.h"
#include "YearFileAppend.h"
#include "YearName.h"
#include "YearPass.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <functional>
#include <future>
#include <limits>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using Floats = std::vector<float>;
using Records = std::vector<DataRecord>;

namespace {

constexpr std::int32_t s = 37987; // 2004-01-01
using F = std::numeric_limits<float>;
using I = std::numeric_limits<std::int32_t>;
constexpr float NaN = F::quiet_NaN(), Inf = F::infinity();

// Records on day x after start: temperatures at QNH 1013, then pressures at 5.0 C.
Records on(std::int32_t x, const std::vector<float> &temps,
           const std::vector<std::int32_t> &qnhs = {}, std::int32_t start = s)
{
    Records out;
    for (float t : temps)
        out.push_back({start + x, 0.5f, 1013, t});
    for (std::int32_t p : qnhs)
        out.push_back({start + x, 0.5f, p, 5.0f});
    return out;
}
Records operator+(Records a, const Records &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
Records operator*(int n, const Records &r)
{
    return n > 0 ? (n - 1) * r + r : Records();
}

// "(x1,y1)-(x2,y2)#rgb ... | last day's values [| series]"
template <typename... Lists>
QString text(const std::vector<Segment> &segments, const Lists &...lists)
{
    QStringList out;
    for (const Segment &g : segments)
        out << QString::asprintf("(%g,%g)-(%g,%g)#%06x", g.x1, g.y1, g.x2, g.y2, g.rgb);
    const auto append = [&](const auto &values) {
        out << "|";
        for (auto v : values)
            out << QString::number(v);
    };
    (append(lists), ...);
    return out.join(' ');
}

} // namespace

// The year file's reader, its name, the sort, the curves and the sample years.
class TestYearData : public QObject
{
    Q_OBJECT

    // yearStartDay: -1 for no year
    static constexpr DataTable<QString, QString, int> kNames{"name", "tail", "yearStartDay"};
    // name: in a fresh folder ("fifo" makes one); records: written first (-1: no file); trailing:
    // bytes after them; why: the message's reason after the file's name (empty: read)
    static constexpr DataTable<QString, int, qint64, QString> kReadsYearFile{"name", "records",
                                                                             "trailing", "why"};
    // byLogger: appended to, as the logger does; else read
    static constexpr DataTable<int, int, bool, bool> kGroup{"folderMode", "mask", "byLogger",
                                                            "groupWrites"};
    // curve: a pressure curve's text has its series too
    static constexpr DataTable<Records, QString> kCurves{"records", "curve"};
    // said: the path is T_2004.dat
    static constexpr DataTable<Records, QString, int> kFindings{"records", "said", "headingQnh"};

private slots:
    void sortsDescending()
    {
        Floats first{NaN, 1}, last{1, NaN}; // "not greater" holds for a NaN either way: it moves
        shellSortArray(first);
        shellSortArray(last);
        QVERIFY(first[0] == 1 && qIsNaN(first[1]) && qIsNaN(last[0]) && last[1] == 1);
        Floats zeros{0.0f, -0.0f}; // equal values are never moved past each other
        shellSortArray(zeros);
        QVERIFY(!std::signbit(zeros[0]) && std::signbit(zeros[1]));

        QRandomGenerator random(20040101);
        for (int round = 0; round < 200; ++round) {
            Floats values(round * 9); // from none; few distinct values in every other round
            for (float &v : values)
                v = round % 2 ? float(random.bounded(400.0) - 200) : float(random.bounded(-3, 4));
            Floats expected = values;
            std::ranges::sort(expected, std::greater<>());
            shellSortArray(values);
            QVERIFY2(values == expected, qPrintable(QString::number(round)));
        }
    }

    void yearComesFromTheName_data()
    {
        kNames.addColumns();
        const auto row = [](const char *name, const char *tail, int yearStartDay) {
            QTest::newRow(name) << QString(name) << QString(tail) << yearStartDay;
        };
        row("C:\\x\\T_2004.dat", "2004.dat", 37987);
        row("T_2004.DAT.bak", ".DAT.bak", -1);
        row("T.dat", "T.dat", -1);
        row("T_0000.dat", "0000.dat", -1);
        row("T_+204.dat", "+204.dat", -1);
        row("T_ 204.dat", " 204.dat", -1);
        row("T_２００４.dat", "２００４.dat", -1);
    }
    void yearComesFromTheName()
    {
        const auto [name, tail, yearStartDay] = kNames.row();
        QCOMPARE(fileTail(name), tail);
        QCOMPARE(yearStartDayFromName(name).value_or(-1), yearStartDay);
    }

    void readsYearFile_data()
    {
        kReadsYearFile.addColumns();
        QTest::newRow("missing, created empty") << "T_2004.dat" << -1 << 0LL << "";
        QTest::newRow("15 bytes") << "T_2004.dat" << 0 << 15LL << "";
        QTest::newRow("40 bytes") << "T_2004.dat" << 2 << 8LL << "";
        QTest::newRow("records across read chunks") << "T_2004.dat" << 20271 << 7LL << "";
        QTest::newRow("a folder") << "." << -1 << 0LL << "det är ingen årsfil utan en mapp";
        QTest::newRow("a FIFO") << "fifo" << -1 << 0LL << "det är ingen årsfil utan en FIFO";
        QTest::newRow("a device") << "/dev/null" << -1 << 0LL
                                  << "det är ingen årsfil utan en enhet";
        QTest::newRow("over 512 MiB")
            << "T_2004.dat" << 0 << (512LL << 20) + 16
            << "536870928 byte är för stort för en årsfil (högst 536870912 byte)";
    }
    void readsYearFile()
    {
        const auto [name, records, trailing, why] = kReadsYearFile.row();
        QTemporaryDir dir;
        QFile file(name.startsWith('/') ? name : dir.filePath(name));
        const QByteArray native = QFile::encodeName(file.fileName());
        QVERIFY(name != "fifo" || ::mkfifo(native.constData(), 0644) == 0);
        std::vector<DataRecord> expected = sampleYear(2004, 26, 1);
        expected.resize(std::size_t(std::max(records, 0)));
        QVERIFY(records < 0 || writeYearFile(file.fileName(), expected));
        if (trailing > 0 && !file.resize(file.size() + trailing))
            QSKIP("no sparse files here");
        const qint64 size = file.size();

        auto reading =
            std::async(std::launch::async, [&] { return readYearFile(file.fileName()); });
        if (reading.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            ::close(::open(native.constData(), O_WRONLY | O_NONBLOCK)); // lets the reader go
            reading.wait();
            QFAIL("opening the year file waited for a writer");
        }
        const YearFileRead read = reading.get();
        const bool ok = why.isEmpty();
        QCOMPARE(read.ok, ok);
        QCOMPARE(read.errorString,
                 ok ? QString() : "Kan inte läsa " + file.fileName() + ": " + why);
        QVERIFY(read.records == expected);
        QCOMPARE(QDir(dir.path()).isEmpty(), !ok && records < 0); // nothing made when it fails
        QCOMPARE(file.size(), size);
    }

    void createdFileIsWritableByAGroupWritableFoldersGroup_data()
    {
        kGroup.addColumns();
        QTest::newRow("group folder, umask 022") << 0770 << 022 << false << true;
        QTest::newRow("group folder, umask 077") << 0770 << 077 << false << true;
        QTest::newRow("own folder, umask 022") << 0755 << 022 << false << false;
        QTest::newRow("logger, group folder, umask 077") << 0770 << 077 << true << true;
    }
    void createdFileIsWritableByAGroupWritableFoldersGroup()
    {
        const auto [folderMode, mask, byLogger, groupWrites] = kGroup.row();
        QTemporaryDir dir;
        QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), mode_t(folderMode)), 0);
        const mode_t before = ::umask(mode_t(mask));
        const QString path = dir.filePath(QStringLiteral("T_2026.dat"));
        const bool ok = byLogger ? appendRecord(path, DataRecord{s, 0.5f, 1013, 2.0f}).ok
                                 : readYearFile(path).ok;
        ::umask(before);
        QVERIFY(ok);
        const QFile::Permissions permissions = QFile::permissions(path);
        QCOMPARE(bool(permissions & QFile::WriteGroup), groupWrites);
        QVERIFY(!(permissions & QFile::WriteOther)); // others get what the umask gives, here none
    }

    // A file size limit cuts the write after 5 of the 16 bytes, as a full disk does: taken back.
    void appendCutShortIsTakenBack()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("T_2004.dat");
        const Records first{DataRecord{s, 0.5f, 1013, 2.0f}};
        QVERIFY(writeYearFile(path, first));
        rlimit before{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &before), 0);
        const rlimit limit{16 + 5, before.rlim_max};
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        const AppendOutcome outcome = appendRecord(path, DataRecord{s + 1, 0.5f, 1010, 3.0f});
        ::setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!outcome.ok && outcome.error.contains("Kan inte skriva till " + path));
        QCOMPARE(QFileInfo(path).size(), 16);
        QVERIFY(readYearFile(path).records == first);
    }

    void sampleYearIsRegularAndRepeatable()
    {
        const std::vector<DataRecord> records = sampleYear(2024, 7, 3); // leap year
        QCOMPARE(records.size(), std::size_t(527040 / 7 + 1));          // from 2024-01-01 (45292)
        for (int i = 0, minute = 0; i < int(records.size()); ++i, minute += 7)
            QVERIFY(records[i].dayNumber == 45292 + minute / 1440 &&
                    records[i].timeOfDay == float(minute % 1440) / 1440);
        QVERIFY(sampleYear(2024, 7, 3) == records && sampleYear(2024, 7, 4) != records);
        SampleYearGenerator everyMinute(2024, 7 * 60, 3); // the same year, a record at a time
        DataRecord r;
        for (const DataRecord &expected : records)
            QVERIFY(everyMinute.next(r) && r == expected);
        QVERIFY(!everyMinute.next(r));
        QCOMPARE(SampleYearGenerator(2024, 1, 3).size(), std::size_t(31622400));
        const auto [low, high] = std::ranges::minmax(records, {}, &DataRecord::qnh);
        QVERIFY(low.qnh >= 975 && low.qnh < 995 && high.qnh > 1030 && high.qnh <= 1045 &&
                std::ranges::count(records, 0.0f, &DataRecord::temp) > 0); // exact 0.0 C too
    }

    void curves_data()
    {
        kCurves.addColumns();
        const auto row = [](const char *name, const Records &r, const char *curve) {
            QTest::newRow(name) << r << QString(curve);
        };
        row("empty", {}, "|");
        row("halves to even, the rounded value sets the colour",
            on(5, {2.5f, 3.5f}) + on(6, {-0.5f, 0.5f}),
            "(5,38)-(5,36)#ff0000 (6,40)-(6,40)#ff0000 | 0.5 -0.5");
        row("0.0 at either end", on(5, {-2.0f, 0.0f}) + on(6, {3.0f, 0.0f}),
            "(5,42)-(5,40)#0000ff (6,40)-(6,37)#ff0000 | 3 0");
        row("NaN and infinities skipped", on(4, {NaN, Inf}) + on(5, {NaN, 1, Inf, -1.4f, -Inf}),
            "(5,41)-(5,40)#0000ff (5,40)-(5,39)#ff0000 | 1 -1.4");
        row("values no station writes skipped, -90 and 60 kept",
            on(4, {-90.5f, 60.5f, F::max()}) + on(5, {-90, 9.7e37f, 60, -F::max()}),
            "(5,130)-(5,40)#0000ff (5,40)-(5,-20)#ff0000 | 60 -90");
        row("a day too long to keep keeps its extremes",
            on(5, std::vector<float>(kMaxKeptDayValues, 2.0f)) + on(5, {-1, 3}),
            "(5,41)-(5,40)#0000ff (5,40)-(5,37)#ff0000 | 3 -1");
        row("one date in two runs", on(5, {1}) + on(6, {2}) + on(5, {3}),
            "(5,39)-(5,39)#ff0000 (6,38)-(6,38)#ff0000 (5,37)-(5,37)#ff0000 | 3");
        // Days without a reading make the jumps back, so that only the two runs of day 5 differ.
        row("60 jumps back still in time order",
            on(5, {1}) + on(6, {2}) + 60 * (on(3, {NaN}) + on(4, {NaN})) + on(5, {3}),
            "(5,39)-(5,39)#ff0000 (6,38)-(6,38)#ff0000 (5,37)-(5,37)#ff0000 | 3");
        row("61 jumps back: one bar a day of the diagram",
            on(5, {1}) + on(6, {2}) + 61 * (on(3, {NaN}) + on(4, {NaN})) + on(-1, {7}) + on(5, {3}),
            "(5,39)-(5,37)#ff0000 (6,38)-(6,38)#ff0000 | 3");
        // The area is x 0..365, y 0..80 with a margin of 10.
        row("outside the diagram left out, float limits kept",
            on(-11, {1}) + on(376, {1}) + on(5, {60}) + on(6, {-60}) + on(-10, {49.5f}) +
                on(7, {-50, 50}),
            "(-10,-10)-(-10,-10)#ff0000 (7,90)-(7,40)#0000ff (7,40)-(7,-10)#ff0000 | 50 -50");
        row("0 is no reading", on(1, {}, {0, 1010, 0, 1012, 0}) + on(2, {}, {0, 1020, 0, 1025}),
            "(1,41)-(2,28)#9c009e (1,43)-(2,33)#007400 | 1025 1020 | 37988 1010 37989 1020");
        row("day without a reading passed over",
            on(1, {}, {1000}) + on(2, {}, {0, 0}) + on(3, {}, {1030, 990, 1020}) + on(4, {}, {0}),
            "(1,53)-(3,23)#9c009e (1,53)-(3,63)#007400 | | 37988 1000 37990 990");
        row("passes by a corner", on(-100, {}, {1003}) + on(50, {}, {853}),
            "| 853 | 37887 1003 38037 853");
        row("outside 850..1090 no reading",
            on(1, {}, {849, 850, 1090, 1091}) + on(2, {}, {I::min(), I::max()}) + on(3, {}, {1013}),
            "(1,-37)-(3,40)#9c009e (1,203)-(3,40)#007400 | 1013 | 37988 850 37990 1013");
        row("int32 day limits, far lines through the diagram kept",
            on(0, {}, {1013}, I::min()) + on(5, {}, {1013}) + on(0, {}, {1013}, I::max()),
            "(-2.14752e+09,40)-(5,40)#9c009e (5,40)-(2.14745e+09,40)#9c009e "
            "(-2.14752e+09,40)-(5,40)#007400 (5,40)-(2.14745e+09,40)#007400 | "
            "1013 | -2147483648 1013 37992 1013 2147483647 1013");
        row("61 jumps back: lines through the days of the diagram in day order",
            on(-1, {}, {1000}) + 61 * (on(2, {}, {1020}) + on(1, {}, {1010, 0})) + on(3, {}, {990}),
            "(1,43)-(2,33)#9c009e (2,33)-(3,63)#9c009e (1,43)-(2,33)#007400 (2,33)-(3,63)#007400 "
            "| 990 | 37988 1010 37989 1020 37990 990");
    }
    void curves()
    {
        const auto [records, curve] = kCurves.row();
        const auto asText = [&](const TemperatureCurve &t, const PressureCurve &p) {
            return curve.count('|') == 2 ? text(p.segments, p.lastDayValues, p.series)
                                         : text(t.segments, t.lastDayValues);
        };
        QCOMPARE(asText(temperatureCurve(records, s), pressureCurve(records, s)), curve);
        // Read a record at a time, as from a file, every day is split between blocks.
        TemperatureCurveBuilder temperature(s);
        PressureCurveBuilder pressure(s);
        for (const DataRecord &r : records) {
            temperature.add({&r, 1});
            pressure.add({&r, 1});
        }
        QCOMPARE(asText(temperature.finish(), pressure.finish()), curve);
    }

    // What the loaders say beside the curves, and the QNH of the heading.
    void recordFindings_data()
    {
        kFindings.addColumns();
        const auto row = [](const char *name, const Records &r, const char *said, int qnh) {
            QTest::newRow(name) << r << QString::fromUtf8(said) << qnh;
        };
        row("none", {}, "", 0);
        row("weather, NaN and QNH 0 are missing readings", on(1, {1, NaN}, {0, 1012}), "", 1012);
        row("damaged: the count, the first and its date; the heading passes it",
            on(1, {1}) + on(2, {Inf}) + on(3, {}, {851, 849}),
            "T_2004.dat: 2 poster med orimliga värden hoppades över, den första är post 2 "
            "(2004-01-03)",
            851);
        row("one damaged record", on(1, {}, {1090, 0, 1091}),
            "T_2004.dat: 1 post med orimliga värden hoppades över, den första är post 3 "
            "(2004-01-02)",
            0);
        row("60 jumps back", 60 * (on(2, {1}) + on(1, {1})), "", 1013);
        row("61 jumps back", 61 * (on(2, {1}) + on(1, {1})),
            "T_2004.dat är inte i tidsordning: 61 hopp bakåt", 1013);
    }
    void recordFindings()
    {
        const auto [records, said, headingQnh] = kFindings.row();
        RecordFindingsBuilder findings;
        for (const DataRecord &r : records) // a block boundary between any two records
            findings.add({&r, 1});
        QCOMPARE(recordFindingsText(QStringLiteral("T_2004.dat"), findings.finish()), said);
        QCOMPARE(findings.finish().headingQnh, headingQnh);
    }
};

QTEST_APPLESS_MAIN(TestYearData)
#include "tst_yeardata.moc"

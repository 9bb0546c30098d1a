#include "SampleYear.h"
#include "ShellSort.h"
#include "YearFile.h"
#include "YearName.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <functional>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using Floats = std::vector<float>;
using FileStatus = struct stat;

class TestYearData : public QObject
{
    Q_OBJECT

private slots:
    void sortsDescending()
    {
        const auto NaN = float(qQNaN()); // "not greater" holds for a NaN either way: it moves
        Floats first{NaN, 1}, last{1, NaN};
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
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("tail");
        QTest::addColumn<int>("yearStartDay"); // -1: no year
        const auto row = [](const char *name, const char *tail, int yearStartDay) {
            QTest::newRow(name) << QString(name) << QString(tail) << yearStartDay;
        };
        row("C:\\x\\T_2004.dat", "2004.dat", 37987);
        row("T_2004.DAT.bak", ".DAT.bak", -1);
        row("T.dat", "T.dat", -1);
        row("T_0000.dat", "0000.dat", -1);
        row("T_２００４.dat", "２００４.dat", -1);
    }
    void yearComesFromTheName()
    {
        QFETCH(QString, name);
        QFETCH(QString, tail);
        QFETCH(int, yearStartDay);
        QCOMPARE(fileTail(name), tail);
        QCOMPARE(yearStartDayFromName(name).value_or(-1), yearStartDay);
    }

    void readsYearFile_data()
    {
        QTest::addColumn<QString>("name");    // in a fresh folder
        QTest::addColumn<int>("records");     // written first; -1: no file
        QTest::addColumn<qint64>("trailing"); // bytes after them
        QTest::addColumn<bool>("ok");
        QTest::newRow("missing, created empty") << "T_2004.dat" << -1 << 0LL << true;
        QTest::newRow("15 bytes") << "T_2004.dat" << 0 << 15LL << true;
        QTest::newRow("40 bytes") << "T_2004.dat" << 2 << 8LL << true;
        QTest::newRow("records across read chunks") << "T_2004.dat" << 20271 << 7LL << true;
        QTest::newRow("folder missing") << "no/T_2004.dat" << -1 << 0LL << false;
        QTest::newRow("a folder") << "." << -1 << 0LL << false;
        QTest::newRow("over 512 MiB") << "T_2004.dat" << 0 << (512LL << 20) + 16 << false;
    }
    void readsYearFile()
    {
        QFETCH(QString, name);
        QFETCH(int, records);
        QFETCH(qint64, trailing);
        QFETCH(bool, ok);
        QTemporaryDir dir;
        QFile file(dir.filePath(name));
        std::vector<DataRecord> expected = sampleYear(2004, 26, 1);
        expected.resize(std::size_t(std::max(records, 0)));
        QVERIFY(records < 0 || writeYearFile(file.fileName(), expected));
        if (trailing > 0 && !file.resize(file.size() + trailing))
            QSKIP("no sparse files here");
        const qint64 size = file.size();

        const YearFileRead read = readYearFile(file.fileName());
        QVERIFY2(read.ok == ok && read.errorString.isEmpty() == ok, qPrintable(read.errorString));
        QVERIFY(ok || read.errorString.contains(file.fileName())); // the reason names the file
        if (size > (512LL << 20)) // the message names the size and the limit
            QVERIFY(read.errorString.contains(QString::number(size)) &&
                    read.errorString.contains("536870912"));
        QVERIFY(read.records == expected);
        QCOMPARE(QDir(dir.path()).isEmpty(), !ok && records < 0); // nothing made when it fails
        QCOMPARE(file.size(), size);
    }

    void refusesAnythingButAFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FIFO") << "en FIFO";
        QTest::newRow("device") << "en enhet";
    }
    void refusesAnythingButAFile()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("T_2026.dat"));
        const QByteArray native = QFile::encodeName(path);
        if (kind == QLatin1String("en FIFO"))
            QCOMPARE(::mkfifo(native.constData(), 0644), 0);
        else
            path = QStringLiteral("/dev/null");

        auto read = std::async(std::launch::async, [&] { return readYearFile(path); });
        if (read.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            ::close(::open(native.constData(), O_WRONLY | O_NONBLOCK)); // lets the reader go
            read.wait();
            QFAIL("opening the year file waited for a writer");
        }
        const YearFileRead result = read.get();
        QVERIFY(!result.ok);
        QCOMPARE(result.errorString,
                 QStringLiteral("Kan inte läsa %1: det är ingen årsfil utan %2").arg(path, kind));
    }

    void createdFileIsWritableByAGroupWritableFoldersGroup_data()
    {
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<int>("mask");
        QTest::addColumn<bool>("groupWrites");
        QTest::newRow("group folder, umask 022") << 0770 << 022 << true;
        QTest::newRow("group folder, umask 077") << 0770 << 077 << true;
        QTest::newRow("own folder, umask 022") << 0755 << 022 << false;
    }
    void createdFileIsWritableByAGroupWritableFoldersGroup()
    {
        QFETCH(int, folderMode);
        QFETCH(int, mask);
        QFETCH(bool, groupWrites);
        QTemporaryDir dir;
        QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), mode_t(folderMode)), 0);
        const mode_t before = ::umask(mode_t(mask));
        const YearFileRead read = readYearFile(dir.filePath(QStringLiteral("T_2026.dat")));
        ::umask(before);
        QVERIFY(read.ok);
        FileStatus st{};
        QCOMPARE(
            ::stat(QFile::encodeName(dir.filePath(QStringLiteral("T_2026.dat"))).constData(), &st),
            0);
        QCOMPARE(bool(st.st_mode & S_IWGRP), groupWrites);
        QCOMPARE(st.st_mode & S_IWOTH, 0u); // others get what the umask gives, here nothing
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
};

QTEST_APPLESS_MAIN(TestYearData)
#include "tst_yeardata.moc"

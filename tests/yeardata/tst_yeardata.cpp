#include "DayNumber.h"
#include "SampleYear.h"
#include "ShellSort.h"
#include "YearFile.h"
#include "YearName.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>
#include <limits>

using Floats = std::vector<float>;
Q_DECLARE_METATYPE(Floats)

namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

// As text, so that a NaN equals a NaN and a failure shows the whole array.
QStringList text(const Floats &values)
{
    QStringList out;
    for (float v : values)
        out << QString::number(v);
    return out;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

class TestYearData : public QObject
{
    Q_OBJECT

private slots:
    void sortsDescending_data()
    {
        QTest::addColumn<Floats>("input");
        QTest::addColumn<Floats>("expected");
        QTest::newRow("1 3 2") << Floats{1, 3, 2} << Floats{3, 2, 1};
        QTest::newRow("single") << Floats{-7.5f} << Floats{-7.5f};
        QTest::newRow("empty") << Floats{} << Floats{};
        // 0 is an ordinary value: never replaced, never an error.
        QTest::newRow("5 0 0") << Floats{5, 0, 0} << Floats{5, 0, 0};
        QTest::newRow("0 -2") << Floats{0, -2} << Floats{0, -2};
        QTest::newRow("-2 0") << Floats{-2, 0} << Floats{0, -2};
        QTest::newRow("3 0") << Floats{3, 0} << Floats{3, 0};
        QTest::newRow("0 5") << Floats{0, 5} << Floats{5, 0};
        QTest::newRow("zeros among negatives")
            << Floats{-3, 0, -1, 0, -2} << Floats{0, 0, -1, -2, -3};
        // Less-or-equal holds for a NaN either way, so it moves wherever it is.
        QTest::newRow("NaN 1") << Floats{NaN, 1} << Floats{1, NaN};
        QTest::newRow("1 NaN") << Floats{1, NaN} << Floats{NaN, 1};
    }

    void sortsDescending()
    {
        QFETCH(Floats, input);
        QFETCH(Floats, expected);
        shellSortArray(input);
        QCOMPARE(text(input), text(expected));
    }

    void sortAgreesWithStdSort()
    {
        QRandomGenerator random(20040101);
        for (int round = 0; round < 300; ++round) {
            // Every other round draws from few values, so that ties and zeros are common.
            Floats values(random.bounded(1, 2001));
            for (float &v : values)
                v = round % 2 ? float(random.bounded(-400.0) + 200) : float(random.bounded(-3, 4));
            Floats expected = values;
            std::ranges::sort(expected, std::greater<>());
            shellSortArray(values);
            if (values != expected)
                QFAIL(qPrintable(
                    QStringLiteral("round %1, %2 values").arg(round).arg(values.size())));
        }
    }

    void yearComesFromTheName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("tail");
        QTest::addColumn<int>("yearStartDay"); // -1: the name has no year
        QTest::newRow("windows path") << "C:\\x\\T_2004.dat"
                                      << "2004.dat" << 37987;
        QTest::newRow("any prefix") << "/k/backup-1900.dat"
                                    << "1900.dat" << 2;
        QTest::newRow("four digits alone") << "2026"
                                           << "2026" << 46023;
        QTest::newRow("tail not a year") << "T_2004.DAT.bak"
                                         << ".DAT.bak" << -1;
        QTest::newRow("no year") << "data.dat"
                                 << "data.dat" << -1;
        QTest::newRow("short") << "T.dat"
                               << "T.dat" << -1;
        QTest::newRow("empty") << ""
                               << "" << -1;
        QTest::newRow("three digits") << "T_204.dat"
                                      << "_204.dat" << -1;
        QTest::newRow("year 0000") << "T_0000.dat"
                                   << "0000.dat" << -1;
        QTest::newRow("non-ASCII digits")
            << QString::fromUtf8("T_２００４.dat") << QString::fromUtf8("２００４.dat") << -1;
    }

    void yearComesFromTheName()
    {
        QFETCH(QString, name);
        QFETCH(QString, tail);
        QFETCH(int, yearStartDay);
        QCOMPARE(fileTail(name), tail);
        QCOMPARE(yearStartDayFromName(name).value_or(-1), yearStartDay);
    }

    void readsWholeRecords_data()
    {
        QTest::addColumn<int>("recordCount");
        QTest::addColumn<int>("trailingBytes");
        QTest::newRow("0 bytes") << 0 << 0;
        QTest::newRow("15 bytes") << 0 << 15;
        QTest::newRow("40 bytes") << 2 << 8;
        QTest::newRow("several read chunks and 7 bytes") << 20271 << 7;
    }

    void readsWholeRecords()
    {
        QFETCH(int, recordCount);
        QFETCH(int, trailingBytes);
        QTemporaryDir dir;
        const QString path = dir.filePath("T_2004.dat");
        std::vector<DataRecord> expected = sampleYear(2004, 26, 1);
        expected.resize(std::size_t(recordCount));
        QVERIFY(writeYearFile(path, expected));
        QFile file(path);
        QVERIFY(file.open(QIODevice::Append));
        file.write(QByteArray(trailingBytes, 'Z'));
        file.close();
        const QByteArray before = contents(path);
        const QDateTime modified = QFileInfo(path).lastModified();

        const YearFileRead read = readYearFile(path);
        QVERIFY2(read.ok, qPrintable(read.errorString));
        QCOMPARE(read.records.size(), expected.size());
        QVERIFY(read.records == expected);
        QCOMPARE(contents(path), before);
        QCOMPARE(QFileInfo(path).lastModified(), modified);
    }

    void createsMissingFileEmpty()
    {
        QTemporaryDir dir;
        const YearFileRead read = readYearFile(dir.filePath("T_2031.dat"));
        QVERIFY2(read.ok, qPrintable(read.errorString));
        QVERIFY(read.records.empty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{"T_2031.dat"});
        QCOMPARE(QFileInfo(dir.filePath("T_2031.dat")).size(), 0);
    }

    void reportsWhatCannotBeRead_data()
    {
        QTest::addColumn<QString>("name");      // in a fresh folder
        QTest::addColumn<qint64>("sparseSize"); // -1: make a folder of that name
        QTest::newRow("folder missing") << "no-such-folder/T_2004.dat" << qint64(0);
        QTest::newRow("empty name") << "" << qint64(0);
        QTest::newRow("a folder") << "T_2004.dat" << qint64(-1);
        // Large on paper, no disk used: refused, not loaded into memory.
        QTest::newRow("over 1 GiB") << "T_2004.dat" << (qint64(1) << 30) + 16;
    }

    void reportsWhatCannotBeRead()
    {
        QFETCH(QString, name);
        QFETCH(qint64, sparseSize);
        QTemporaryDir dir;
        const QString path = name.isEmpty() ? QString() : dir.filePath(name);
        QFile file(path);
        if (sparseSize < 0)
            QVERIFY(QDir(dir.path()).mkdir(name));
        else if (sparseSize > 0 && !(file.open(QIODevice::WriteOnly) && file.resize(sparseSize)))
            QSKIP("no sparse files here");
        file.close();

        const YearFileRead read = readYearFile(path);
        QVERIFY(!read.ok);
        QVERIFY(!read.errorString.isEmpty());
        QVERIFY(read.records.empty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(),
                 name.isEmpty() || name.contains('/') ? 0 : 1);
    }

    void sampleYearIsRegularAndRepeatable_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("count");
        QTest::newRow("minutes") << 2026 << 1 << 525600;
        QTest::newRow("minutes, leap year") << 2024 << 1 << 527040;
        QTest::newRow("hourly") << 2026 << 60 << 8760;
        QTest::newRow("7 minutes, across midnight") << 2026 << 7 << 75086;
    }

    void sampleYearIsRegularAndRepeatable()
    {
        QFETCH(int, year);
        QFETCH(int, interval);
        QFETCH(int, count);
        const std::vector<DataRecord> records = sampleYear(year, interval, 3);
        QCOMPARE(int(records.size()), count);
        const auto jan1 = std::int32_t(DayNumber::fromDate(QDate(year, 1, 1)));
        for (int i = 0, minute = 0; i < count; ++i, minute += interval) {
            const DataRecord &r = records[i];
            if (r.dayNumber != jan1 + minute / 1440 || r.timeOfDay != float(minute % 1440) / 1440)
                QFAIL(qPrintable(QStringLiteral("record %1 is off").arg(i)));
        }
        QVERIFY(sampleYear(year, interval, 3) == records);
        QVERIFY(sampleYear(year, interval, 4) != records);
    }

    void sampleYearLooksLikeStockholm()
    {
        const std::vector<DataRecord> records = sampleYear(2026, 10, 11);
        const auto jan1 = std::int32_t(DayNumber::fromDate(QDate(2026, 1, 1)));
        const auto dayOfYear = [&](const DataRecord &r) { return r.dayNumber - jan1; };
        double winter = 0, july = 0;
        int winterCount = 0, julyCount = 0, zeros = 0, lowQnh = 2000, highQnh = 0;
        for (const DataRecord &r : records) {
            if (dayOfYear(r) < 59) { // January and February
                winter += r.temp;
                ++winterCount;
                zeros += r.temp == 0.0f;
            } else if (dayOfYear(r) >= 181 && dayOfYear(r) < 212) {
                july += r.temp;
                ++julyCount;
            }
            lowQnh = std::min(lowQnh, r.qnh);
            highQnh = std::max(highQnh, r.qnh);
        }
        QVERIFY2(winter / winterCount > -6 && winter / winterCount < 0,
                 qPrintable(QString::number(winter / winterCount)));
        QVERIFY2(july / julyCount > 15 && july / julyCount < 21,
                 qPrintable(QString::number(july / julyCount)));
        QVERIFY(zeros > 0);
        QVERIFY(lowQnh >= 975 && lowQnh < 995 && highQnh > 1030 && highQnh <= 1045);
    }
};

QTEST_APPLESS_MAIN(TestYearData)
#include "tst_yeardata.moc"

#include "SampleYear.h"

#include "DayNumber.h"
#include "YearFile.h"

#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

class TestSampleYear : public QObject
{
    Q_OBJECT

private slots:
    void samplesEveryInterval_data();
    void samplesEveryInterval();
    void sameSeedSameYear();
    void looksLikeStockholm();
    void writesAReadableYearFile();
};

void TestSampleYear::samplesEveryInterval_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("count");

    QTest::newRow("minutes") << 2026 << 1 << 525600;
    QTest::newRow("minutes, leap year") << 2024 << 1 << 527040;
    QTest::newRow("hourly") << 2026 << 60 << 8760;
    QTest::newRow("every 7 minutes, across midnight") << 2026 << 7 << 75086;
}

void TestSampleYear::samplesEveryInterval()
{
    QFETCH(int, year);
    QFETCH(int, interval);
    QFETCH(int, count);

    const std::vector<DataRecord> records = sampleYear(year, interval, 3);
    QCOMPARE(int(records.size()), count);
    const auto firstDay = std::int32_t(DayNumber::fromDate(QDate(year, 1, 1)));
    for (int i = 0; i < count; ++i) {
        const int minute = i * interval;
        const DataRecord &r = records[i];
        if (r.dayNumber != firstDay + minute / 1440 || r.timeOfDay != float(minute % 1440) / 1440 ||
            std::abs(r.temp) > 45 || r.qnh < 970 || r.qnh > 1050)
            QFAIL(qPrintable(QStringLiteral("record %1 of %2 is off").arg(i).arg(count)));
    }
    QCOMPARE(DayNumber::toDate(records.back().dayNumber), QDate(year, 12, 31));
}

void TestSampleYear::sameSeedSameYear()
{
    QVERIFY(sampleYear(2026, 10, 7) == sampleYear(2026, 10, 7));
    QVERIFY(sampleYear(2026, 10, 7) != sampleYear(2026, 10, 8));
}

void TestSampleYear::looksLikeStockholm()
{
    const std::vector<DataRecord> records = sampleYear(2026, 10, 11);
    const auto jan1 = std::int32_t(DayNumber::fromDate(QDate(2026, 1, 1)));
    const auto jul1 = std::int32_t(DayNumber::fromDate(QDate(2026, 7, 1)));
    double winterSum = 0, julySum = 0;
    int winter = 0, july = 0, exactZeros = 0, lowQnh = 1100, highQnh = 0;
    for (const DataRecord &r : records) {
        if (r.dayNumber < jan1 + 59) {
            winterSum += r.temp;
            ++winter;
            exactZeros += r.temp == 0.0f;
        } else if (r.dayNumber >= jul1 && r.dayNumber < jul1 + 31) {
            julySum += r.temp;
            ++july;
        }
        lowQnh = std::min(lowQnh, r.qnh);
        highQnh = std::max(highQnh, r.qnh);
    }
    QVERIFY2(winterSum / winter > -6 && winterSum / winter < 0,
             qPrintable(QString::number(winterSum / winter)));
    QVERIFY2(julySum / july > 15 && julySum / july < 21,
             qPrintable(QString::number(julySum / july)));
    QVERIFY(exactZeros > 0);
    QVERIFY(lowQnh < 995 && highQnh > 1030);
}

void TestSampleYear::writesAReadableYearFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("T_2026.dat");
    const std::vector<DataRecord> records = sampleYear(2026, 30, 5);
    QString error;
    QVERIFY2(writeYearFile(path, records, &error), qPrintable(error));
    QVERIFY(readYearFile(path).records == records);
}

QTEST_APPLESS_MAIN(TestSampleYear)
#include "tst_sampleyear.moc"

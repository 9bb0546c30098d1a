#include "YearName.h"

#include <QTest>

class TestYearName : public QObject
{
    Q_OBJECT

private slots:
    void yearComesFromTheName_data();
    void yearComesFromTheName();
};

void TestYearName::yearComesFromTheName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("tail");
    QTest::addColumn<int>("yearStartDay"); // -1: the name has no year

    // Day numbers counted from 1899-12-30.
    QTest::newRow("windows path") << "C:\\x\\T_2004.dat"
                                  << "2004.dat" << 37987;
    QTest::newRow("unix path") << "/home/k/T_2026.dat"
                               << "2026.dat" << 46023;
    QTest::newRow("any prefix") << "backup-1900.dat"
                                << "1900.dat" << 2;
    QTest::newRow("tail is not the year") << "T_2004.DAT.bak"
                                          << ".DAT.bak" << -1;
    QTest::newRow("no year") << "data.dat"
                             << "data.dat" << -1;
    QTest::newRow("short name") << "T.dat"
                                << "T.dat" << -1;
    QTest::newRow("empty") << ""
                           << "" << -1;
    QTest::newRow("four digits alone") << "2004"
                                       << "2004" << 37987;
    QTest::newRow("three digits") << "T_204.dat"
                                  << "_204.dat" << -1;
    QTest::newRow("year 0000") << "T_0000.dat"
                               << "0000.dat" << -1;
    QTest::newRow("signed") << "T+204.dat"
                            << "+204.dat" << -1;
    QTest::newRow("non-ASCII digits")
        << QString::fromUtf8("T_２００４.dat") << QString::fromUtf8("２００４.dat") << -1;
}

void TestYearName::yearComesFromTheName()
{
    QFETCH(QString, name);
    QFETCH(QString, tail);
    QFETCH(int, yearStartDay);

    QCOMPARE(fileTail(name), tail);
    const std::optional<std::int32_t> start = yearStartDayFromName(name);
    QCOMPARE(start.has_value(), yearStartDay != -1);
    if (start)
        QCOMPARE(*start, yearStartDay);
}

QTEST_APPLESS_MAIN(TestYearName)
#include "tst_yearname.moc"

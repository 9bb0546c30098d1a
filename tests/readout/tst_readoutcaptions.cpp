#include "DayNumber.h"
#include "ReadoutCaptions.h"

#include <QTest>

#include <limits>

class TestReadoutCaptions : public QObject
{
    Q_OBJECT

    static constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    static constexpr float kInf = std::numeric_limits<float>::infinity();

private slots:
    void temperatureCaptionRoundsHalfToEven_data()
    {
        QTest::addColumn<float>("y");
        QTest::addColumn<QString>("point");
        QTest::addColumn<QString>("comma");
        QTest::newRow("12.34") << 27.66f << "12.3 C"
                               << "12,3 C";
        QTest::newRow("whole") << 28.0f << "12 C"
                               << "12 C";
        QTest::newRow("negative whole") << 45.0f << "-5 C"
                                        << "-5 C";
        QTest::newRow("0.25 to even") << 39.75f << "0.2 C"
                                      << "0,2 C";
        QTest::newRow("0.75 to even") << 39.25f << "0.8 C"
                                      << "0,8 C";
        QTest::newRow("-0.25 to even") << 40.25f << "-0.2 C"
                                       << "-0,2 C";
        QTest::newRow("-0.75 to even") << 40.75f << "-0.8 C"
                                       << "-0,8 C";
        QTest::newRow("zero") << 40.0f << "0 C"
                              << "0 C";
        QTest::newRow("no negative zero") << 40.04f << "0 C"
                                          << "0 C";
        QTest::newRow("top edge") << 0.0f << "40 C"
                                  << "40 C";
        QTest::newRow("bottom edge") << 80.0f << "-40 C"
                                     << "-40 C";
        QTest::newRow("above the diagram") << -10.5f << "50.5 C"
                                           << "50,5 C";
        QTest::newRow("NaN") << kNaN << ""
                             << "";
        QTest::newRow("infinite") << -kInf << ""
                                  << "";
    }
    void temperatureCaptionRoundsHalfToEven()
    {
        QFETCH(float, y);
        QFETCH(QString, point);
        QFETCH(QString, comma);
        QCOMPARE(temperatureCaption(y, QLocale::c()), point);
        QCOMPARE(temperatureCaption(y, QLocale(QLocale::Swedish, QLocale::Sweden)), comma);
    }

    void pressureCaptionRoundsDown_data()
    {
        QTest::addColumn<float>("y");
        QTest::addColumn<QString>("caption");
        QTest::newRow("1013") << 40.0f << "QNH  1013";
        QTest::newRow("1013.5") << 39.5f << "QNH  1013";
        QTest::newRow("1013.8") << 39.2f << "QNH  1013";
        QTest::newRow("1012.5") << 40.5f << "QNH  1012";
        QTest::newRow("top edge") << 0.0f << "QNH  1053";
        QTest::newRow("just below top") << 1e-30f << "QNH  1052";
        QTest::newRow("bottom edge") << 80.0f << "QNH  973";
        QTest::newRow("NaN") << kNaN << "";
        QTest::newRow("infinite") << kInf << "";
    }
    void pressureCaptionRoundsDown()
    {
        QFETCH(float, y);
        QFETCH(QString, caption);
        QCOMPARE(pressureCaption(y), caption);
    }

    void dateCaptionShowsTheColumnsDay_data()
    {
        QTest::addColumn<float>("x");
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("caption");
        QTest::newRow("1 January") << 0.7f << 2003 << "2003-01-01";
        QTest::newRow("1 February") << 31.9f << 2003 << "2003-02-01";
        QTest::newRow("31 December") << 364.5f << 2003 << "2003-12-31";
        QTest::newRow("day before") << -0.2f << 2003 << "2002-12-31";
        QTest::newRow("day after") << 365.0f << 2003 << "2004-01-01";
        QTest::newRow("leap day") << 59.0f << 2004 << "2004-02-29";
        QTest::newRow("first four-digit day") << 0.0f << 1 << "0001-01-01";
        QTest::newRow("before year 1") << -0.5f << 1 << "";
        QTest::newRow("last four-digit day") << 364.5f << 9999 << "9999-12-31";
        QTest::newRow("after year 9999") << 365.0f << 9999 << "";
        QTest::newRow("far off") << 3e38f << 2003 << "";
        QTest::newRow("NaN") << kNaN << 2003 << "";
        QTest::newRow("infinite") << -kInf << 2003 << "";
    }
    void dateCaptionShowsTheColumnsDay()
    {
        QFETCH(float, x);
        QFETCH(int, year);
        QFETCH(QString, caption);
        const auto yearStartDay = std::int32_t(DayNumber::fromDate(QDate(year, 1, 1)));
        QCOMPARE(dateCaption(x, yearStartDay), caption);
    }
};

QTEST_APPLESS_MAIN(TestReadoutCaptions)
#include "tst_readoutcaptions.moc"

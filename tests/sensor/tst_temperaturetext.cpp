#include "TemperatureText.h"

#include <QTest>

#include <limits>

class TestTemperatureText : public QObject
{
    Q_OBJECT

private slots:
    void formatsTemperature_data();
    void formatsTemperature();
    void formatsCaption_data();
    void formatsCaption();
};

// A reading corrected the way the window does it: double arithmetic, stored as float.
static float corrected(float reading)
{
    return static_cast<float>(reading - 1.1);
}

void TestTemperatureText::formatsTemperature_data()
{
    QTest::addColumn<float>("t");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");

    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    constexpr float inf = std::numeric_limits<float>::infinity();
    QTest::newRow("22.4 corrected") << corrected(22.4f) << "C"
                                    << "21.3 C";
    QTest::newRow("22.4 corrected, Swedish") << corrected(22.4f) << "sv_SE"
                                             << "21,3 C";
    QTest::newRow("-2.9 corrected") << corrected(-2.9f) << "C"
                                    << "-4.0 C";
    QTest::newRow("-2.9 corrected, Swedish ASCII minus") << corrected(-2.9f) << "sv_SE"
                                                         << "-4,0 C";
    QTest::newRow("exact half away from zero") << 0.25f << "C"
                                               << "0.3 C";
    QTest::newRow("exact negative half away") << -0.25f << "C"
                                              << "-0.3 C";
    QTest::newRow("0.35f lies below the half") << 0.35f << "C"
                                               << "0.3 C";
    QTest::newRow("small frost rounds to 0.0") << -0.04f << "C"
                                               << "0.0 C";
    QTest::newRow("negative zero, Swedish") << -0.0f << "sv_SE"
                                            << "0,0 C";
    QTest::newRow("-0.05f rounds away") << -0.05f << "C"
                                        << "-0.1 C";
    QTest::newRow("no grouping") << 1234.5f << "en_US"
                                 << "1234.5 C";
    QTest::newRow("NaN") << nan << "C"
                         << "--.- C";
    QTest::newRow("NaN, Swedish") << nan << "sv_SE"
                                  << "--.- C";
    QTest::newRow("infinite") << inf << "C"
                              << "--.- C";
    QTest::newRow("minus infinite") << -inf << "C"
                                    << "--.- C";
}

void TestTemperatureText::formatsTemperature()
{
    QFETCH(float, t);
    QFETCH(QString, locale);
    QFETCH(QString, expected);
    QCOMPARE(temperatureText(t, QLocale(locale)), expected);
}

void TestTemperatureText::formatsCaption_data()
{
    QTest::addColumn<float>("t");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");

    QTest::newRow("point") << corrected(22.4f) << QTime(14, 5, 33) << "C"
                           << "21.3 C  14:05:33";
    QTest::newRow("Swedish") << corrected(22.4f) << QTime(14, 5, 33) << "sv_SE"
                             << "21,3 C  14:05:33";
    QTest::newRow("US is still 24-hour") << -4.0f << QTime(23, 59, 59) << "en_US"
                                         << "-4.0 C  23:59:59";
    QTest::newRow("midnight") << 0.0f << QTime(0, 0, 0) << "C"
                              << "0.0 C  00:00:00";
    QTest::newRow("Finnish time separator") << 21.3f << QTime(9, 5, 3) << "fi_FI"
                                            << "21,3 C  09.05.03";
    QTest::newRow("NaN") << std::numeric_limits<float>::quiet_NaN() << QTime(7, 0, 0) << "C"
                         << "--.- C  07:00:00";
}

void TestTemperatureText::formatsCaption()
{
    QFETCH(float, t);
    QFETCH(QTime, time);
    QFETCH(QString, locale);
    QFETCH(QString, expected);
    QCOMPARE(windowCaption(t, time, QLocale(locale)), expected);
}

QTEST_GUILESS_MAIN(TestTemperatureText)
#include "tst_temperaturetext.moc"

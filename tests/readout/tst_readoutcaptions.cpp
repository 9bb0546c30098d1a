#include "DayNumber.h"
#include "ReadoutCaptions.h"

#include <QTest>

class TestReadoutCaptions : public QObject
{
    Q_OBJECT

private slots:
    void captionsOfAPointerPosition_data()
    {
        QTest::addColumn<float>("at"); // taken as y for the temperature and QNH, as x for the date
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("temperature"); // C locale; a comma in the Swedish one
        QTest::addColumn<QString>("pressure");
        QTest::addColumn<QString>("date");
        const auto row = [](float at, int year, const char *t, const char *p, const char *d) {
            QTest::addRow("%g in %d", double(at), year) << at << year << t << p << d;
        };
        row(27.66f, 2003, "12.3 C", "QNH  1025", "2003-01-28");
        row(45.0f, 2003, "-5 C", "QNH  1008", "2003-02-15");
        row(39.75f, 2003, "0.2 C", "QNH  1013", "2003-02-09"); // halves to even, as floats are
        row(39.25f, 2003, "0.8 C", "QNH  1013", "2003-02-09");
        row(40.25f, 2003, "-0.2 C", "QNH  1012", "2003-02-10");
        row(40.04f, 2003, "0 C", "QNH  1012", "2003-02-10");  // never "-0 C"
        row(39.5f, 2003, "0.5 C", "QNH  1013", "2003-02-09"); // 1013.5 hPa shows as 1013
        row(1e-30f, 2003, "40 C", "QNH  1052", "2003-01-01");
        row(-0.2f, 2003, "40.2 C", "QNH  1053", "2002-12-31");
        row(365.0f, 2003, "-325 C", "QNH  688", "2004-01-01");
        row(0.0f, 1, "40 C", "QNH  1053", "0001-01-01");
        row(-0.5f, 1, "40.5 C", "QNH  1053", "");
        row(364.5f, 9999, "-324.5 C", "QNH  688", "9999-12-31");
        row(365.0f, 9999, "-325 C", "QNH  688", "");
        row(3e38f, 2003, "", "", "");
        row(float(qQNaN()), 2003, "", "", "");
    }
    void captionsOfAPointerPosition()
    {
        QFETCH(float, at);
        QFETCH(int, year);
        QFETCH(QString, temperature);
        QFETCH(QString, pressure);
        QFETCH(QString, date);
        QCOMPARE(temperatureCaption(at, QLocale::c()), temperature);
        QCOMPARE(temperatureCaption(at, QLocale(QLocale::Swedish)), temperature.replace('.', ','));
        QCOMPARE(pressureCaption(at), pressure);
        QCOMPARE(dateCaption(at, std::int32_t(DayNumber::fromDate(QDate(year, 1, 1)))), date);
    }
};

QTEST_APPLESS_MAIN(TestReadoutCaptions)
#include "tst_readoutcaptions.moc"

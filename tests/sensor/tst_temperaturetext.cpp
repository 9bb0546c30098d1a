#include "TemperatureText.h"

#include <QTest>

class TestTemperatureText : public QObject
{
    Q_OBJECT

private slots:
    void formatsTemperatureAndCaption_data();
    void formatsTemperatureAndCaption();
};

void TestTemperatureText::formatsTemperatureAndCaption_data()
{
    QTest::addColumn<float>("t");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("clock"); // of 21:05:03

    const auto row = [](float t, const char *locale, const char *text, const char *clock) {
        QTest::addRow("%s %s", text, locale) << t << locale << text << clock;
    };
    // Corrected readings as the window computes them: double arithmetic, stored as float.
    row(static_cast<float>(22.4f - 1.1), "C", "21.3 C", "21:05:03");
    row(static_cast<float>(22.4f - 1.1), "sv_SE", "21,3 C", "21:05:03");
    row(static_cast<float>(-2.9f - 1.1), "sv_SE", "-4,0 C", "21:05:03");
    row(-0.25f, "C", "-0.3 C", "21:05:03"); // half away from zero
    row(0.35f, "C", "0.3 C", "21:05:03");   // the float lies below the half
    row(-0.04f, "C", "0.0 C", "21:05:03");
    row(1234.5f, "en_US", "1234.5 C", "21:05:03");
    row(21.3f, "fi_FI", "21,3 C", "21.05.03");
    row(qQNaN(), "C", "--.- C", "21:05:03");
    row(qInf(), "sv_SE", "--.- C", "21:05:03");
}

void TestTemperatureText::formatsTemperatureAndCaption()
{
    QFETCH(float, t);
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(QString, clock);
    QCOMPARE(temperatureText(t, QLocale(locale)), text);
    QCOMPARE(windowCaption(t, QTime(21, 5, 3), QLocale(locale)), text + "  " + clock);
}

QTEST_GUILESS_MAIN(TestTemperatureText)
#include "tst_temperaturetext.moc"

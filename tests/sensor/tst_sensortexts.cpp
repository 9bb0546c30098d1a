// What the user types as a port address, and the temperature the window shows.
#include "PortAnswer.h"
#include "TemperatureText.h"

#include <QTest>

class TestSensorTexts : public QObject
{
    Q_OBJECT

private slots:
    void interpretsPortAnswer_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected"); // game, parallel and current address; action

        // Before each answer: game 514, parallel and current 400, so every change shows.
        const auto row = [](const char *answer, const char *locale, const char *expected) {
            QTest::addRow("%s %s", answer, locale) << answer << locale << expected;
        };
        row("520", "C", "520 400 520 read");
        row("513", "C", "513 400 513 read");
        row("521", "C", "514 521 521 cycle");
        row("512", "C", "514 512 512 cycle");
        row("201", "C", "513 400 201 read");
        row("209", "C", "514 209 209 cycle");
        row("889", "C", "514 889 889 cycle");
        row("0", "C", "514 0 0 cycle");
        row("99999999999", "C", "514 400 400 invalid");
        row("abc", "C", "514 400 400 invalid");
        row(" 208 ", "C", "520 400 208 read");
        row("2.5", "C", "514 2 2 cycle");
        row("3.5", "C", "514 4 4 cycle");
        row("520.5", "C", "520 400 520 read");
        row("2,5", "sv_SE", "514 2 2 cycle");
        row("2,500", "en_US", "514 400 400 invalid");
        row("0x379", "C", "514 889 889 cycle");
        row("&h379", "C", "514 889 889 cycle");
        row("&h208", "sv_SE", "520 400 520 read");
        row("0x+5", "C", "514 400 400 invalid");
        row("", "C", "514 400 400 none");
    }

    void interpretsPortAnswer()
    {
        QFETCH(QString, answer);
        QFETCH(QString, locale);
        QFETCH(QString, expected);
        constexpr const char *actions[] = {"none", "read", "cycle", "invalid"};

        const PortAnswer r = interpretPortAnswer(answer, {514, 400, 400}, QLocale(locale));
        QCOMPARE(QString::asprintf("%d %d %d %s", r.state.gamePortAdr, r.state.parPortAdr,
                                   r.state.portAdr, actions[int(r.action)]),
                 expected);
        if (r.action == PortAction::Invalid)
            QVERIFY(invalidPortAnswerMessage(answer).contains(u'”' + answer + u'”'));
    }

    void formatsTemperatureAndCaption_data()
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
        row(static_cast<float>(-2.9f - 1.1), "sv_SE", "-4,0 C", "21:05:03");
        row(0.35f, "C", "0.3 C", "21:05:03"); // the float lies below the half
        row(-0.04f, "C", "0.0 C", "21:05:03");
        row(1234.5f, "en_US", "1234.5 C", "21:05:03");
        row(21.3f, "fi_FI", "21,3 C", "21.05.03");
        row(qQNaN(), "C", "--.- C", "21:05:03");
        row(qInf(), "sv_SE", "--.- C", "21:05:03");
    }

    void formatsTemperatureAndCaption()
    {
        QFETCH(float, t);
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(QString, clock);
        QCOMPARE(temperatureText(t, QLocale(locale)), text);
        QCOMPARE(windowCaption(t, QTime(21, 5, 3), QLocale(locale)), text + "  " + clock);
    }
};

QTEST_GUILESS_MAIN(TestSensorTexts)
#include "tst_sensortexts.moc"

#include "PortAnswer.h"

#include <QTest>

class TestPortAnswer : public QObject
{
    Q_OBJECT

private slots:
    void interpretsAnswer_data();
    void interpretsAnswer();
};

void TestPortAnswer::interpretsAnswer_data()
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
    row("208", "C", "520 400 208 read");
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
    row("&h208", "sv_SE", "520 400 520 read");
    row("0x+5", "C", "514 400 400 invalid");
    row("", "C", "514 400 400 none");
}

void TestPortAnswer::interpretsAnswer()
{
    QFETCH(QString, answer);
    QFETCH(QString, locale);
    QFETCH(QString, expected);
    constexpr const char *actions[] = {"none", "read", "cycle", "invalid"};

    const PortAnswer r = interpretPortAnswer(answer, {514, 400, 400}, QLocale(locale));
    const QString actual = QString::asprintf("%d %d %d %s", r.state.gamePortAdr, r.state.parPortAdr,
                                             r.state.portAdr, actions[int(r.action)]);
    QCOMPARE(actual, expected);
    if (r.action == PortAction::Invalid)
        QVERIFY(invalidPortAnswerMessage(answer).contains(u'”' + answer + u'”'));
}

QTEST_GUILESS_MAIN(TestPortAnswer)
#include "tst_portanswer.moc"

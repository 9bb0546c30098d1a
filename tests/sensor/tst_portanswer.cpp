#include "PortAnswer.h"

#include <QTest>

Q_DECLARE_METATYPE(PortAction)

class TestPortAnswer : public QObject
{
    Q_OBJECT

private slots:
    void interpretsAnswer_data();
    void interpretsAnswer();
    void invalidMessageQuotesAnswer();
    void promptKeepsItsLayout();
};

// Distinct from the defaults, so that every change and every non-change shows.
static constexpr PortState kBefore{.gamePortAdr = 514, .parPortAdr = 400, .portAdr = 400};

void TestPortAnswer::interpretsAnswer_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("gamePortAdr");
    QTest::addColumn<int>("parPortAdr");
    QTest::addColumn<int>("portAdr");
    QTest::addColumn<PortAction>("action");

    const auto row = [](const char *name, const QString &answer, const char *locale, int game,
                        int par, int port, PortAction action) {
        QTest::newRow(name) << answer << QString::fromLatin1(locale) << game << par << port
                            << action;
    };
    constexpr auto read = PortAction::ReadGamePortNow;
    constexpr auto cycle = PortAction::RunCycle;
    constexpr auto invalid = PortAction::Invalid;

    row("520, last game port", "520", "C", 520, 400, 520, read);
    row("513, first game port", "513", "C", 513, 400, 513, read);
    row("521, above game ports", "521", "C", 514, 521, 521, cycle);
    row("512, below game ports", "512", "C", 514, 512, 512, cycle);
    row("208 as hex", "208", "C", 520, 400, 208, read);
    row("201 as hex", "201", "C", 513, 400, 201, read);
    row("209, after hex range", "209", "C", 514, 209, 209, cycle);
    row("200, before hex range", "200", "C", 514, 200, 200, cycle);
    row("889", "889", "C", 514, 889, 889, cycle);
    row("300", "300", "C", 514, 300, 300, cycle);
    row("0", "0", "C", 514, 0, 0, cycle);
    row("65535", "65535", "C", 514, 65535, 65535, cycle);
    row("-5", "-5", "C", 514, -5, -5, cycle);
    row("Swedish minus", QStringLiteral("\u22125"), "sv_SE", 514, -5, -5, cycle);
    row("int32 max", "2147483647", "C", 514, 2147483647, 2147483647, cycle);
    row("int32 min", "-2147483648", "C", 514, INT32_MIN, INT32_MIN, cycle);
    row("above int32", "2147483648", "C", 514, 400, 400, invalid);
    row("below int32", "-2147483649", "C", 514, 400, 400, invalid);
    row("99999999999", "99999999999", "C", 514, 400, 400, invalid);
    row("abc", "abc", "C", 514, 400, 400, invalid);
    row("digits then text", "208abc", "C", 514, 400, 400, invalid);
    row("only blanks", "   ", "C", 514, 400, 400, invalid);
    row("nan", "nan", "C", 514, 400, 400, invalid);
    row("blanks around 208", " 208 ", "C", 520, 400, 208, read);
    row("2.5 to even 2", "2.5", "C", 514, 2, 2, cycle);
    row("3.5 to even 4", "3.5", "C", 514, 4, 4, cycle);
    row("520.5 to even 520", "520.5", "C", 520, 400, 520, read);
    row("520.6 up to 521", "520.6", "C", 514, 521, 521, cycle);
    row("2,5 Swedish", "2,5", "sv_SE", 514, 2, 2, cycle);
    row("207,9 Swedish as hex 208", "207,9", "sv_SE", 520, 400, 208, read);
    row("2,5 with point locale", "2,5", "en_US", 514, 400, 400, invalid);
    row("empty (Cancel)", "", "C", 514, 400, 400, PortAction::None);
}

void TestPortAnswer::interpretsAnswer()
{
    QFETCH(QString, answer);
    QFETCH(QString, locale);
    QFETCH(int, gamePortAdr);
    QFETCH(int, parPortAdr);
    QFETCH(int, portAdr);
    QFETCH(PortAction, action);

    const PortAnswer result = interpretPortAnswer(answer, kBefore, QLocale(locale));
    QCOMPARE(result.state.gamePortAdr, gamePortAdr);
    QCOMPARE(result.state.parPortAdr, parPortAdr);
    QCOMPARE(result.state.portAdr, portAdr);
    QCOMPARE(result.action, action);
}

void TestPortAnswer::invalidMessageQuotesAnswer()
{
    const QString message = invalidPortAnswerMessage(QStringLiteral("12 ab"));
    QVERIFY(message.contains(QStringLiteral("”12 ab”")));
    QVERIFY(message.contains(QStringLiteral("ingen portadress")));
}

void TestPortAnswer::promptKeepsItsLayout()
{
    const QStringList lines = kPortPrompt.toString().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines.at(1),
             QString(25, QLatin1Char(' ')) + QStringLiteral("eller  513 - 520 decimal"));
    QVERIFY(lines.at(2).isEmpty());
}

QTEST_GUILESS_MAIN(TestPortAnswer)
#include "tst_portanswer.moc"

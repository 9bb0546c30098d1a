#include "DataColumns.h"
#include "KalvikHarness.h"
#include "PortAnswer.h"
#include "YearFileAppend.h"

#include <QtTest>

// The 30-second reading, following the year file and the port-address answer, with a fake sensor.
class tst_Cycle : public QObject
{
    Q_OBJECT

    // ports: PortAdr, GamePortAdr and ParPortAdr afterwards; immediate: the
    // calls the answer makes at once; caption: a whole tick writes it.
    static constexpr DataTable<QString, QList<int>, QStringList, QString, QString> kAnswers{
        "answer", "ports", "immediate", "caption", "nextTick"};
    // view: the command drawn last; table: hidden, end, up (shown, scrolled up); crossHair: a
    // button held across the tick; gone: the file, for two readings before; records: in the
    // file at the tick; from: the first written over in place, -1: a new file.
    static constexpr DataTable<QString, QString, bool, bool, int, int> kChanges{
        "view", "table", "crossHair", "gone", "records", "from"};

    // Hourly samples up to 13 March 2026, 11:00; the logger then adds 30 more, into 14 March.
    static constexpr int kDrawn = (31 + 28 + 12) * 24 + 12;
    static std::vector<DataRecord> firstOf(int n, std::uint32_t seed = 3)
    {
        std::vector<DataRecord> year = sampleYear(2026, 60, seed);
        year.resize(std::size_t(n));
        return year;
    }

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void portAnswer_data()
    {
        kAnswers.addColumns();
        // clang-format off
        // How each kind of answer reaches the sensor; the fake's 22.4 shows as 21,3 in the
        // user's locale. A tick at 14:05:33 while the dialog is open reads the ports as they
        // stood. The highest game port: still the game port, corrected at once as at every tick.
        QTest::newRow("520") << "520" << QList<int>{520, 520, 889} << QStringList{"GetTemp 520 16"} << "21,3 C  14:05:33" << "GetTempGame 520 16";
        QTest::newRow("521") << "521" << QList<int>{521, 520, 521} << QStringList{"GetTemp 521 11"} << "21,3 C  14:06:03" << "GetTemp 521 11";
        // Not above 520: stored as a parallel port, but read on the game port.
        QTest::newRow("209") << "209" << QList<int>{209, 520, 209} << QStringList{"GetTempGame 520 16"} << "21,3 C  14:06:03" << "GetTempGame 520 16";
        QTest::newRow("not a number") << "abc" << QList<int>{889, 520, 889} << QStringList() << "21,3 C  14:05:33" << "GetTemp 889 11";
        QTest::newRow("cancel") << QString() << QList<int>{889, 520, 889} << QStringList() << "21,3 C  14:05:33" << "GetTemp 889 11";
        // clang-format on
    }

    void portAnswer()
    {
        const auto [answer, ports, immediate, caption, nextTick] = kAnswers.row();
        QLocale::setDefault(QLocale(QStringLiteral("sv_SE")));
        Harness h;
        h.start();
        h.sensor->calls.clear();
        h.dialogs->input = answer;
        h.dialogs->whileOpen = [&h] {
            h.window->Cycle_Timer();
            h.clock = h.clock.addSecs(30);
        };
        h.window->mnuPortAdr_Click();

        QVERIFY(h.dialogs->inputPrompt.startsWith(u"V\u00e4lj GamePortAdress 201 - 208 Hex\n"));
        const PortState now = h.window->ports();
        QCOMPARE(QList<int>({now.portAdr, now.gamePortAdr, now.parPortAdr}), ports);
        // The tick while the dialog was open, then what the answer reads at once.
        QCOMPARE(h.sensor->calls, QStringList{"GetTemp 889 11"} + immediate);
        QCOMPARE(h.label("lblTempC")->text(), QStringLiteral("21,3 C"));
        QCOMPARE(h.window->windowTitle(), caption);
        QCOMPARE(h.dialogs->messages,
                 answer == "abc" ? QStringList(invalidPortAnswerMessage(answer)) : QStringList());
        h.sensor->calls.clear();
        h.window->Cycle_Timer();
        QCOMPARE(h.sensor->calls, QStringList(nextTick));
    }

    void followsTheFile_data()
    {
        kChanges.addColumns();
        // clang-format off
        QTest::newRow("both") << "mnuVisaAllt" << "hidden" << false << false << kDrawn + 30 << kDrawn;
        QTest::newRow("Bara Temp") << "mnuTemp" << "hidden" << false << false << kDrawn + 30 << kDrawn;
        QTest::newRow("Bara Tryck") << "mnuQNH" << "hidden" << false << false << kDrawn + 30 << kDrawn;
        QTest::newRow("table at the end") << "mnuVisaAllt" << "end" << false << false << kDrawn + 30 << kDrawn;
        QTest::newRow("table scrolled up") << "mnuVisaAllt" << "up" << false << false << kDrawn + 30 << kDrawn;
        QTest::newRow("cross-hair held") << "mnuVisaAllt" << "hidden" << true << false << kDrawn + 30 << kDrawn;
        QTest::newRow("truncated") << "mnuQNH" << "end" << false << false << kDrawn - 40 << kDrawn - 40;
        QTest::newRow("replaced") << "mnuVisaAllt" << "up" << false << false << kDrawn + 10 << -1;
        QTest::newRow("last record rewritten") << "mnuTemp" << "hidden" << false << false << kDrawn + 5 << kDrawn - 1;
        QTest::newRow("gone, then back") << "mnuVisaAllt" << "hidden" << false << true << kDrawn + 30 << -1;
        QTest::newRow("nothing added") << "mnuVisaAllt" << "end" << false << false << kDrawn << kDrawn;
        // clang-format on
    }

    // After a reading the window shows what its own command would draw from the file now, and
    // Ctrl+A's heading; nothing added, nothing changes. A file gone is told once, until it is back.
    void followsTheFile()
    {
        const auto [view, table, crossHair, gone, records, from] = kChanges.row();
        Harness h;
        const QString path = h.yearFile(2026);
        QVERIFY(h.start(firstOf(kDrawn)));
        h.find<QAction>(qPrintable(view))->trigger();
        if (table != "hidden")
            h.window->mnuData_Click();
        if (table == "up")
            h.list()->setTopIndex(100);
        const QImage before = h.diagramPicture(), kept = h.diagram()->keptImage();
        if (gone) {
            QVERIFY(QFile::remove(path));
            h.window->Cycle_Timer();
            h.window->Cycle_Timer();
            QCOMPARE(h.dialogs->messages,
                     QStringList("Fel i Sub GetQNHRecordData\n" + path + " finns inte"));
            QCOMPARE(h.diagramPicture(), before);
            h.dialogs->messages.clear();
        }
        // Where it is written, 13 March gets a new lowest and the pressure line a new highest.
        std::vector<DataRecord> now = firstOf(records, from < 0 ? 4 : 3);
        if (from >= 0 && from < records) {
            now[from].temp = -20.0f;
            now[from].qnh = 1040;
        }
        if (from < 0)
            QVERIFY(writeYearFile(path, now)); // another file under the name
        else if (records != kDrawn)            // cut back to from, then as the logger appends
            QVERIFY(QFile::resize(path, from * qint64(kRecordSize)) &&
                    (from == records || appendRecords(path, std::span(now).subspan(from)).ok));
        if (crossHair)
            h.window->picDiagram_MouseDown(1, 0, 100.0f, 30.0f);
        h.window->Cycle_Timer();
        if (crossHair) { // nothing redrawn under it; the release catches up
            QCOMPARE(h.diagram()->keptImage(), kept);
            h.window->picDiagram_MouseUp(1, 0, 100.0f, 30.0f);
        }

        const QImage followed = h.diagramPicture();
        const QString heading = h.label("Label1_1")->text();
        QCOMPARE(followed != before, records != kDrawn);
        QCOMPARE(h.window->tableModel()->rowCount(), records);
        QCOMPARE(h.list()->isVisible(), table != "hidden");
        QVERIFY(table == "up" ? h.list()->topIndex() == 100 : h.list()->isScrolledToEnd());
        QCOMPARE(h.dialogs->messages, QStringList());
        h.find<QAction>(qPrintable(view))->trigger();
        QCOMPARE(followed, h.diagramPicture());
        h.window->mnuVisaAllt_Click();
        QCOMPARE(heading, h.label("Label1_1")->text());
    }
};

QTEST_MAIN(tst_Cycle)
#include "tst_cycle.moc"

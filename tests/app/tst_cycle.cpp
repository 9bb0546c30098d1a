#include "DataTableModel.h"
#include "KalvikHarness.h"
#include "LibrarySensor.h"
#include "PortAnswer.h"

#include <QLabel>
#include <QtTest>

#include <algorithm>

// The 30-second reading and the port-address answer, through the window
// with the sensor's test double.
class tst_Cycle : public QObject
{
    Q_OBJECT

    // Hourly samples up to 13 March 2026, 11:00; the logger then adds 30 more,
    // past midnight into 14 March.
    static constexpr int kDrawn = (31 + 28 + 12) * 24 + 12;
    static std::vector<DataRecord> firstOf(int n, std::uint32_t seed = 3)
    {
        std::vector<DataRecord> year = sampleYear(2026, 60, seed);
        year.resize(std::size_t(n));
        return year;
    }
    // Writes records over the file from record first on, in place.
    static bool writeAt(const QString &path, qint64 first, std::span<const DataRecord> records)
    {
        std::vector<std::byte> bytes;
        for (const DataRecord &r : records)
            encodeRecord(r, bytes);
        QFile f(path);
        return f.open(QIODevice::ReadWrite) && f.seek(first * qint64(kRecordSize)) &&
               f.write(reinterpret_cast<const char *>(bytes.data()), qint64(bytes.size())) ==
                   qint64(bytes.size());
    }

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void portAnswer_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QList<int>>("ports"); // PortAdr, GamePortAdr and ParPortAdr afterwards
        QTest::addColumn<QStringList>("immediate"); // the calls the answer makes at once
        QTest::addColumn<QString>("caption");       // a whole tick writes it
        QTest::addColumn<QString>("nextTick");
        // clang-format off
        // How each kind of answer reaches the sensor (interpretPortAnswer reads
        // the answers). The double's 22.4 is shown as 21,3 in the user's locale.
        // A tick at 14:05:33 while the dialog is open reads the ports as they stood.
        // The highest game port: still the game port, corrected at once as at every tick.
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
        QFETCH(QString, answer);
        QFETCH(QList<int>, ports);
        QFETCH(QStringList, immediate);
        QFETCH(QString, caption);
        QFETCH(QString, nextTick);
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
        const bool refused = answer == QLatin1String("abc");
        QCOMPARE(h.dialogs->messages,
                 refused ? QStringList(invalidPortAnswerMessage(answer)) : QStringList());

        h.sensor->calls.clear();
        h.window->Cycle_Timer();
        QCOMPARE(h.sensor->calls, QStringList(nextTick));
    }

    void followsTheFile_data()
    {
        QTest::addColumn<QString>("view");   // the command drawn last
        QTest::addColumn<QString>("change"); // what happens to the file before the tick
        QTest::addColumn<QString>("table");  // hidden, end, up (shown, scrolled up)
        QTest::addColumn<bool>("crossHair"); // a button held across the tick
        // clang-format off
        QTest::newRow("both") << "mnuVisaAllt" << "append" << "hidden" << false;
        QTest::newRow("Bara Temp") << "mnuTemp" << "append" << "hidden" << false;
        QTest::newRow("Bara Tryck") << "mnuQNH" << "append" << "hidden" << false;
        QTest::newRow("table at the end") << "mnuVisaAllt" << "append" << "end" << false;
        QTest::newRow("table scrolled up") << "mnuVisaAllt" << "append" << "up" << false;
        QTest::newRow("cross-hair held") << "mnuVisaAllt" << "append" << "hidden" << true;
        QTest::newRow("truncated") << "mnuQNH" << "truncate" << "end" << false;
        QTest::newRow("replaced") << "mnuVisaAllt" << "replace" << "up" << false;
        QTest::newRow("last record rewritten") << "mnuTemp" << "rewrite" << "hidden" << false;
        QTest::newRow("nothing added") << "mnuVisaAllt" << "none" << "end" << false;
        // clang-format on
    }

    // After one reading the window shows what its own command would draw from
    // the file now, and the heading Ctrl+A would write; nothing added, nothing changes.
    void followsTheFile()
    {
        QFETCH(QString, view);
        QFETCH(QString, change);
        QFETCH(QString, table);
        QFETCH(bool, crossHair);
        Harness h;
        const QString path = h.yearFile(2026);
        QVERIFY(h.start(firstOf(kDrawn)));
        h.window->findChild<QAction *>(view)->trigger();
        if (table != QLatin1String("hidden"))
            h.window->mnuData_Click();
        if (table == QLatin1String("up"))
            h.list()->setTopIndex(100);

        std::vector<DataRecord> now;
        if (change == QLatin1String("append")) {
            now = firstOf(kDrawn + 30);
            now[kDrawn + 1].temp = 15.0f; // a new highest of 13 March
            now[kDrawn + 2].qnh = 1040;
            QVERIFY(writeAt(path, kDrawn, std::span(now).subspan(kDrawn)));
        } else if (change == QLatin1String("truncate")) {
            now = firstOf(kDrawn - 40);
            QVERIFY(QFile::resize(path, qint64(now.size() * kRecordSize)));
        } else if (change == QLatin1String("replace")) {
            now = firstOf(kDrawn + 10, 4); // another file under the name
            QVERIFY(writeYearFile(path, now));
        } else if (change == QLatin1String("none")) {
            now = firstOf(kDrawn);
        } else {
            now = firstOf(kDrawn + 5);
            now[kDrawn - 1].temp = -20.0f; // the last record drawn is no longer the same
            QVERIFY(writeAt(path, kDrawn - 1, std::span(now).subspan(kDrawn - 1)));
        }
        const QImage before = h.diagramPicture(), kept = h.diagram()->keptImage();
        if (crossHair)
            h.window->picDiagram_MouseDown(1, 0, 100.0f, 30.0f);
        h.window->Cycle_Timer();
        if (crossHair) { // nothing redrawn under it; the release catches up
            QCOMPARE(h.diagram()->keptImage(), kept);
            h.window->picDiagram_MouseUp(1, 0, 100.0f, 30.0f);
        }

        const QImage followed = h.diagramPicture();
        const QString heading = h.label("Label1_1")->text();
        QCOMPARE(followed != before, change != QLatin1String("none"));
        QCOMPARE(h.window->tableModel()->rowCount(), int(now.size()));
        QCOMPARE(h.list()->isVisible(), table != QLatin1String("hidden"));
        if (table == QLatin1String("up"))
            QCOMPARE(h.list()->topIndex(), 100);
        else
            QVERIFY(h.list()->isScrolledToEnd());
        QCOMPARE(h.dialogs->messages, QStringList());

        h.window->findChild<QAction *>(view)->trigger();
        QCOMPARE(followed, h.diagramPicture());
        h.window->mnuVisaAllt_Click();
        QCOMPARE(heading, h.label("Label1_1")->text());
    }

    // A file gone from under the window is told once, not at every reading;
    // once it is back it is drawn again.
    void aFileThatCannotBeReadIsToldOnce()
    {
        Harness h;
        const QString path = h.yearFile(2026);
        QVERIFY(h.start(firstOf(kDrawn)));
        const QImage drawn = h.diagramPicture();
        QVERIFY(QFile::remove(path));
        h.window->Cycle_Timer();
        h.window->Cycle_Timer();
        QCOMPARE(h.dialogs->messages,
                 QStringList("Fel i Sub GetQNHRecordData\n" + path + " finns inte"));
        QCOMPARE(h.diagramPicture(), drawn);
        QVERIFY(writeYearFile(path, firstOf(kDrawn + 30)));
        h.window->Cycle_Timer();
        const QImage followed = h.diagramPicture();
        h.window->mnuVisaAllt_Click();
        QCOMPARE(followed, h.diagramPicture());
        QCOMPARE(h.dialogs->messages.size(), 1);
    }

    void noReadingShowsTheSensorsReasonUntilAReadingArrives()
    {
        // Through the real loader and the library's double, which tells why.
        QTemporaryDir folder;
        QVERIFY(QFile::copy(SMT160_DOUBLE_PATH, folder.filePath("libSMT160.so")));
        const auto tell = [&](const char *file, const QByteArray &text) {
            QFile f(folder.filePath(QLatin1String(file)));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(text) == text.size());
        };
        tell("smt160-reading.txt", "nan");
        tell("smt160-reason.txt", "ingen signal från givaren");
        Harness h(QDateTime(QDate(2026, 3, 14), QTime(14, 5)), folder.path(),
                  std::make_unique<LibrarySensor>(folder.path()));
        h.start();
        QCOMPARE(h.label("lblTempC")->text(), QStringLiteral("--.- C"));
        QCOMPARE(h.label("lblTempC")->toolTip(), QStringLiteral("ingen signal från givaren"));
        tell("smt160-reading.txt", "20.0");
        h.window->Cycle_Timer();
        QCOMPARE(h.label("lblTempC")->text(), QStringLiteral("18.9 C"));
        QCOMPARE(h.label("lblTempC")->toolTip(), QString());
    }
};

QTEST_MAIN(tst_Cycle)
#include "tst_cycle.moc"

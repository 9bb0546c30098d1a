#include "DataColumns.h"
#include "KalvikHarness.h"
#include "ReferencePicture.h"

#include <QtTest>

// The year drawn, the three views, opening another year, the mouse read-out and the data table.
class tst_Diagram : public QObject
{
    Q_OBJECT

    // item: the view drawn with the table shown, before Öppna; chosen: empty is Cancel;
    // year: of the records in it, 0: none; title: the year shown afterwards.
    static constexpr DataTable<QString, QString, int, QString, bool, QString, QString> kOpen{
        "item", "chosen", "year", "title", "tableShown", "picture", "message"};
    // value: "kvar" is left as it stood.
    static constexpr DataTable<int, QPoint, QString, QString> kButtons{"button", "at", "date",
                                                                       "value"};

    Harness r; // a year of hourly readings, for the read-out and the table

    // Bars that cross 0 C and lie over the pressure value "1013" (x 355), and
    // pressure lines from x 1 to x 2 whose highest and lowest differ.
    static std::vector<DataRecord> days(int year)
    {
        const QDate jan1(year, 1, 1);
        const auto at = [&jan1](int day, float time, std::int32_t qnh, float temp) {
            return sample(jan1.addDays(day), time, qnh, temp);
        };
        return {at(0, 0.1f, 0, 1.4f),     at(0, 0.2f, 0, 2.6f),     at(1, 0.1f, 1010, 30.0f),
                at(1, 0.2f, 1015, 30.0f), at(1, 0.3f, 1012, 30.0f), at(2, 0.1f, 1020, 30.0f),
                at(10, 0.1f, 0, -3.5f),   at(10, 0.2f, 0, 2.0f),    at(355, 0.1f, 0, -3.0f),
                at(355, 0.2f, 0, 3.0f)};
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
        QVERIFY(r.start(sampleYear(2026, 60, 11)));
        QVERIFY(QTest::qWaitForWindowExposed(r.window.get()));
    }

    void viewsAndOpen_data()
    {
        kOpen.addColumns();
        // clang-format off
        QTest::newRow("Bara Temp") << "mnuTemp" << "" << 0 << "2026" << true << "Bara Temp" << "";
        QTest::newRow("Bara Tryck") << "mnuQNH" << "" << 0 << "2026" << true << "Bara Tryck" << "";
        QTest::newRow("Visa Temp o Tryck") << "mnuVisaAllt" << "" << 0 << "2026" << false << "Visa Temp o Tryck" << "";
        // The year comes from the file's name, not from the digits in its folder.
        QTest::newRow("another year") << "mnuTemp" << "Data2/T_2004.dat" << 2004 << "2004" << false << "open 2004" << "";
        QTest::newRow("an empty year") << "mnuTemp" << "T_2027.dat" << 0 << "2027" << false << "open 2027" << "";
        QTest::newRow("upper-case .DAT") << "mnuTemp" << "T_2004.DAT" << 2004 << "2004" << false << "open 2004" << "";
        // Four digits of a year, but not ending in .dat: refused before anything changes.
        QTest::newRow("no year in the name") << "mnuTemp" << "T_2004.txt" << 2004 << "2026" << true << "Bara Temp"
            << "T_2004.txt: namnet måste sluta på ett årtal och .dat, till exempel T_2026.dat";
        // clang-format on
    }

    // Each view's curves and pressure scale, a table shown before kept or refilled, then hidden;
    // the opened file's title, curves and table, the scale as the view left it; or nothing changed.
    void viewsAndOpen()
    {
        const auto [item, chosen, year, title, tableShown, picture, message] = kOpen.row();
        Harness h;
        const QString path = h.dir.filePath(chosen);
        if (!chosen.isEmpty()) {
            QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
            QVERIFY(writeYearFile(path, year ? days(year) : std::vector<DataRecord>()));
            h.dialogs->file = path;
        }
        QVERIFY(h.start(days(2026)));
        const QByteArray own = fileBytes(h.yearFile(2026)), bytes = fileBytes(path);
        h.window->mnuData_Click();
        h.find<QAction>(qPrintable(item))->trigger();
        h.window->mnuOpen_Click();

        const bool opened = title != QLatin1String("2026");
        QCOMPARE(h.dialogs->lastOpen.startPath, h.yearFile(2026));
        QCOMPARE(h.dialogs->messages, message.isEmpty() ? QStringList() : QStringList(message));
        QCOMPARE(h.window->dataFileName(), opened ? path : h.yearFile(2026));
        QCOMPARE(h.list()->isVisible(), tableShown);
        QCOMPARE(h.window->tableModel()->rowCount(), year || !opened ? 10 : 0);
        h.list()->hide();
        QVERIFY(matchesReference(h.client(), picture));
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(fileBytes(h.yearFile(2026)), own);
        QCOMPARE(fileBytes(path), bytes);
        // The read-out's dates follow the year shown.
        h.window->picDiagram_MouseDown(4, 0, 0.0f, 0.0f);
        QCOMPARE(h.label("lblXCord")->text(), title + QStringLiteral("-01-01"));
    }

    void buttonsRead_data()
    {
        kButtons.addColumns();
        // clang-format off
        QTest::newRow("left reads the temperature") << 1 << QPoint(100, 100) << "2026-02-20" << "16.2 C";
        QTest::newRow("right reads the pressure") << 2 << QPoint(50, 168) << "2026-01-26" << "QNH  1013";
        QTest::newRow("middle reads the date only") << 4 << QPoint(10, 10) << "2026-01-06" << "kvar";
        // clang-format on
    }

    // The cross-hair is dotted yellow in exclusive-or, edge to edge. During a left read-out,
    // moves with no button or two read nothing and a second button starts no second read-out;
    // a move with the left takes the old cross-hair away; the release restores the diagram.
    void buttonsRead()
    {
        const auto [button, at, date, value] = kButtons.row();
        const QImage before = r.diagramPicture();
        r.label("lblYCord")->setText(QStringLiteral("kvar"));
        QTest::mousePress(r.diagram(), Qt::MouseButton(button), {}, at);
        if (button == Qt::LeftButton) {
            for (int held : {0, 3, 5, 4})
                r.window->picDiagram_MouseMove(held, 0, 200.0f, 60.0f);
            QTest::mouseClick(r.diagram(), Qt::RightButton, {}, QPoint(200, 50));
        }
        QCOMPARE(r.label("lblXCord")->text(), date);
        QCOMPARE(r.label("lblYCord")->text(), value);
        QVERIFY(matchesReference(changes(r.diagramPicture(), before),
                                 QStringLiteral("cross-hair ") + QTest::currentDataTag()));
        if (button == Qt::LeftButton) {
            QTest::mouseMove(r.diagram(), QPoint(300, 200));
            QTest::mouseMove(r.diagram(), QPoint(301, 201));
            QCOMPARE(r.label("lblYCord")->text(), QStringLiteral("-7.9 C"));
            QVERIFY(matchesReference(changes(r.diagramPicture(), before), "cross-hair moved"));
        }
        QTest::mouseRelease(r.diagram(), Qt::MouseButton(button), {}, at);
        QCOMPARE(r.diagramPicture(), before);
        QCOMPARE(r.label("lblXCord")->text() + r.label("lblYCord")->text(), QString());
    }

    // The table's place, colours, font and arrow pointer, its rows in the user's format, scrolled
    // to the newest; the heading the newest QNH. A double click in it is the table's; a read-out
    // on the diagram afterwards leaves the diagram as it was, and its click hides the table.
    void table()
    {
        const QImage before = r.diagramPicture();
        r.window->mnuData_Click();
        QCOMPARE(r.list()->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(matchesReference(r.client(), "table of a year"));
        QTest::mouseDClick(r.list()->viewport(), Qt::LeftButton, {}, QPoint(40, 30));
        QVERIFY(r.list()->isVisible());
        QCOMPARE(r.diagramPicture(), before);
        QTest::mousePress(r.diagram(), Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseMove(r.diagram(), QPoint(120, 90));
        QTest::mouseRelease(r.diagram(), Qt::LeftButton, {}, QPoint(120, 90));
        QCOMPARE(r.diagramPicture(), before);
        QVERIFY(!r.list()->isVisible());
    }
};

QTEST_MAIN(tst_Diagram)
#include "tst_diagram.moc"

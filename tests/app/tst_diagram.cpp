#include "DataRow.h"
#include "DataTableModel.h"
#include "KalvikHarness.h"
#include "ReferencePicture.h"

#include <QtTest>

// The year drawn onto the diagram, the three views, opening another year's
// file, reading the diagram with the mouse and the data table, through the window.
class tst_Diagram : public QObject
{
    Q_OBJECT

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

    // What a cross-hair changed: black where the picture is as before.
    static QImage changes(const QImage &on, const QImage &before)
    {
        QImage result = on;
        for (int y = 0; y < on.height(); ++y)
            for (int x = 0; x < on.width(); ++x)
                result.setPixel(x, y, (on.pixel(x, y) ^ before.pixel(x, y)) | 0xff000000u);
        return result;
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
        QVERIFY(r.start(sampleYear(2026, 60, 11)));
        QVERIFY(QTest::qWaitForWindowExposed(r.window.get()));
    }

    void views_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("tableShown");
        QTest::newRow("Bara Temp") << "mnuTemp" << true;
        QTest::newRow("Bara Tryck") << "mnuQNH" << true;
        QTest::newRow("Visa Temp o Tryck") << "mnuVisaAllt" << false;
    }

    // Each view's curves and pressure scale; the table shown before it kept,
    // or refilled and put away.
    void views()
    {
        QFETCH(QString, item);
        QFETCH(bool, tableShown);
        Harness h;
        QVERIFY(h.start(days(2026)));
        h.window->mnuData_Click();
        h.window->findChild<QAction *>(item)->trigger();
        QCOMPARE(h.list()->isVisible(), tableShown);
        QCOMPARE(h.window->tableModel()->rowCount(), 10);
        h.list()->hide();
        QVERIFY(matchesReference(h.client(), QTest::currentDataTag()));
        QVERIFY(!QApplication::overrideCursor());
    }

    void open_data()
    {
        QTest::addColumn<QString>("chosen");  // empty: Cancel
        QTest::addColumn<int>("year");        // of the records in it; 0: none
        QTest::addColumn<QString>("title");   // the year shown afterwards
        QTest::addColumn<QString>("picture"); // Bara Temp: as it was
        QTest::addColumn<QString>("message");
        // The year comes from the file's name, not from the digits in its folder.
        QTest::newRow("another year") << "Data2/T_2004.dat" << 2004 << "2004"
                                      << "open 2004" << QString();
        QTest::newRow("an empty year") << "T_2027.dat" << 0 << "2027"
                                       << "open 2027" << QString();
        QTest::newRow("upper-case .DAT") << "T_2004.DAT" << 2004 << "2004"
                                         << "open 2004" << QString();
        QTest::newRow("cancel") << "" << 0 << "2026"
                                << "Bara Temp" << QString();
        // Four digits of a year, but not ending in .dat: refused before anything changes.
        QTest::newRow("no year in the name")
            << "T_2004.txt" << 2004 << "2026"
            << "Bara Temp"
            << "T_2004.txt: namnet måste sluta på ett årtal och .dat, till exempel T_2026.dat";
    }

    // The title, both curves and the table of the file opened, the pressure
    // scale hidden as the view left it; or nothing changed.
    void open()
    {
        QFETCH(QString, chosen);
        QFETCH(int, year);
        QFETCH(QString, title);
        QFETCH(QString, picture);
        QFETCH(QString, message);
        Harness h;
        const QString path = h.dir.filePath(chosen);
        if (!chosen.isEmpty()) {
            QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
            QVERIFY(writeYearFile(path, year ? days(year) : std::vector<DataRecord>()));
            h.dialogs->file = path;
        }
        QVERIFY(h.start(days(2026)));
        const QByteArray own = fileBytes(h.yearFile(2026)), bytes = fileBytes(path);
        h.window->mnuTemp_Click();
        h.window->mnuData_Click();
        h.window->mnuOpen_Click();

        const bool opened = title != QLatin1String("2026");
        QCOMPARE(h.dialogs->lastOpen.startPath, h.yearFile(2026));
        QCOMPARE(h.dialogs->messages, message.isEmpty() ? QStringList() : QStringList(message));
        QCOMPARE(h.window->dataFileName(), opened ? path : h.yearFile(2026));
        QCOMPARE(h.list()->isVisible(), !opened);
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
        QTest::addColumn<int>("button");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("value"); // "kvar": left as it stood
        QTest::newRow("left reads the temperature")
            << int(Qt::LeftButton) << QPoint(100, 100) << "2026-02-20"
            << "16.2 C";
        QTest::newRow("right reads the pressure")
            << int(Qt::RightButton) << QPoint(50, 168) << "2026-01-26"
            << "QNH  1013";
        QTest::newRow("middle reads the date only")
            << int(Qt::MiddleButton) << QPoint(10, 10) << "2026-01-06"
            << "kvar";
    }

    // The cross-hair is dotted yellow in exclusive-or, from edge to edge; a
    // move takes the old one away, and the release leaves the diagram as it was.
    void buttonsRead()
    {
        QFETCH(int, button);
        QFETCH(QPoint, at);
        QFETCH(QString, date);
        QFETCH(QString, value);
        const QImage before = r.diagramPicture();
        r.label("lblYCord")->setText(QStringLiteral("kvar"));
        QTest::mousePress(r.diagram(), Qt::MouseButton(button), {}, at);
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

    void otherButtonsDuringAReadOutChangeNothing_data()
    {
        QTest::addColumn<int>("buttons"); // held in a move
        QTest::newRow("none") << 0;
        QTest::newRow("left and right") << 3;
        QTest::newRow("left and middle") << 5;
        QTest::newRow("middle") << 4;
    }

    // During a left read-out, moves with no button or two read nothing, a
    // second button starts no second read-out, and nothing stays behind.
    void otherButtonsDuringAReadOutChangeNothing()
    {
        QFETCH(int, buttons);
        const QImage before = r.diagramPicture();
        QTest::mousePress(r.diagram(), Qt::LeftButton, {}, QPoint(20, 20));
        const QImage pressed = r.diagramPicture();
        const QString labels = r.label("lblXCord")->text() + r.label("lblYCord")->text();
        r.window->picDiagram_MouseMove(buttons, 0, 200.0f, 60.0f);
        QTest::mousePress(r.diagram(), Qt::RightButton, {}, QPoint(200, 50));
        QCOMPARE(r.diagramPicture(), pressed);
        QCOMPARE(r.label("lblXCord")->text() + r.label("lblYCord")->text(), labels);
        QTest::mouseRelease(r.diagram(), Qt::LeftButton, {}, QPoint(200, 50));
        QTest::mouseRelease(r.diagram(), Qt::RightButton, {}, QPoint(200, 50));
        QCOMPARE(r.diagramPicture(), before);
    }

    void tableListsEveryRecordAndShowsTheNewest()
    {
        const std::vector<DataRecord> records = sampleYear(2026, 60, 11);
        QCOMPARE(r.window->tableModel()->index(0).data().toString(),
                 dataRow(records.front(), QLocale()));
        QCOMPARE(r.label("Label1_1")->text(), QStringLiteral("QNH") + qnhPiece(records.back().qnh));
        r.window->mnuData_Click();
        DataListBox *list = r.list();
        QCOMPARE(list->cursor().shape(), Qt::ArrowCursor);
        // Scrolled as far as it goes towards the last row: the newest rows fill the view.
        QCOMPARE(list->topIndex(), int(records.size()) - list->visibleRows());
        QVERIFY(list->visibleRows() > 10);
        r.window->mnuData_Click(); // away again
    }

    // A double click in the table is the table's; a read-out on the diagram
    // afterwards leaves it as it was, and its click puts the table away.
    void doubleClickInTheTableBelongsToTheTable()
    {
        const QImage before = r.diagramPicture();
        r.window->mnuData_Click();
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

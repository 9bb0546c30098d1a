#include "DataRow.h"
#include "DataTableModel.h"
#include "KalvikHarness.h"

#include <QLabel>
#include <QtTest>

// Reading the diagram with the mouse, and the data table, through the window.
class tst_Readout : public QObject
{
    Q_OBJECT

private:
    Harness h;
    DiagramCanvas *d = nullptr;

    // The diagram alone, without the table or the labels lying on it.
    QImage ownPicture() const
    {
        QImage image(d->size(), QImage::Format_RGB32);
        d->render(&image, {}, {}, QWidget::DrawWindowBackground);
        return image;
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
        QVERIFY(writeYearFile(h.yearFile(2026), sampleYear(2026, 60, 11)));
        h.start();
        QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
        d = h.diagram();
    }

    void pressMoveReleaseLeavesTheDiagramAsItWas()
    {
        const QImage before = ownPicture();
        // The cross-hair is dotted yellow in exclusive-or, from edge to edge.
        const auto flipped = [&before](const QImage &on, int x, int y) {
            return (on.pixel(x, y) ^ before.pixel(x, y)) == 0x00ffff00u;
        };
        QTest::mousePress(d, Qt::LeftButton, {}, QPoint(100, 100));
        QCOMPARE(h.label("lblXCord")->text(), QStringLiteral("2026-02-20"));
        QCOMPARE(h.label("lblYCord")->text(), QStringLiteral("16.2 C"));
        QImage on = ownPicture();
        QVERIFY(flipped(on, 100, 330) && flipped(on, 0, 100) && flipped(on, 724, 100));
        QCOMPARE(on.pixel(100, 331), before.pixel(100, 331));

        QTest::mouseMove(d, QPoint(300, 200));
        QTest::mouseMove(d, QPoint(301, 201));
        on = ownPicture();
        QCOMPARE(on.pixel(100, 330), before.pixel(100, 330)); // the old line is gone
        QCOMPARE(h.label("lblYCord")->text(), QStringLiteral("-7.9 C"));
        QVERIFY(flipped(on, 301, 330));

        QTest::mouseRelease(d, Qt::LeftButton, {}, QPoint(301, 201));
        QCOMPARE(ownPicture(), before);
        QCOMPARE(h.label("lblXCord")->text() + h.label("lblYCord")->text(), QString());
    }

    void otherButtonsRead_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("value"); // "kvar": left as it stood
        QTest::newRow("right: pressure") << int(Qt::RightButton) << QPoint(50, 168) << "2026-01-26"
                                         << "QNH  1013";
        QTest::newRow("middle: the date only")
            << int(Qt::MiddleButton) << QPoint(10, 10) << "2026-01-06"
            << "kvar";
    }
    void otherButtonsRead()
    {
        QFETCH(int, button);
        QFETCH(QPoint, at);
        QFETCH(QString, date);
        QFETCH(QString, value);
        const QImage before = ownPicture();
        h.label("lblYCord")->setText(QStringLiteral("kvar"));
        QTest::mousePress(d, Qt::MouseButton(button), {}, at);
        QCOMPARE(h.label("lblXCord")->text(), date);
        QCOMPARE(h.label("lblYCord")->text(), value);
        QVERIFY(ownPicture() != before); // the cross-hair
        QTest::mouseRelease(d, Qt::MouseButton(button), {}, at);
        QCOMPARE(ownPicture(), before);
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
        const QImage before = ownPicture();
        QTest::mousePress(d, Qt::LeftButton, {}, QPoint(20, 20));
        const QImage pressed = ownPicture();
        const QString labels = h.label("lblXCord")->text() + h.label("lblYCord")->text();
        h.window->picDiagram_MouseMove(buttons, 0, 200.0f, 60.0f);
        QTest::mousePress(d, Qt::RightButton, {}, QPoint(200, 50));
        QCOMPARE(ownPicture(), pressed);
        QCOMPARE(h.label("lblXCord")->text() + h.label("lblYCord")->text(), labels);
        QTest::mouseRelease(d, Qt::LeftButton, {}, QPoint(200, 50));
        QTest::mouseRelease(d, Qt::RightButton, {}, QPoint(200, 50));
        QCOMPARE(ownPicture(), before);
    }

    void tableListsEveryRecordAndShowsTheNewest()
    {
        const std::vector<DataRecord> records = sampleYear(2026, 60, 11);
        QCOMPARE(h.window->tableModel()->index(0).data().toString(),
                 dataRow(records.front(), QLocale()));
        QCOMPARE(h.label("Label1_1")->text(), QStringLiteral("QNH") + qnhPiece(records.back().qnh));

        h.find<QAction>("mnuData")->trigger();
        DataListBox *list = h.list();
        QCOMPARE(list->cursor().shape(), Qt::ArrowCursor);
        // Scrolled as far as it goes towards the last row: the newest rows fill the view.
        QCOMPARE(list->topIndex(), int(records.size()) - list->visibleRows());
        QVERIFY(list->visibleRows() > 10);
        h.find<QAction>("mnuData")->trigger(); // away again
    }

    // Clicks and drags in the table are the table's, as the end-to-end test
    // shows; so is a double click.
    void doubleClickInTheTableBelongsToTheTable()
    {
        const QImage before = ownPicture();
        h.window->mnuData_Click();
        QTest::mouseDClick(h.list()->viewport(), Qt::LeftButton, {}, QPoint(40, 30));
        QVERIFY(h.list()->isVisible());
        QCOMPARE(ownPicture(), before);

        // A read-out on the diagram afterwards leaves it as it was, and its
        // click outside the table puts the table away.
        QTest::mousePress(d, Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseMove(d, QPoint(120, 90));
        QTest::mouseRelease(d, Qt::LeftButton, {}, QPoint(120, 90));
        QCOMPARE(ownPicture(), before);
        QVERIFY(!h.list()->isVisible());
    }
};

QTEST_MAIN(tst_Readout)
#include "tst_readout.moc"

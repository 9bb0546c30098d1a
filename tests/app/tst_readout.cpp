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
    static constexpr QRgb kCream = qRgb(239, 239, 222);
    static constexpr QRgb kCreamXorYellow = qRgb(16, 16, 222);

    Harness h;
    DiagramCanvas *d = nullptr;

    QImage grabDiagram() const { return d->grab().toImage().convertToFormat(QImage::Format_RGB32); }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
        QVERIFY(writeYearFile(h.yearFile(2026), sampleYear(2026, 60, 11)));
        h.start();
        QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
        d = h.window->diagram;
    }

    void pressMoveReleaseLeavesTheDiagramAsItWas()
    {
        const QImage before = grabDiagram();
        QTest::mousePress(d, Qt::LeftButton, {}, QPoint(100, 100));
        QCOMPARE(h.window->CrossX, float(100 * 365.0 / 726.0));
        QCOMPARE(h.window->CrossY, float(100 / 4.2));
        QCOMPARE(h.window->lblXCord->text(), QStringLiteral("2026-02-20"));
        QCOMPARE(h.window->lblYCord->text(), QStringLiteral("16.2 C"));
        QImage on = grabDiagram();
        // Dotted, starting at the top edge and the left edge, in exclusive-or.
        QCOMPARE(on.pixel(100, 330), qRgb(qRed(before.pixel(100, 330)) ^ 255,
                                          qGreen(before.pixel(100, 330)) ^ 255, qBlue(before.pixel(100, 330))));
        QCOMPARE(on.pixel(100, 331), before.pixel(100, 331));
        QCOMPARE(on.pixel(0, 100), qRgb(qRed(before.pixel(0, 100)) ^ 255,
                                        qGreen(before.pixel(0, 100)) ^ 255, qBlue(before.pixel(0, 100))));

        QTest::mouseMove(d, QPoint(300, 200));
        QTest::mouseMove(d, QPoint(301, 201));
        on = grabDiagram();
        QCOMPARE(on.pixel(100, 330), before.pixel(100, 330)); // the old line is gone
        QCOMPARE(h.window->CrossX, float(301 * 365.0 / 726.0));
        QCOMPARE(h.window->lblYCord->text(), QStringLiteral("-7.9 C"));
        QCOMPARE(on.pixel(301, 330) ^ before.pixel(301, 330), 0x00ffff00u);

        QTest::mouseRelease(d, Qt::LeftButton, {}, QPoint(301, 201));
        QCOMPARE(grabDiagram(), before);
        QVERIFY(!d->hasXorLines());
        QCOMPARE(h.window->lblXCord->text(), QString());
        QCOMPARE(h.window->lblYCord->text(), QString());
    }

    void crossHairOverTheBackgroundIsDarkBlue()
    {
        // Row 1 of the inner area is background everywhere the curves leave it.
        QTest::mousePress(d, Qt::LeftButton, {}, QPoint(3, 1));
        const QImage on = grabDiagram();
        QTest::mouseRelease(d, Qt::LeftButton, {}, QPoint(3, 1));
        QCOMPARE(d->keptImage().pixel(724, 1), kCream);
        QCOMPARE(on.pixel(724, 1), kCreamXorYellow);
    }

    void rightButtonReadsPressure()
    {
        QTest::mousePress(d, Qt::RightButton, {}, QPoint(50, 168));
        QCOMPARE(h.window->lblYCord->text(), QStringLiteral("QNH  1013"));
        QTest::mouseMove(d, QPoint(50, 166));
        QCOMPARE(h.window->lblYCord->text(), QStringLiteral("QNH  1013")); // 1013.5 rounds down
        QTest::mouseRelease(d, Qt::RightButton, {}, QPoint(50, 166));
    }

    void middleButtonShowsTheDateOnly()
    {
        const QImage before = grabDiagram();
        h.window->lblYCord->setText(QStringLiteral("kvar"));
        QTest::mousePress(d, Qt::MiddleButton, {}, QPoint(10, 10));
        QCOMPARE(h.window->lblXCord->text(), QStringLiteral("2026-01-06"));
        QCOMPARE(h.window->lblYCord->text(), QStringLiteral("kvar"));
        const QImage pressed = grabDiagram();
        QVERIFY(pressed != before);
        h.window->picDiagram_MouseMove(4, 0, 100.0f, 20.0f);
        QCOMPARE(grabDiagram(), pressed);
        QTest::mouseRelease(d, Qt::MiddleButton, {}, QPoint(10, 10));
        QCOMPARE(grabDiagram(), before);
    }

    void movesWithNoneOrTwoButtonsChangeNothing_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::newRow("none") << 0;
        QTest::newRow("left and right") << 3;
        QTest::newRow("left and middle") << 5;
    }

    void movesWithNoneOrTwoButtonsChangeNothing()
    {
        QFETCH(int, buttons);
        QTest::mousePress(d, Qt::LeftButton, {}, QPoint(20, 20));
        const QImage pressed = grabDiagram();
        const QString x = h.window->lblXCord->text(), y = h.window->lblYCord->text();
        h.window->picDiagram_MouseMove(buttons, 0, 200.0f, 60.0f);
        QCOMPARE(grabDiagram(), pressed);
        QCOMPARE(h.window->lblXCord->text(), x);
        QCOMPARE(h.window->lblYCord->text(), y);
        QCOMPARE(h.window->CrossX, float(20 * 365.0 / 726.0));
        QTest::mouseRelease(d, Qt::LeftButton, {}, QPoint(20, 20));
    }

    void tableToggleAndClickHide()
    {
        QVERIFY(!h.window->List1->isVisible());
        h.window->mnuData->trigger();
        QVERIFY(h.window->List1->isVisible());
        h.window->mnuData->trigger();
        QVERIFY(!h.window->List1->isVisible());
        h.window->mnuData->trigger();
        QTest::mouseClick(d, Qt::LeftButton, {}, QPoint(30, 30));
        QVERIFY(!h.window->List1->isVisible());
        QTest::mouseClick(d, Qt::LeftButton, {}, QPoint(30, 30));
        QVERIFY(!h.window->List1->isVisible());
    }

    void tableListsEveryRecordAndShowsTheNewest()
    {
        const DataTableModel *model = h.window->tableModel();
        const std::vector<DataRecord> records = sampleYear(2026, 60, 11);
        QCOMPARE(model->rowCount(), int(records.size()));
        QCOMPARE(model->index(0).data().toString(), dataRow(records.front(), QLocale()));
        QCOMPARE(h.window->Label1[1]->text(), QStringLiteral("QNH") + qnhPiece(records.back().qnh));

        h.window->mnuData->trigger();
        DataListBox *list = h.window->List1;
        QCOMPARE(list->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(list->listCount(), int(records.size()));
        // Scrolled as far as it goes towards the last row: the newest rows fill the view.
        QCOMPARE(list->topIndex(), list->listCount() - list->visibleRows());
        QVERIFY(list->visibleRows() > 10);
        h.window->mnuVisaAllt_Click(); // refilled and hidden
        QVERIFY(!list->isVisible());
    }
};

QTEST_MAIN(tst_Readout)
#include "tst_readout.moc"

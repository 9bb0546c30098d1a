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

    QImage grabDiagram() const { return d->grab().toImage().convertToFormat(QImage::Format_RGB32); }
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
        d = h.window->diagram;
    }

    void pressMoveReleaseLeavesTheDiagramAsItWas()
    {
        const QImage before = grabDiagram();
        // The cross-hair is dotted yellow in exclusive-or, from edge to edge.
        const auto flipped = [&before](const QImage &on, int x, int y) {
            return (on.pixel(x, y) ^ before.pixel(x, y)) == 0x00ffff00u;
        };
        QTest::mousePress(d, Qt::LeftButton, {}, QPoint(100, 100));
        QCOMPARE(h.window->lblXCord->text(), QStringLiteral("2026-02-20"));
        QCOMPARE(h.window->lblYCord->text(), QStringLiteral("16.2 C"));
        QImage on = grabDiagram();
        QVERIFY(flipped(on, 100, 330) && flipped(on, 0, 100) && flipped(on, 724, 100));
        QCOMPARE(on.pixel(100, 331), before.pixel(100, 331));

        QTest::mouseMove(d, QPoint(300, 200));
        QTest::mouseMove(d, QPoint(301, 201));
        on = grabDiagram();
        QCOMPARE(on.pixel(100, 330), before.pixel(100, 330)); // the old line is gone
        QCOMPARE(h.window->lblYCord->text(), QStringLiteral("-7.9 C"));
        QVERIFY(flipped(on, 301, 330));

        QTest::mouseRelease(d, Qt::LeftButton, {}, QPoint(301, 201));
        QCOMPARE(grabDiagram(), before);
        QVERIFY(!d->hasXorLines());
        QCOMPARE(h.window->lblXCord->text() + h.window->lblYCord->text(), QString());
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
            << int(Qt::MiddleButton) << QPoint(10, 10) << "2026-01-06" << "kvar";
    }
    void otherButtonsRead()
    {
        QFETCH(int, button);
        QFETCH(QPoint, at);
        QFETCH(QString, date);
        QFETCH(QString, value);
        const QImage before = grabDiagram();
        h.window->lblYCord->setText(QStringLiteral("kvar"));
        QTest::mousePress(d, Qt::MouseButton(button), {}, at);
        QCOMPARE(h.window->lblXCord->text(), date);
        QCOMPARE(h.window->lblYCord->text(), value);
        QVERIFY(grabDiagram() != before); // the cross-hair
        QTest::mouseRelease(d, Qt::MouseButton(button), {}, at);
        QCOMPARE(grabDiagram(), before);
    }

    void movesWithNoneOrTwoButtonsChangeNothing_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::newRow("none") << 0;
        QTest::newRow("left and right") << 3;
        QTest::newRow("left and middle") << 5;
        QTest::newRow("middle") << 4;
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
        QCOMPARE(h.window->CrossX, 10.0f); // column 20 holds the bar of x 10
        QTest::mouseRelease(d, Qt::LeftButton, {}, QPoint(20, 20));
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

    void pointerInTheTableBelongsToTheTable_data()
    {
        QTest::addColumn<QString>("gesture");
        QTest::newRow("left click") << "left";
        QTest::newRow("right click") << "right";
        QTest::newRow("double click") << "double";
        QTest::newRow("left drag") << "drag";
    }
    void pointerInTheTableBelongsToTheTable()
    {
        QFETCH(QString, gesture);
        const QImage before = ownPicture();
        h.window->mnuData_Click();
        DataListBox *list = h.window->List1;
        QWidget *rows = list->viewport();
        const QPoint row(40, 30), lower(60, 120);
        if (gesture == QLatin1String("left") || gesture == QLatin1String("right"))
            QTest::mouseClick(rows, gesture == QLatin1String("left") ? Qt::LeftButton : Qt::RightButton,
                              {}, row);
        else if (gesture == QLatin1String("double"))
            QTest::mouseDClick(rows, Qt::LeftButton, {}, row);
        else {
            QTest::mousePress(rows, Qt::LeftButton, {}, row);
            QTest::mouseMove(rows, lower);
            QTest::mouseRelease(rows, Qt::LeftButton, {}, lower);
        }
        QVERIFY(list->isVisible());
        QCOMPARE(ownPicture(), before);
        QCOMPARE(h.window->lblXCord->text() + h.window->lblYCord->text(), QString());

        // A read-out on the diagram afterwards leaves it as it was, and its
        // click outside the table puts the table away.
        QTest::mousePress(d, Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseMove(d, QPoint(120, 90));
        QTest::mouseRelease(d, Qt::LeftButton, {}, QPoint(120, 90));
        QCOMPARE(ownPicture(), before);
        QVERIFY(!list->isVisible());
    }

    void secondButtonDuringAReadOutLeavesNothingBehind()
    {
        const QImage before = ownPicture();
        QTest::mousePress(d, Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mousePress(d, Qt::RightButton, Qt::NoModifier, QPoint(200, 50));
        QTest::mouseRelease(d, Qt::LeftButton, {}, QPoint(200, 50));
        QTest::mouseRelease(d, Qt::RightButton, {}, QPoint(200, 50));
        QCOMPARE(ownPicture(), before);
    }
};

QTEST_MAIN(tst_Readout)
#include "tst_readout.moc"

#include "DataListBox.h"

#include <QStringListModel>
#include <QtTest>

// The list box's scrolling by whole rows, and what it asks the model for.
class tst_DataListBox : public QObject
{
    Q_OBJECT

private:
    static QStringList rows(int n)
    {
        QStringList out;
        for (int i = 0; i < n; ++i)
            out << QStringLiteral("rad %1").arg(i);
        return out;
    }

private slots:
    void topIndexGoesAsFarAsItCan_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("asked");
        QTest::addColumn<int>("expectedFromEnd"); // -1: expect exactly `asked`
        QTest::newRow("last row of many") << 1000 << 999 << 0;
        QTest::newRow("a row in the middle") << 1000 << 500 << -1;
        QTest::newRow("fewer rows than fit") << 3 << 2 << -2;
        QTest::newRow("empty, row -1") << 0 << -1 << -2;
    }

    void topIndexGoesAsFarAsItCan()
    {
        QFETCH(int, rows);
        QFETCH(int, asked);
        QFETCH(int, expectedFromEnd);
        QStringListModel model(tst_DataListBox::rows(rows));
        DataListBox box;
        box.resize(200, 160);
        box.setModel(&model);
        box.setTopIndex(asked);
        if (expectedFromEnd == -1)
            QCOMPARE(box.topIndex(), asked);
        else if (expectedFromEnd == -2)
            QCOMPARE(box.topIndex(), 0);
        else
            QCOMPARE(box.topIndex(), rows - box.visibleRows());
        QCOMPARE(box.listCount(), rows);
    }

    void resetScrollsBackAndKeysMoveTheCurrentRow()
    {
        QStringListModel model(rows(100));
        DataListBox box;
        box.resize(200, 160);
        box.setModel(&model);
        box.setTopIndex(99);
        QVERIFY(box.topIndex() > 0);
        model.setStringList(rows(5));
        QCOMPARE(box.topIndex(), 0);
        QCOMPARE(box.currentRow(), -1);
        model.setStringList(rows(100));
        QTest::keyClick(&box, Qt::Key_End);
        QCOMPARE(box.currentRow(), 99);
        QCOMPARE(box.topIndex(), 100 - box.visibleRows());
        QTest::keyClick(&box, Qt::Key_Home);
        QCOMPARE(box.currentRow(), 0);
        QCOMPARE(box.topIndex(), 0);
    }

    void paintsTheRowsInView()
    {
        QStringListModel model(rows(50));
        DataListBox box;
        box.resize(200, 160);
        box.setModel(&model);
        box.setTopIndex(10);
        const QImage shot = box.viewport()->grab().toImage();
        // Only what is in view is painted: the first visible row has text.
        bool ink = false;
        for (int x = 0; x < 60 && !ink; ++x)
            for (int y = 0; y < box.rowHeight() && !ink; ++y)
                ink = shot.pixel(x, y) != shot.pixel(199, 0);
        QVERIFY(ink);
        QCOMPARE(box.topIndex(), 10);
    }
};

QTEST_MAIN(tst_DataListBox)
#include "tst_datalistbox.moc"

#include "DataListBox.h"

#include <QStringListModel>
#include <QtTest>

class tst_DataListBox : public QObject
{
    Q_OBJECT

    QStringListModel model;
    DataListBox box;

private slots:
    void initTestCase()
    {
        box.resize(200, 160);
        box.setModel(&model);
    }

    void scrollsByWholeRows_data()
    {
        QTest::addColumn<int>("rows");  // a reset of the model the row before left
        QTest::addColumn<int>("asked"); // as the top row
        QTest::addColumn<int>("top");
        QTest::newRow("a row in the middle") << 1000 << 500 << 500;
        QTest::newRow("fewer rows than fit") << 3 << 2 << 0;
        QTest::newRow("empty, row -1") << 0 << -1 << 0;
    }
    void scrollsByWholeRows()
    {
        QFETCH(int, rows);
        QFETCH(int, asked);
        QFETCH(int, top);
        model.setStringList(QStringList(rows, "rad"));
        const int lastPage = qMax(0, rows - box.visibleRows());
        QVERIFY(box.currentRow() == -1 && box.topIndex() <= lastPage);
        box.setTopIndex(asked);
        QCOMPARE(box.topIndex(), top);
        QTest::keyClick(&box, Qt::Key_Home);
        QVERIFY(box.currentRow() == qMin(0, rows - 1) && box.topIndex() == 0);
        QTest::keyClick(&box, Qt::Key_End);
        QVERIFY(box.currentRow() == rows - 1 && box.topIndex() == lastPage);
    }
};

QTEST_MAIN(tst_DataListBox)
#include "tst_datalistbox.moc"

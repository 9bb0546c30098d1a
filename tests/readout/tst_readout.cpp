// The data table's rows, its model and its list, and the read-out's captions.
#include "DataColumns.h"
#include "DataListBox.h"
#include "DataRow.h"
#include "DataTableModel.h"
#include "DayNumber.h"
#include "ReadoutCaptions.h"
#include "SampleYear.h"

#include <QRegularExpression>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

constexpr std::int32_t kNewYear2003 = 37622;
const QLocale kFinnish(QLocale::Finnish, QLocale::Finland); // "5,0" and "12.00"

class TestReadout : public QObject
{
    Q_OBJECT

    static constexpr DataTable<DataRecord, QString> kRows{"record", "row"}; // C locale
    // at: y for the temperature and QNH, x for the date; temperature: C locale (Swedish: comma)
    static constexpr DataTable<float, int, QString, QString, QString> kCaptions{
        "at", "year", "temperature", "pressure", "date"};
    // rows: a reset of the model the row before left; asked: as the top row.
    static constexpr DataTable<int, int, int> kScrolls{"rows", "asked", "top"};

    QStringListModel listModel;
    DataListBox box;

private slots:
    void initTestCase()
    {
        box.resize(200, 160);
        box.setModel(&listModel);
    }

    void rowHasFixedColumns_data()
    {
        kRows.addColumns();
        const auto row = [](float time, float temp, std::int32_t qnh, const char *text) {
            QTest::newRow(text) << DataRecord{kNewYear2003, time, qnh, temp}
                                << "2003-01-01        " + QString(text);
        };
        row(0.5f, 5.0f, 1013, "12:00           5.0  C     QNH 1013");
        row(float(45299.4 / 86400), -15.2f, -1, "12:34         -15.2  C     QNH-1");
        row(float(45299.6 / 86400), -3.4f, 0, "12:35          -3.4  C     QNH 0");
        row(float(86399.6 / 86400), -100.0f, 1013, "00:00             QNH 1013"); // too long
        row(1.5f, 999.95f, 1013, "12:00             QNH 1013");            // 999.95f is past half
        row(-1.25f, -99.95f, 1013, "06:00         -99.9  C     QNH 1013"); // and this short of it
        row(0, 0.25f, INT32_MIN, "00:00           0.3  C     QNH-2147483648"); // half away from 0
        row(0, -0.25f, INT32_MAX, "00:00          -0.3  C     QNH 2147483647");
        row(0, -0.04f, 1013, "00:00           0.0  C     QNH 1013"); // never "-0.0"
        row(0, -0.05f, 1013, "00:00          -0.1  C     QNH 1013"); // -0.05f is past half
        row(float(qQNaN()), float(qQNaN()), 1013, "--:--             QNH 1013");
        QTest::newRow("day beyond 9999") << DataRecord{INT32_MAX, 0, 0, 0}
                                         << "----------        00:00           0.0  C     QNH 0";
    }
    void rowHasFixedColumns()
    {
        const auto [record, row] = kRows.row();
        QCOMPARE(dataRow(record, QLocale::c()), row);
        QCOMPARE(dataRow(record, kFinnish),
                 QString(row).replace('.', ',').replace(QRegularExpression("(\\d):"), "\\1."));
        QVERIFY(row.endsWith(lastQnhCaption(record.qnh))); // the heading's piece, as "QNH-1"
    }

    void modelReadsItsRowsFromTheFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("T_2003.dat");
        std::vector<DataRecord> records; // more than one read's worth of rows
        for (int i = 0; i < 300; ++i)
            records.push_back({kNewYear2003 + i / 10, 0.5f, 1000 + i, float(i) / 10});
        QVERIFY(writeYearFile(path, records));

        QLocale::setDefault(kFinnish);
        DataTableModel model; // in the user's locale
        QLocale::setDefault(QLocale::c());
        QAbstractItemModelTester tester(&model);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.setFile(path, 300);
        QCOMPARE(model.data(model.index(299)).toString(), dataRow(records[299], kFinnish));
        QVERIFY(!model.data(model.index(1), Qt::EditRole).isValid());
        model.setLocale(QLocale::c());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(model.data(model.index(1)).toString(), dataRow(records[1], QLocale::c()));

        // Shortened by another program: the rows it still holds, then empty rows.
        QVERIFY(QFile::resize(path, 100 * 16 + 5));
        model.setFile(path, 300);
        QCOMPARE(model.data(model.index(99)).toString(), dataRow(records[99], QLocale::c()));
        QCOMPARE(model.data(model.index(100)).toString(), QString());
        // Replaced by a pipe, which would block a plain read.
        QVERIFY(QFile::remove(path) && ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        QCOMPARE(model.data(model.index(299)).toString(), QString());

        model.clear();
        QCOMPARE(model.rowCount(), 0);
    }
    void captionsOfAPointerPosition_data()
    {
        kCaptions.addColumns();
        const auto row = [](float at, int year, const char *t, const char *p, const char *d) {
            QTest::addRow("%g in %d", double(at), year) << at << year << t << p << d;
        };
        row(27.66f, 2003, "12.3 C", "QNH  1025", "2003-01-28");
        row(45.0f, 2003, "-5 C", "QNH  1008", "2003-02-15");
        row(39.75f, 2003, "0.2 C", "QNH  1013", "2003-02-09"); // halves to even, as floats are
        row(39.25f, 2003, "0.8 C", "QNH  1013", "2003-02-09");
        row(40.25f, 2003, "-0.2 C", "QNH  1012", "2003-02-10");
        row(40.04f, 2003, "0 C", "QNH  1012", "2003-02-10");  // never "-0 C"
        row(39.5f, 2003, "0.5 C", "QNH  1013", "2003-02-09"); // 1013.5 hPa shows as 1013
        row(1e-30f, 2003, "40 C", "QNH  1052", "2003-01-01");
        row(-0.2f, 2003, "40.2 C", "QNH  1053", "2002-12-31");
        row(365.0f, 2003, "-325 C", "QNH  688", "2004-01-01");
        row(0.0f, 1, "40 C", "QNH  1053", "0001-01-01");
        row(-0.5f, 1, "40.5 C", "QNH  1053", "");
        row(364.5f, 9999, "-324.5 C", "QNH  688", "9999-12-31");
        row(365.0f, 9999, "-325 C", "QNH  688", "");
        row(3e38f, 2003, "", "", "");
        row(float(qQNaN()), 2003, "", "", "");
    }
    void captionsOfAPointerPosition()
    {
        const auto [at, year, temperature, pressure, date] = kCaptions.row();
        QCOMPARE(temperatureCaption(at, QLocale::c()), temperature);
        QCOMPARE(temperatureCaption(at, QLocale(QLocale::Swedish)),
                 QString(temperature).replace('.', ','));
        QCOMPARE(pressureCaption(at), pressure);
        QCOMPARE(dateCaption(at, std::int32_t(DayNumber::fromDate(QDate(year, 1, 1)))), date);
    }

    void scrollsByWholeRows_data()
    {
        kScrolls.addColumns();
        QTest::newRow("a row in the middle") << 1000 << 500 << 500;
        QTest::newRow("fewer rows than fit") << 3 << 2 << 0;
        QTest::newRow("empty, row -1") << 0 << -1 << 0;
    }
    void scrollsByWholeRows()
    {
        const auto [rows, asked, top] = kScrolls.row();
        listModel.setStringList(QStringList(rows, "rad"));
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

QTEST_MAIN(TestReadout)
#include "tst_readout.moc"

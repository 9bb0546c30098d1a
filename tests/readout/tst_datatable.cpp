#include "DataRow.h"
#include "DataTableModel.h"
#include "SampleYear.h"

#include <QAbstractItemModelTester>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

constexpr std::int32_t kNewYear2003 = 37622;
const QLocale kFinnish(QLocale::Finnish, QLocale::Finland); // "5,0" and "12.00"

class TestDataTable : public QObject
{
    Q_OBJECT

private slots:
    void rowHasFixedColumns_data()
    {
        QTest::addColumn<DataRecord>("record");
        QTest::addColumn<QString>("row"); // C locale
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
        QFETCH(DataRecord, record);
        QFETCH(QString, row);
        QCOMPARE(dataRow(record, QLocale::c()), row);
        row.replace('.', ',').replace(QRegularExpression("(\\d):"), "\\1.");
        QCOMPARE(dataRow(record, kFinnish), row);
    }

    void captionShowsTheLastRecordsQnh() { QCOMPARE(lastQnhCaption(-1), "QNH-1"); }

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
};

QTEST_APPLESS_MAIN(TestDataTable)
#include "tst_datatable.moc"

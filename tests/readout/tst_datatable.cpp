#include "DataRow.h"
#include "DataTableModel.h"
#include "DayNumber.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include <limits>

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr std::int32_t kMinInt = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMaxInt = std::numeric_limits<std::int32_t>::max();

const QLocale kPoint = QLocale::c();
const QLocale kComma(QLocale::Swedish, QLocale::Sweden);
const QLocale kFinnish(QLocale::Finnish, QLocale::Finland); // "12.00"

const auto kNewYear2003 = std::int32_t(DayNumber::fromDate(QDate(2003, 1, 1)));

float clock(int h, int m, double s)
{
    return float((h * 3600 + m * 60 + s) / 86400.0);
}

} // namespace

class TestDataTable : public QObject
{
    Q_OBJECT

private slots:
    void rowHasFixedColumns_data()
    {
        QTest::addColumn<DataRecord>("record");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("row");
        const auto at = [](float temp, std::int32_t qnh) {
            return DataRecord{kNewYear2003, 0.5f, qnh, temp};
        };
        const QString head = "2003-01-01        12:00        ";
        QTest::newRow("5.0") << at(5.0f, 1013) << kPoint << head + "   5.0  C     QNH 1013";
        QTest::newRow("-100.0 left out") << at(-100.0f, 1013) << kPoint << head + "     QNH 1013";
        QTest::newRow("QNH -1") << at(-15.2f, -1) << kPoint << head + " -15.2  C     QNH-1";
        QTest::newRow("QNH 0") << at(5.0f, 0) << kPoint << head + "   5.0  C     QNH 0";
        QTest::newRow("QNH max") << at(5.0f, kMaxInt) << kPoint
                                 << head + "   5.0  C     QNH 2147483647";
        QTest::newRow("QNH min") << at(5.0f, kMinInt) << kPoint
                                 << head + "   5.0  C     QNH-2147483648";
        QTest::newRow("Finnish") << at(5.0f, 1013) << kFinnish
                                 << "2003-01-01        12.00           5,0  C     QNH 1013";
        QTest::newRow("day 0") << DataRecord{} << kPoint
                               << "1899-12-30        00:00           0.0  C     QNH 0";
        QTest::newRow("day beyond 9999") << DataRecord{kMaxInt, 0.5f, 1013, 5.0f} << kPoint
                                         << "----------        12:00           5.0  C     QNH 1013";
    }
    void rowHasFixedColumns()
    {
        QFETCH(DataRecord, record);
        QFETCH(QLocale, locale);
        QFETCH(QString, row);
        QCOMPARE(dataRow(record, locale), row);
    }

    void temperaturePieceRoundsHalfAwayFromZero_data()
    {
        QTest::addColumn<float>("temp");
        QTest::addColumn<QString>("point");
        QTest::addColumn<QString>("comma");
        QTest::newRow("5.0") << 5.0f << "   5.0  C"
                             << "   5,0  C";
        QTest::newRow("-3.4") << -3.4f << "  -3.4  C"
                              << "  -3,4  C";
        QTest::newRow("-15.2") << -15.2f << " -15.2  C"
                               << " -15,2  C";
        QTest::newRow("-100.0 left out") << -100.0f << ""
                                         << "";
        QTest::newRow("999.95f past half") << 999.95f << ""
                                           << "";
        QTest::newRow("-99.95f short of half") << -99.95f << " -99.9  C"
                                               << " -99,9  C";
        QTest::newRow("0.25 up") << 0.25f << "   0.3  C"
                                 << "   0,3  C";
        QTest::newRow("-0.25 down") << -0.25f << "  -0.3  C"
                                    << "  -0,3  C";
        QTest::newRow("-0.04 unsigned") << -0.04f << "   0.0  C"
                                        << "   0,0  C";
        QTest::newRow("-0.05f past half") << -0.05f << "  -0.1  C"
                                          << "  -0,1  C";
        QTest::newRow("NaN") << kNaN << ""
                             << "";
        QTest::newRow("infinite") << -kInf << ""
                                  << "";
    }
    void temperaturePieceRoundsHalfAwayFromZero()
    {
        QFETCH(float, temp);
        QFETCH(QString, point);
        QFETCH(QString, comma);
        QCOMPARE(temperaturePiece(temp, kPoint), point);
        QCOMPARE(temperaturePiece(temp, kComma), comma);
    }

    void timeRoundsToTheSecond_data()
    {
        QTest::addColumn<float>("fraction");
        QTest::addColumn<QString>("text");
        QTest::newRow("midnight") << 0.0f << "00:00";
        QTest::newRow("noon") << 0.5f << "12:00";
        QTest::newRow("seconds dropped") << clock(12, 34, 59.4) << "12:34";
        QTest::newRow("next minute") << clock(12, 34, 59.6) << "12:35";
        QTest::newRow("into next day") << clock(23, 59, 59.6) << "00:00";
        QTest::newRow("just below 1") << 0.99999994f << "00:00";
        QTest::newRow("day and a half") << 1.5f << "12:00";
        QTest::newRow("negative") << -1.25f << "06:00";
        QTest::newRow("NaN") << kNaN << "--:--";
        QTest::newRow("infinite") << kInf << "--:--";
    }
    void timeRoundsToTheSecond()
    {
        QFETCH(float, fraction);
        QFETCH(QString, text);
        QCOMPARE(timeOfDayText(fraction, kPoint), text);
    }

    void lastQnhCaptionShowsLastRecord()
    {
        QCOMPARE(lastQnhCaption({}), "QNH 0");
        const std::vector<DataRecord> records{{1, 0, 1013, 0}, {1, 0, -5, 0}};
        QCOMPARE(lastQnhCaption(records), "QNH-5");
        QCOMPARE(lastQnhCaption(std::span(records).first(1)), "QNH 1013");
    }

    void modelListsEveryWholeRecord()
    {
        std::vector<std::byte> bytes;
        const DataRecord first{kNewYear2003, 0.5f, 1013, 5.0f};
        const DataRecord second{kNewYear2003 + 1, 0.25f, -1, -100.0f};
        encodeRecord(first, bytes);
        encodeRecord(second, bytes);
        bytes.resize(40); // a partial third record is not listed

        DataTableModel model;
        QAbstractItemModelTester tester(&model);
        model.setLocale(kComma);
        model.setRecords(decodeRecords(bytes));
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.data(model.index(0)).toString(), dataRow(first, kComma));
        QCOMPARE(model.data(model.index(1)).toString(), dataRow(second, kComma));
        QVERIFY(!model.data(model.index(0), Qt::EditRole).isValid());

        model.setRecords(decodeRecords(std::span(bytes).first(15)));
        QCOMPARE(model.rowCount(), 0);
    }

    void modelResetsOnNewRecords()
    {
        DataTableModel model;
        QSignalSpy aboutToReset(&model, &QAbstractItemModel::modelAboutToBeReset);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        model.setRecords({DataRecord{}, DataRecord{}});
        QCOMPARE(reset.count(), 1);
        model.clear();
        QCOMPARE(aboutToReset.count(), 2);
        QCOMPARE(reset.count(), 2);
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.records().capacity(), 0u);
    }

    void modelFollowsTheLocale()
    {
        QLocale::setDefault(kFinnish);
        DataTableModel model;
        QLocale::setDefault(QLocale::c());
        model.setRecords({DataRecord{kNewYear2003, 0.5f, 1013, 5.0f}});
        QCOMPARE(model.data(model.index(0)).toString().mid(18, 5), "12.00");

        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.setLocale(kPoint);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(model.data(model.index(0)).toString().mid(18, 5), "12:00");
    }
};

QTEST_APPLESS_MAIN(TestDataTable)
#include "tst_datatable.moc"

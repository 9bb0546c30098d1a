#include "DataRow.h"
#include "DataTableModel.h"
#include "KalvikHarness.h"

#include <QProcess>
#include <QtTest>

// End to end: what the logger program writes, the window shows.
class tst_LoggerWindow : public QObject
{
    Q_OBJECT

private slots:
    void loggedSamplesShowInTheTable()
    {
        QTemporaryDir program; // the logger beside the stand-in sensor library
        const QString logger = program.filePath("kalvik-logger");
        QVERIFY(QFile::copy(KALVIK_LOGGER_PATH, logger));
        QVERIFY(QFile::copy(SMT160_DOUBLE_PATH, program.filePath("libSMT160.so")));
        for (const char *reading : {"18.5", "25.0", "21.0"}) {
            QFile text(program.filePath("smt160-reading.txt"));
            QVERIFY(text.open(QIODevice::WriteOnly | QIODevice::Truncate));
            text.write(reading);
            text.close();
            QProcess run;
            // --altitude: a barometer on the test machine would otherwise stop it.
            run.start(logger, {"--once", "--offset", "0", "--altitude", "0"});
            QVERIFY(run.waitForFinished(10000));
            QCOMPARE(run.exitCode(), 0);
        }

        const QStringList files = QDir(program.path()).entryList({"T_*.dat"});
        QCOMPARE(files.size(), 1);
        const std::vector<DataRecord> records = decodeRecords(std::as_bytes(
            std::span(fileBytes(program.filePath(files[0])).constData(), std::size_t(16 * 3))));
        const QDate day = DayNumber::toDate(records.front().dayNumber); // the file's year

        Harness h(QDateTime(day, QTime(12, 0)), program.path());
        h.start();
        const DataTableModel *table = h.window->tableModel();
        QCOMPARE(table->rowCount(), 3);
        const float temps[] = {18.5f, 25.0f, 21.0f};
        for (int row = 0; row < 3; ++row) {
            QCOMPARE(records[std::size_t(row)].temp, temps[row]);
            QCOMPARE(table->index(row).data().toString(),
                     dataRow(records[std::size_t(row)], table->locale()));
        }
    }
};

QTEST_MAIN(tst_LoggerWindow)
#include "tst_loggerwindow.moc"

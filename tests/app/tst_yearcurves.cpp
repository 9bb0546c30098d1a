#include "KalvikHarness.h"

#include <QtTest>

// A year file drawn onto the diagram at start-up, checked at the pixels of
// its bars and pressure vertices.
class tst_YearCurves : public QObject
{
    Q_OBJECT

private:
    static QColor at(const Harness &h, int x, int y) { return keptPixel(h, x, y); }

    static const inline QColor red{255, 0, 0}, blue{0, 0, 255}, purple{156, 0, 158},
        green{0, 116, 0}, cream{239, 239, 222};

private slots:
    void barsAndPressureLinesAtTheirPixels()
    {
        Harness h;
        const QDate jan1(2026, 1, 1);
        // Temperatures high in the diagram so that the bars stay clear of
        // the pressure vertices below them.
        const std::vector<DataRecord> records{
            sample(jan1, 0.1f, 0, 1.4f),              // x 0: bar y 39..37
            sample(jan1, 0.2f, 0, 2.6f),
            sample(jan1.addDays(1), 0.1f, 1010, 30.0f), // x 1: QNH 1010, 1015, 1012
            sample(jan1.addDays(1), 0.2f, 1015, 30.0f),
            sample(jan1.addDays(1), 0.3f, 1012, 30.0f),
            sample(jan1.addDays(2), 0.1f, 1020, 30.0f), // x 2: QNH 1020
            sample(jan1.addDays(10), 0.1f, 0, -3.5f),   // x 10: blue 44..40, red 40..38
            sample(jan1.addDays(10), 0.2f, 0, 2.0f),
        };
        QVERIFY(writeYearFile(h.yearFile(2026), records));
        const QByteArray before = fileBytes(h.yearFile(2026));
        h.start();
        QCOMPARE(h.dialogs->messages, QStringList());
        QCOMPARE(h.window->YearStartDay, std::int32_t(DayNumber::fromDate(jan1)));

        // x 0 is column 0; y 37 and 39 are rows 155 and 164 (4.2 pixels a unit).
        QCOMPARE(at(h, 0, 155), red);
        QCOMPARE(at(h, 0, 164), red);
        QCOMPARE(at(h, 0, 154), cream);
        QCOMPARE(at(h, 0, 165), cream);
        // x 10 is column 20: blue from y 44 (row 185) up to the 0 C line,
        // then red from there to y 38 (row 160).
        QCOMPARE(at(h, 20, 185), blue);
        QCOMPARE(at(h, 20, 169), blue);
        QCOMPARE(at(h, 20, 168), red);
        QCOMPARE(at(h, 20, 160), red);
        QCOMPARE(at(h, 20, 159), cream);
        QCOMPARE(at(h, 19, 175), cream);
        // The highest pressures: 1015 at x 1 (column 2, y 38 = row 160) to
        // 1020 at x 2 (column 4, y 33 = row 139); the lowest: 1010 (row 181)
        // to 1020, drawn last.
        QCOMPARE(at(h, 2, 160), purple);
        QCOMPARE(at(h, 2, 181), green);
        QCOMPARE(at(h, 4, 139), green);
        QCOMPARE(h.window->QNHSeries,
                 std::vector<std::int32_t>({h.window->YearStartDay + 1, 1010, h.window->YearStartDay + 2, 1020}));
        QCOMPARE(fileBytes(h.yearFile(2026)), before);
    }

    void dayOfZeroDegreesDrawsItsWholeBar()
    {
        Harness h;
        const QDate day(2026, 2, 1); // x 31, column 62
        QVERIFY(writeYearFile(h.yearFile(2026),
                              std::vector<DataRecord>{sample(day, 0.1f, 1000, -2.0f),
                                                      sample(day, 0.2f, 1000, 0.0f),
                                                      sample(day.addDays(1), 0.1f, 1000, 3.0f)}));
        h.start();
        QCOMPARE(h.dialogs->messages, QStringList());
        // -2 to 0: blue from y 42 (row 176) to the 0 C line.
        QCOMPARE(at(h, 62, 176), blue);
        QCOMPARE(at(h, 62, 169), blue);
        QCOMPARE(h.window->DayValues, std::vector<float>({3.0f}));
    }

    void unopenableFileIsReportedByEachReader()
    {
        Harness h;
        h.start();
        const QImage empty = h.window->diagram->keptImage();
        h.window->DataFileName = h.dir.filePath(QStringLiteral("missing/T_2026.dat"));
        h.window->mnuVisaAllt_Click();
        QCOMPARE(h.dialogs->messages, QStringList({"Fel i Sub GetQNHRecordData", "Fel i Sub GetRecordData",
                                                   "Fel i Sub VisaData"}));
        QCOMPARE(h.window->diagram->keptImage(), empty);
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(tst_YearCurves)
#include "tst_yearcurves.moc"

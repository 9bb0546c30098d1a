#include "KalvikHarness.h"
#include "YearExport.h"
#include "YearFile.h"

#include <QLabel>
#include <QProcess>
#include <QtTest>

#include <limits>

// kalvik-export: the chart is the window's picture, the table is the file's
// records as text, and a bad name or option stops with a Swedish line.
class tst_Export : public QObject
{
    Q_OBJECT

private:
    static std::vector<DataRecord> year(const QString &kind)
    {
        if (kind == QLatin1String("leap")) {
            const QDate jan1(2024, 1, 1); // 1 March at x 60, 31 December at x 365
            return {sample(jan1, 0.1f, 1000, -12.0f), sample(jan1.addDays(60), 0.1f, 1013, 4.5f),
                    sample(jan1.addDays(365), 0.1f, 1030, 20.5f)};
        }
        const QDate jan1(2026, 1, 1);
        return {
            sample(jan1, 0.1f, 0, 1.4f),
            sample(jan1, 0.2f, 0, 2.6f),
            sample(jan1.addDays(1), 0.1f, 1010, 30.0f),
            sample(jan1.addDays(1), 0.2f, 1015, 30.0f),
            sample(jan1.addDays(2), 0.1f, 1020, 30.0f),
            sample(jan1.addDays(10), 0.1f, 0, -3.5f), // crosses 0 C; -3.5 rounds to even
            sample(jan1.addDays(10), 0.2f, 0, 2.0f),
            sample(jan1.addDays(40), 0.1f, 990, 2.5f), // halves: 2.5 and 3.5
            sample(jan1.addDays(40), 0.2f, 996, 3.5f),
        };
    }

    static QImage exported(const QString &file, ChartView view, double scale, const QString &png)
    {
        ExportOptions options;
        options.yearFile = file;
        options.png = png;
        options.view = view;
        options.scale = scale;
        const ExportResult result = runExport(options);
        return result.exitCode == 0 ? QImage(png).convertToFormat(QImage::Format_RGB32) : QImage();
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden)); }

    void chartIsTheWindowsPicture_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("item"); // the view chosen after start-up
        QTest::addColumn<ChartView>("view");
        QTest::addColumn<QPoint>("pixel"); // of the inner diagram, and its colour there
        QTest::addColumn<QColor>("color");
        const QColor blue(0, 0, 255), red(255, 0, 0), green(0, 116, 0);
        // x 10 is column 20, y 44 row 185; x 1 column 2, QNH 1010 row 181.
        QTest::newRow("both") << "2026"
                              << "" << ChartView::Both << QPoint(20, 185) << blue;
        QTest::newRow("temp") << "2026"
                              << "mnuTemp" << ChartView::Temperature << QPoint(20, 185) << blue;
        QTest::newRow("pressure") << "2026"
                                  << "mnuQNH" << ChartView::Pressure << QPoint(2, 181) << green;
        // 1 March 2024 is x 60 (column 119); 4.5 C is y 35.5, rounded to 36 (row 151).
        QTest::newRow("leap year") << "leap"
                                   << "" << ChartView::Both << QPoint(119, 151) << red;
    }
    void chartIsTheWindowsPicture()
    {
        QFETCH(QString, kind);
        QFETCH(QString, item);
        QFETCH(ChartView, view);
        QFETCH(QPoint, pixel);
        QFETCH(QColor, color);
        const int yearNumber = kind == QLatin1String("leap") ? 2024 : 2026;
        Harness h(QDateTime(QDate(yearNumber, 6, 1), QTime(12, 0)));
        QVERIFY(writeYearFile(h.yearFile(yearNumber), year(kind)));
        const QByteArray before = fileBytes(h.yearFile(yearNumber));
        h.start();
        if (!item.isEmpty())
            h.window->findChild<QAction *>(item)->trigger();
        // The chart leaves out the reading of right now.
        for (QLabel *l :
             {h.window->lblTempC, h.window->lblRubrik[0], h.window->Image1[0], h.window->Image1[1]})
            l->hide();
        const QImage window =
            h.window->centralWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);

        const QImage chart =
            exported(h.yearFile(yearNumber), view, 1.0, h.dir.filePath(QStringLiteral("c.png")));
        QCOMPARE(chart.size(), window.size());
        QCOMPARE(chart, window);
        const QRect inner(h.window->diagram->mapTo(h.window->centralWidget(), QPoint(0, 0)),
                          h.window->diagram->size());
        QCOMPARE(QColor(chart.copy(inner).pixel(pixel)), color);
        QCOMPARE(fileBytes(h.yearFile(yearNumber)), before);
    }
    void scaleTwoDrawsTwiceAsLarge()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("T_2026.dat"));
        QVERIFY(writeYearFile(file, year(QStringLiteral("2026"))));
        const QImage one = exported(file, ChartView::Both, 1.0, dir.filePath("1.png"));
        const QImage two = exported(file, ChartView::Both, 2.0, dir.filePath("2.png"));
        QCOMPARE(two.size(), one.size() * 2);
        // The bar of x 10 (blue from y 44 to 40): two device columns wide,
        // from row 2 x 185 down to the 0 C line; the inner area starts at
        // pixel (54, 32) of the window's layout.
        const QPoint inner(2 * 54, 2 * 32);
        const QRgb blue = qRgb(0, 0, 255), cream = qRgb(239, 239, 222);
        for (int row : {2 * 170, 2 * 185}) {
            const int y = inner.y() + row;
            QCOMPARE(two.pixel(inner.x() + 39, y), cream);
            QCOMPARE(two.pixel(inner.x() + 40, y), blue);
            QCOMPARE(two.pixel(inner.x() + 41, y), blue);
            QCOMPARE(two.pixel(inner.x() + 42, y), cream);
        }
    }

    void csvIsTheRecordsAsText()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("T_2026.dat"));
        const QDate jan1(2026, 1, 1);
        const float inf = std::numeric_limits<float>::infinity();
        QVERIFY(writeYearFile(file, std::vector<DataRecord>{
                                        sample(jan1, 0.0f, 1013, 21.3f),
                                        sample(jan1, 0.5f, 0, -3.5f),      // QNH 0: no reading
                                        sample(jan1, 0.75f, 998, qQNaN()), // no temperature
                                        sample(jan1.addDays(1), 0.99999f, 1000, -inf),
                                        DataRecord{0, 0.25f, 1, 0.0f}, // day 0
                                    }));
        QFile f(file);
        QVERIFY(f.open(QIODevice::Append) && f.write(QByteArray(8, '\x7f')) == 8);
        f.close();
        const QByteArray before = fileBytes(file);

        ExportOptions options;
        options.yearFile = file;
        options.csv = dir.filePath(QStringLiteral("t.csv"));
        QCOMPARE(runExport(options).exitCode, 0);
        // 0.99999 of a day is 23:59:59; the locale's decimal comma is not used.
        QCOMPARE(fileBytes(options.csv), QByteArray("date,time,temperature_c,qnh_hpa\n"
                                                    "2026-01-01,00:00,21.3,1013\n"
                                                    "2026-01-01,12:00,-3.5,\n"
                                                    "2026-01-01,18:00,,998\n"
                                                    "2026-01-02,23:59,,1000\n"
                                                    "1899-12-30,06:00,0,1\n"));
        QCOMPARE(fileBytes(file), before);
    }

    void refusesWithOneSwedishLine_data()
    {
        QTest::addColumn<QStringList>("arguments"); // %1 is a folder of the test
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const auto row = [](const char *name, QStringList arguments, int code,
                            const char *message) {
            QTest::newRow(name) << arguments << code << QString::fromUtf8(message);
        };
        row("no year in the name", {"%1/data.dat", "--csv", "%1/o.csv"}, 1,
            "%1/data.dat: namnet måste sluta på ett årtal och .dat, till exempel T_2026.dat");
        row("missing", {"%1/T_2025.dat", "--csv", "%1/o.csv"}, 1, "%1/T_2025.dat finns inte");
        row("over the limit", {"%1/T_2027.dat", "--png", "%1/o.png"}, 1,
            "%1/T_2027.dat: 536870928 byte är för stort för en årsfil (högst 536870912)");
        row("no value", {"%1/T_2026.dat", "--csv"}, 2, "Värde saknas efter '--csv'.");
        row("bad view", {"%1/T_2026.dat", "--png=%1/o.png", "--view", "all"}, 2,
            "--view all: välj both, temp eller pressure");
        row("bad scale", {"%1/T_2026.dat", "--png", "%1/o.png", "--scale", "0.5"}, 2,
            "--scale 0.5: skalan ska vara ett tal från 1 till 4");
        row("nothing asked", {"%1/T_2026.dat"}, 2, "ange --png, --csv eller båda");
    }
    void refusesWithOneSwedishLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(writeYearFile(dir.filePath("T_2026.dat"), year(QStringLiteral("2026"))));
        QVERIFY(writeYearFile(dir.filePath("data.dat"), year(QStringLiteral("2026"))));
        QFile large(dir.filePath("T_2027.dat")); // sparse: costs no disk
        QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(kMaxYearFileBytes + 16));
        large.close();
        for (QString &a : arguments)
            a.replace(QLatin1String("%1"), dir.path());

        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY")); // needs none
        tool.setProcessEnvironment(env);
        tool.start(QStringLiteral(KALVIK_EXPORT), arguments);
        QVERIFY(tool.waitForFinished(20000));
        QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tool.exitCode(), exitCode);
        const QStringList lines = QString::fromUtf8(tool.readAllStandardError()).split('\n');
        QCOMPARE(lines.first(), QStringLiteral("kalvik-export: ") +
                                    message.replace(QLatin1String("%1"), dir.path()));
        QCOMPARE(lines.size(), exitCode == 2 ? 3 : 2); // a usage line after an option error
        QVERIFY(!QFileInfo::exists(dir.filePath("o.csv")) &&
                !QFileInfo::exists(dir.filePath("o.png")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 3); // no file made or left
    }
};

QTEST_MAIN(tst_Export)
#include "tst_export.moc"

#include "DataColumns.h"
#include "KalvikHarness.h"
#include "YearExport.h"
#include "YearFile.h"

#include <QProcess>
#include <QtTest>

#include <limits>

// kalvik-export: the chart is the window's picture, the table the records as text; a bad name or
// option stops with a Swedish line; a damaged file is exported as it stands, with a line saying so.
class tst_Export : public QObject
{
    Q_OBJECT

    // item: the view chosen after start-up
    static constexpr DataTable<int, QString, ChartView> kCharts{"yearNumber", "item", "view"};
    // arguments: %1 is a folder of the test
    static constexpr DataTable<QStringList, int, QString> kLines{"arguments", "exitCode",
                                                                 "message"};

    static std::vector<DataRecord> year(int number)
    {
        const QDate jan1(number, 1, 1);
        const auto at = [&jan1](int day, float time, std::int32_t qnh, float temp) {
            return sample(jan1.addDays(day), time, qnh, temp);
        };
        if (number == 2024) // a leap year: 1 March at x 60, 31 December at x 365
            return {at(0, 0.1f, 1000, -12.0f), at(60, 0.1f, 1013, 4.5f),
                    at(365, 0.1f, 1030, 20.5f)};
        // Day 10 crosses 0 C, and -3.5 rounds to even; day 40 has the halves 2.5 and 3.5.
        return {at(0, 0.1f, 0, 1.4f),     at(0, 0.2f, 0, 2.6f),     at(1, 0.1f, 1010, 30.0f),
                at(1, 0.2f, 1015, 30.0f), at(2, 0.1f, 1020, 30.0f), at(10, 0.1f, 0, -3.5f),
                at(10, 0.2f, 0, 2.0f),    at(40, 0.1f, 990, 2.5f),  at(40, 0.2f, 996, 3.5f)};
    }

    static QImage exported(const QString &file, ChartView view, double scale, const QString &png)
    {
        const ExportResult result =
            runExport({.yearFile = file, .png = png, .view = view, .scale = scale});
        return result.exitCode == 0 ? QImage(png).convertToFormat(QImage::Format_RGB32) : QImage();
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden)); }

    void chartIsTheWindowsPicture_data()
    {
        kCharts.addColumns();
        QTest::newRow("both") << 2026 << "" << ChartView::Both;
        QTest::newRow("temp") << 2026 << "mnuTemp" << ChartView::Temperature;
        QTest::newRow("pressure") << 2026 << "mnuQNH" << ChartView::Pressure;
        QTest::newRow("leap year") << 2024 << "" << ChartView::Both;
    }
    void chartIsTheWindowsPicture()
    {
        const auto [yearNumber, item, view] = kCharts.row();
        Harness h(QDateTime(QDate(yearNumber, 6, 1), QTime(12, 0)));
        QVERIFY(h.start(year(yearNumber)));
        const QByteArray before = fileBytes(h.yearFile(yearNumber));
        if (!item.isEmpty())
            h.find<QAction>(qPrintable(item))->trigger();
        // The chart leaves out the reading of right now.
        for (const char *name : {"lblTempC", "lblRubrik_0", "Image1_0", "Image1_1"})
            h.label(name)->hide();
        const QImage window = h.client().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(exported(h.yearFile(yearNumber), view, 1.0, h.dir.filePath("c.png")), window);
        QCOMPARE(fileBytes(h.yearFile(yearNumber)), before);
    }
    void scaleTwoDrawsTwiceAsLarge()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("T_2026.dat"));
        QVERIFY(writeYearFile(file, year(2026)));
        const QImage one = exported(file, ChartView::Both, 1.0, dir.filePath("1.png"));
        const QImage two = exported(file, ChartView::Both, 2.0, dir.filePath("2.png"));
        QCOMPARE(two.size(), one.size() * 2);
        // The bar of x 10 (blue from y 44 to 40): two device columns wide, from row 2 x 185 down
        // to the 0 C line; the inner area starts at pixel (54, 32) of the window's layout.
        const QPoint inner(2 * 54, 2 * 32);
        const QRgb blue = qRgb(0, 0, 255), cream = qRgb(239, 239, 222);
        for (const int y : {inner.y() + 2 * 170, inner.y() + 2 * 185})
            QCOMPARE((QList<QRgb>{two.pixel(inner.x() + 39, y), two.pixel(inner.x() + 40, y),
                                  two.pixel(inner.x() + 41, y), two.pixel(inner.x() + 42, y)}),
                     (QList<QRgb>{cream, blue, blue, cream}));
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
        QVERIFY(QFile::resize(file, 5 * 16 + 8)); // and part of a record
        const QByteArray before = fileBytes(file);

        const QString csv = dir.filePath("t.csv");
        QCOMPARE(runExport({.yearFile = file, .csv = csv}).exitCode, 0);
        // 0.99999 of a day is 23:59:59; the locale's decimal comma is not used.
        QCOMPARE(fileBytes(csv), QByteArray("date,time,temperature_c,qnh_hpa\n"
                                            "2026-01-01,00:00,21.3,1013\n"
                                            "2026-01-01,12:00,-3.5,\n"
                                            "2026-01-01,18:00,,998\n"
                                            "2026-01-02,23:59,,1000\n"
                                            "1899-12-30,06:00,0,1\n"));
        QCOMPARE(fileBytes(file), before);
    }

    void saysItInOneSwedishLine_data()
    {
        kLines.addColumns();
        const auto row = [](const char *name, QStringList arguments, int code,
                            const char *message) {
            QTest::newRow(name) << arguments << code << QString::fromUtf8(message);
        };
        row("no year in the name", {"%1/data.dat", "--csv", "%1/o.csv"}, 1,
            "%1/data.dat: namnet måste sluta på ett årtal och .dat, till exempel T_2026.dat");
        row("missing", {"%1/T_2023.dat", "--csv", "%1/o.csv"}, 1, "%1/T_2023.dat finns inte");
        row("over the limit", {"%1/T_2027.dat", "--png", "%1/o.png"}, 1,
            "%1/T_2027.dat: 536870928 byte är för stort för en årsfil (högst 536870912)");
        row("bad view", {"%1/T_2026.dat", "--png=%1/o.png", "--view", "all"}, 2,
            "--view ska vara both, temp eller pressure, inte 'all'.");
        row("bad scale", {"%1/T_2026.dat", "--png", "%1/o.png", "--scale", "0.5"}, 2,
            "--scale ska vara ett tal från 1 till 4, inte '0.5'.");
        row("nothing asked", {"%1/T_2026.dat"}, 2, "Ange --png, --csv eller båda.");
        row("damaged, exported as it stands", {"%1/T_2025.dat", "--csv", "%1/o.csv"}, 0,
            "%1/T_2025.dat: 1 post med orimliga värden hoppades över, den första är post 2 "
            "(2025-01-02)");
        // Links planted by another user of a shared folder, both to data.dat.
        row("output name is a link", {"%1/T_2026.dat", "--csv", "%1/o.csv"}, 1,
            "%1/o.csv är en symbolisk länk; kalvik-export skriver inte genom den");
        row("year file is a link", {"%1/T_2028.dat", "--png", "%1/o.png"}, 1,
            "%1/T_2028.dat är en symbolisk länk, som inte följs");
    }
    void saysItInOneSwedishLine()
    {
        auto [arguments, exitCode, message] = kLines.row();
        QTemporaryDir dir;
        QVERIFY(writeYearFile(dir.filePath("T_2026.dat"), year(2026)));
        QVERIFY(writeYearFile(dir.filePath("data.dat"), year(2026)));
        const QDate jan1(2025, 1, 1);
        QVERIFY(writeYearFile(dir.filePath("T_2025.dat"),
                              std::vector<DataRecord>{sample(jan1, 0.5f, 1013, 1.0f),
                                                      sample(jan1.addDays(1), 0.5f, 0, 61)}));
        const QString large = dir.filePath("T_2027.dat"); // sparse: costs no disk
        QVERIFY(writeYearFile(large, {}) && QFile::resize(large, kMaxYearFileBytes + 16));
        QVERIFY(QFile::link(dir.filePath("data.dat"), dir.filePath("T_2028.dat")));
        if (qstrcmp(QTest::currentDataTag(), "output name is a link") == 0)
            QVERIFY(QFile::link(dir.filePath("data.dat"), dir.filePath("o.csv")));
        const QByteArray linkedTo = fileBytes(dir.filePath("data.dat"));
        arguments.replaceInStrings(QLatin1String("%1"), dir.path());

        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY")); // needs none
        tool.setProcessEnvironment(env);
        tool.start(QStringLiteral(KALVIK_EXPORT), arguments);
        QVERIFY(tool.waitForFinished(20000));
        QCOMPARE(tool.exitCode(), exitCode);
        QStringList lines{"kalvik-export: " + message.replace(QLatin1String("%1"), dir.path()), ""};
        if (exitCode == 2) // as every tool says it
            lines.insert(1, QStringLiteral("Se kalvik-export --help."));
        QCOMPARE(QString::fromUtf8(tool.readAllStandardError()).split('\n'), lines);
        // No file made or left but the one asked for, none written through a link.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks).size(),
                 exitCode == 0 ? 5 : 4);
        QCOMPARE(fileBytes(dir.filePath("data.dat")), linkedTo);
    }
};

QTEST_MAIN(tst_Export)
#include "tst_export.moc"

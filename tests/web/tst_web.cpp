#include "DataColumns.h"
#include "SampleYear.h"
#include "SiteFiles.h"
#include "WebCharts.h"
#include "WebPages.h"
#include "WebRun.h"
#include "WebStats.h"
#include "WebText.h"
#include "YearExport.h"
#include "YearFile.h"
#include "YearFileAppend.h"

#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <sys/resource.h>
#include <sys/stat.h>
#include <utime.h>

#include <limits>

// kalvik-web: the figures from hand-made year files, the pages they end up
// on, and a site that is only ever replaced whole and only where it changed.
class tst_Web : public QObject
{
    Q_OBJECT

    // expected: from the table's heading on
    static constexpr DataTable<int, QString, QString> kPeriodFigures{"year", "records", "expected"};
    static constexpr DataTable<QString, QString> kSwedishNumbers{"shown", "expected"};
    static constexpr DataTable<QDateTime, QStringList, QString> kNowPage{"now", "shown", "absent"};
    static constexpr DataTable<QString, Refresh> kRefresh{"change", "how"};
    static constexpr DataTable<QString, QStringList> kIncremental{"added", "rewritten"};
    // folder: below a temporary folder holding a site
    static constexpr DataTable<QString, QString, QString> kBadInput{"folder", "out", "expected"};

private:
    // "2024-02-29 13:05 -3.5 1013"; "nan" for a temperature that is not a number.
    static DataRecord sample(const QString &line)
    {
        const QStringList f = line.simplified().split(' ');
        return {std::int32_t(QDate(1899, 12, 30).daysTo(QDate::fromString(f[0], Qt::ISODate))),
                float(QTime::fromString(f[1], "hh:mm").msecsSinceStartOfDay()) / 86400000.0f,
                f[3].toInt(), f[2] == "nan" ? float(qQNaN()) : f[2].toFloat()};
    }
    static std::vector<DataRecord> samples(const QString &lines)
    {
        std::vector<DataRecord> records;
        for (const QString &line : lines.split(';', Qt::SkipEmptyParts))
            records.push_back(sample(line));
        return records;
    }
    // A page as the reader sees its text: no tags, one space between words.
    static QString text(const QByteArray &html)
    {
        QString t = QString::fromUtf8(html);
        t.remove(QRegularExpression("<style>.*</style>",
                                    QRegularExpression::DotMatchesEverythingOption));
        t.remove(QRegularExpression("</?(strong|a)( [^>]*)?>"));
        t.replace(QRegularExpression("<[^>]*>"), " ");
        t.replace("&nbsp;", " ").replace(QChar(0xa0), ' ');
        return t.simplified();
    }
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Every file of the site is whole: pages end their document, charts load.
    static QString brokenFile(const QString &site)
    {
        for (const QFileInfo &f : QDir(site).entryInfoList(QDir::Files | QDir::Hidden)) {
            const QByteArray bytes = read(f.filePath());
            const QString name = f.fileName();
            if (name.startsWith(QLatin1String(SiteFiles::kTempPrefix)))
                continue; // a temporary file is never served
            if ((name.endsWith(".html") && !bytes.endsWith("</html>\n")) ||
                (name.endsWith(".svg") && !bytes.endsWith("</svg>\n")) ||
                (name.endsWith(".png") && QImage::fromData(bytes, "PNG").isNull()))
                return name;
        }
        return {};
    }

    // Two years of a few days: 2025 ends on 31 December, 2026 has 1 January and, unless cut short
    // there as the logger had it then, 2 March, the day of "now" in the incremental cases.
    static void writeTwoYears(const QString &folder, bool untilMarch = true)
    {
        std::vector<DataRecord> y2026 =
            samples("2026-01-01 00:10 -1.5 999; 2026-01-01 00:20 nan 0; 2026-01-01 00:30 -1.0 1000;"
                    "2026-03-02 10:00 2.0 1012; 2026-03-02 11:00 4.0 1012");
        y2026.resize(untilMarch ? 5 : 3);
        QVERIFY(writeYearFile(folder + "/T_2026.dat", y2026));
        QVERIFY(writeYearFile(folder + "/T_2025.dat",
                              samples("2025-03-02 12:00 10.0 1030; 2025-12-31 00:10 -2.0 1005;"
                                      "2025-12-31 14:00 0.5 1001; 2025-12-31 23:50 1.5 998")));
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden)); }

    // A month's or the year's figures as the year page shows them.
    void periodFigures_data()
    {
        kPeriodFigures.addColumns();
        // The month's mean is the mean of the days' means (2 and 10), not of the samples.
        QTest::newRow("leap day")
            << 2024
            << "2024-02-28 06:00 0 1010; 2024-02-28 12:00 0 1012; 2024-02-28 18:00 6 1014;"
               "2024-02-29 12:00 10 1020; 2024-03-01 12:00 -20 1040"
            << "Februari Medeltemperatur 6,0 °C Högsta temperatur 10,0 °C 29 feb Lägsta "
               "temperatur 0,0 °C 28 feb Frostdagar (lägsta under 0 °C) 0 Isdagar (högsta under "
               "0 °C) 0 Sommardagar (högsta minst 25 °C) 0 Tropiska nätter (lägsta minst 20 °C) "
               "0 Medellufttryck (QNH) 1016,0 hPa Högsta lufttryck 1020 hPa 29 feb Lägsta "
               "lufttryck 1010 hPa 28 feb Dagar med temperatur 2";
        QTest::newRow("leap year whole")
            << 2024 << "2024-02-29 12:00 10 1020; 2024-12-31 12:00 -20 1040"
            << "Hela året 2024 Medeltemperatur −5,0 °C Högsta temperatur 10,0 °C 29 feb Lägsta "
               "temperatur −20,0 °C 31 dec Frostdagar (lägsta under 0 °C) 1 Isdagar (högsta "
               "under 0 °C) 1 Sommardagar (högsta minst 25 °C) 0 Tropiska nätter (lägsta minst "
               "20 °C) 0 Medellufttryck (QNH) 1030,0 hPa Högsta lufttryck 1040 hPa 31 dec Lägsta "
               "lufttryck 1020 hPa 29 feb Dagar med temperatur 2";
        QTest::newRow("month without samples")
            << 2026 << "2026-03-31 23:59 1 1000; 2026-05-01 00:00 2 1001"
            << "April Inga mätningar. Maj";
        // NaN, QNH 0 and values no station reads are no readings; neither is a
        // record of another year in this year's file.
        QTest::newRow("no readings")
            << 2026
            << "2026-06-01 10:00 nan 0; 2026-06-01 11:00 99 500; 2026-06-01 12:00 20 0;"
               "2026-06-02 10:00 nan 1000; 2027-06-02 10:00 40 1080"
            << "Juni Medeltemperatur 20,0 °C Högsta temperatur 20,0 °C 1 juni Lägsta temperatur "
               "20,0 °C 1 juni Frostdagar (lägsta under 0 °C) 0 Isdagar (högsta under 0 °C) 0 "
               "Sommardagar (högsta minst 25 °C) 0 Tropiska nätter (lägsta minst 20 °C) 1 "
               "Medellufttryck (QNH) 1000,0 hPa Högsta lufttryck 1000 hPa 2 juni Lägsta "
               "lufttryck 1000 hPa 2 juni Dagar med temperatur 1";
        // Each threshold just met and just missed.
        QTest::newRow("thresholds")
            << 2026
            << "2026-07-01 12:00 0 1000; 2026-07-02 12:00 -0.1 1000; 2026-07-02 13:00 0 1000;"
               "2026-07-03 12:00 25 1000; 2026-07-04 12:00 24.9 1000; 2026-07-05 12:00 20 1000;"
               "2026-07-06 12:00 19.9 1000; 2026-07-07 12:00 -0.1 1000"
            << "Juli Medeltemperatur 12,8 °C Högsta temperatur 25,0 °C 3 juli Lägsta temperatur "
               "−0,1 °C 2 juli Frostdagar (lägsta under 0 °C) 2 Isdagar (högsta under 0 °C) 1 "
               "Sommardagar (högsta minst 25 °C) 1 Tropiska nätter (lägsta minst 20 °C) 3 "
               "Medellufttryck (QNH) 1000,0 hPa Högsta lufttryck 1000 hPa 1 juli Lägsta "
               "lufttryck 1000 hPa 1 juli Dagar med temperatur 7";
    }
    void periodFigures()
    {
        const auto [year, records, expected] = kPeriodFigures.row();
        const std::vector<DaySummary> days = summarizeDays(year, samples(records));
        const QString page = text(yearPage({year, {year}, days, {}}));
        QVERIFY2(page.contains(expected), qPrintable(page));
    }

    void climateBandAndRecords()
    {
        ClimateBand band{};
        YearRecords records{};
        for (const auto &[year, lines] :
             {std::pair{2023, "2023-03-01 06:00 -4 990; 2023-03-01 15:00 8 1000; "
                              "2023-01-05 12:00 3 1040"},
              {2024, "2024-02-29 12:00 5 1010; 2024-03-01 06:00 -2 1030; 2024-03-01 15:00 12 1030; "
                     "2024-01-06 12:00 3 1040"}}) {
            const std::vector<DaySummary> days = summarizeDays(year, samples(lines));
            addToBand(band, days);
            addToRecords(records, days);
        }
        const CalendarBand &mar1 = band[60]; // the mean of the days' means 2 and 5
        QCOMPARE(std::tuple(mar1.years, mar1.lowestLow, mar1.highestHigh, mar1.mean()),
                 std::tuple(2, -4.0f, 12.0f, 3.5));
        QCOMPARE(band[59].years, 1); // 29 February only in the leap year
        // A tie keeps the first: 3 °C and 1040 hPa on 5 January 2023 and 6 January 2024.
        const QString page = text(climatePage({2024, {2023, 2024}, 2023, 2023, records, {}}));
        QVERIFY2(page.contains("Januari Högsta temperatur 3,0 °C 2023-01-05 Lägsta temperatur "
                               "3,0 °C 2023-01-05 Högsta lufttryck 1040 hPa 2023-01-05 Lägsta "
                               "lufttryck 1040 hPa 2023-01-05 Februari Högsta temperatur 5,0 °C "
                               "2024-02-29 Lägsta temperatur 5,0 °C 2024-02-29 Högsta lufttryck "
                               "1010 hPa 2024-02-29 Lägsta lufttryck 1010 hPa 2024-02-29 Mars "
                               "Högsta temperatur 12,0 °C 2024-03-01 Lägsta temperatur −4,0 °C "
                               "2023-03-01 Högsta lufttryck 1030 hPa 2024-03-01 Lägsta lufttryck "
                               "990 hPa 2023-03-01 April Inga mätningar."),
                 qPrintable(page));
    }

    void swedishNumbers_data()
    {
        kSwedishNumbers.addColumns();
        QTest::newRow("minus sign") << WebText::temperature(-3.25) << "\u22123,3\u00a0°C";
        QTest::newRow("no minus zero") << WebText::temperature(-0.04) << "0,0\u00a0°C";
        QTest::newRow("pressure") << WebText::pressure(1013.45, 1) << "1013,5\u00a0hPa";
        QTest::newRow("time") << WebText::clock(float(23 * 60 + 59) / 1440.0f) << "23:59";
    }
    void swedishNumbers()
    {
        const auto [shown, expected] = kSwedishNumbers.row();
        QCOMPARE(shown, expected);
    }

    void nowPage_data()
    {
        kNowPage.addColumns();
        const QString yesterday =
            "I går, 2025-12-31 Högsta 1,5 °C kl. 23:50 Lägsta −2,0 °C kl. 00:10";
        QTest::newRow("year boundary")
            << QDateTime(QDate(2026, 1, 1), QTime(0, 40))
            << QStringList{"Just nu −1,0 °C Temperatur kl. 00:30 "
                           "Lufttryck (QNH) 1000 hPa, kl. 00:30",
                           "I dag, 2026-01-01 Högsta −1,0 °C kl. 00:30 Lägsta −1,5 °C kl. 00:10",
                           yesterday, "Januari 2026 Högsta −1,0 °C 1 jan Lägsta −1,5 °C 1 jan",
                           "Året 2026 Högsta −1,0 °C 1 jan"}
            << "Inga nya mätningar";
        QTest::newRow("an hour old") << QDateTime(QDate(2026, 1, 1), QTime(1, 30))
                                     << QStringList{yesterday} << "Inga nya mätningar";
        QTest::newRow("older")
            << QDateTime(QDate(2026, 1, 1), QTime(1, 31))
            << QStringList{"Inga nya mätningar: den senaste är från 2026-01-01 kl. 00:30",
                           "Temperatur senast uppmätt kl. 00:30"}
            << QString();
        QTest::newRow("next day") << QDateTime(QDate(2026, 1, 2), QTime(8, 0))
                                  << QStringList{"I dag, 2026-01-02 Ingen temperatur uppmätt.",
                                                 "Temperatur senast uppmätt i går kl. 00:30"}
                                  << "I går, 2025-12-31";
    }
    void nowPage()
    {
        const auto [now, shown, absent] = kNowPage.row();
        QTemporaryDir dir;
        writeTwoYears(dir.path(), false);
        QCOMPARE(runWeb({dir.path(), dir.filePath("site"), {}}, now).message, QString());
        const QString page = text(read(dir.filePath("site/index.html")));
        for (const QString &s : shown)
            QVERIFY2(page.contains(s), qPrintable(s + "\n in: " + page));
        if (!absent.isEmpty())
            QVERIFY2(!page.contains(absent), qPrintable(page));
    }

    void refreshReadsWhatChanged_data()
    {
        kRefresh.addColumns();
        QTest::newRow("nothing") << "" << Refresh::Unchanged;
        QTest::newRow("one sample appended") << "append" << Refresh::Appended;
        QTest::newRow("shortened") << "truncate" << Refresh::Reread;
        QTest::newRow("replaced by a longer copy") << "replace" << Refresh::Reread;
        QTest::newRow("last record rewritten") << "rewrite" << Refresh::Reread;
    }
    void refreshReadsWhatChanged()
    {
        const auto [change, how] = kRefresh.row();
        QTemporaryDir dir;
        const QString path = dir.filePath("T_2026.dat");
        std::vector<DataRecord> records = samples(QStringLiteral(
            "2026-03-01 10:00 1 1000; 2026-03-02 10:00 2 1001; 2026-03-02 11:00 3 1002"));
        QVERIFY(writeYearFile(path, records));
        YearSummary summary;
        summary.year = 2026;
        QCOMPARE(refreshYear(summary, path).how, Refresh::Reread);
        const DataRecord extra = sample("2026-03-02 12:00 -4 990");
        if (change == "append") {
            records.push_back(extra);
            QVERIFY(appendRecord(path, extra).ok);
        } else if (change == "truncate") {
            records.pop_back();
            QVERIFY(QFile::resize(path, qint64(records.size() * kRecordSize)));
        } else if (change == "replace") {
            records.push_back(extra);
            QVERIFY(writeYearFile(path + ".new", records));
            QVERIFY(::rename(QFile::encodeName(path + ".new").constData(),
                             QFile::encodeName(path).constData()) == 0);
        } else if (change == "rewrite") {
            records.back() = extra;
            records.push_back(extra);
            QVERIFY(writeYearFile(path, records)); // the same file, its last record changed
        }
        QCOMPARE(refreshYear(summary, path).how, how);
        QVERIFY(summary.days == summarizeDays(2026, records));
        QCOMPARE(summary.records, qint64(records.size()));
    }

    void incrementalRunRewritesOnlyWhatChanged_data()
    {
        kIncremental.addColumns();
        // The day's mean (3), extremes and QNH stay: only the newest sample's pages change.
        QTest::newRow("a sample like the others")
            << "2026-03-02 11:30 3 1012" << QStringList{"48-timmar.svg", "index.html"};
        QTest::newRow("a new high of the day")
            << "2026-03-02 11:30 5 1012"
            << QStringList{"2026.html", "2026.png", "48-timmar.svg", "index.html", "klimat.svg"};
    }
    void incrementalRunRewritesOnlyWhatChanged()
    {
        const auto [added, rewritten] = kIncremental.row();
        QTemporaryDir dir;
        writeTwoYears(dir.path());
        const QString site = dir.filePath("site");
        const QDateTime now(QDate(2026, 3, 2), QTime(11, 35));
        QCOMPARE(runWeb({dir.path(), site, {}}, now).message, QString());
        const QStringList files = QDir(site).entryList(QDir::Files, QDir::Name) << "../site.cache";
        QCOMPARE(files,
                 (QStringList{"2025.html", "2025.png", "2026.html", "2026.png", "48-timmar.svg",
                              "index.html", "klimat.html", "klimat.svg", "../site.cache"}));
        const utimbuf old{946684800, 946684800}; // 2000-01-01
        for (const QString &name : files)
            QCOMPARE(::utime(QFile::encodeName(QDir(site).filePath(name)).constData(), &old), 0);

        QVERIFY(appendRecord(dir.filePath("T_2026.dat"), sample(added)).ok);
        const WebResult second = runWeb({dir.path(), site, {}}, now);
        QCOMPARE(second.message, QString());
        QStringList changed;
        for (const QString &name : files)
            if (QFileInfo(QDir(site).filePath(name)).lastModified().toSecsSinceEpoch() !=
                old.modtime)
                changed << name;
        QCOMPARE(changed, rewritten + QStringList{"../site.cache"});
        QCOMPARE(second.written, rewritten.size() + 1);
    }

    // The chart from the days' extremes is the picture kalvik-export draws from every record.
    void yearChartIsTheWindowsPicture()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("T_2024.dat");
        QVERIFY(writeYearFile(path, sampleYear(2024, 60, 5)));
        YearSummary summary;
        summary.year = 2024;
        refreshYear(summary, path);
        const QString png = dir.filePath("export.png");
        QCOMPARE(runExport({.yearFile = path, .png = png, .scale = kYearChartScale}).exitCode, 0);
        QImage chart = yearChartImage(summary).convertToFormat(QImage::Format_RGB32);
        chart.setDevicePixelRatio(1); // a PNG file does not keep it
        QCOMPARE(chart, QImage(png).convertToFormat(QImage::Format_RGB32));
    }

    void badInputGivesOneLine_data()
    {
        kBadInput.addColumns();
        const auto row = [](const char *name, const char *folder, const char *out,
                            const char *expected) {
            QTest::newRow(name) << QString(folder) << QString(out) << QString::fromUtf8(expected);
        };
        row("no folder", "none", "site", "kalvik-web: mappen %1/none finns inte");
        row("not a folder", "data/T_2026.dat", "site",
            "kalvik-web: %1/data/T_2026.dat är ingen mapp");
        row("no year file", "site", "site2",
            "kalvik-web: ingen årsfil (T_<år>.dat) i mappen %1/site");
        row("output is a file", "data", "data/T_2026.dat/site",
            "kalvik-web: kan inte skapa mappen %1/data/T_2026.dat/site");
    }
    void badInputGivesOneLine()
    {
        const auto [folder, out, expected] = kBadInput.row();
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("data"));
        writeTwoYears(dir.filePath("data"));
        const WebOptions first{dir.filePath("data"), dir.filePath("site"), {}};
        QCOMPARE(runWeb(first, QDateTime::currentDateTime()).exitCode, 0);
        const QByteArray page = read(dir.filePath("site/index.html"));

        QProcess run;
        run.start(QStringLiteral(KALVIK_WEB),
                  {"--folder", dir.filePath(folder), "--out", dir.filePath(out)});
        QVERIFY(run.waitForFinished(30000));
        QCOMPARE(run.exitCode(), 1);
        QCOMPARE(QString::fromLocal8Bit(run.readAllStandardError()),
                 expected.arg(dir.path()) + QLatin1Char('\n'));
        QCOMPARE(read(dir.filePath("site/index.html")), page); // the last good page stays
    }

    // Killed in the middle of writing a file, the site holds whole files
    // only, and the next run clears what the killed one left. The kill comes
    // from the file size limit: the run dies at the first write beyond it.
    void killedRunLeavesPagesWhole_data()
    {
        QTest::addColumn<int>("limit");
        QTest::newRow("first year chart") << 1000;  // 2024.png
        QTest::newRow("later year chart") << 40000; // 2024.png again, half written
        QTest::newRow("cache") << 90000;            // every page, then the cache
    }
    void killedRunLeavesPagesWhole()
    {
        QFETCH(int, limit);
        QTemporaryDir dir;
        const QString site = dir.filePath("site");
        const auto run = [&](int seed, int fileLimit) {
            for (int year : {2024, 2025, 2026})
                writeSampleYear(dir.filePath(QStringLiteral("T_%1.dat").arg(year)), year, 600,
                                std::uint32_t(year + seed));
            QProcess web;
            web.setChildProcessModifier([fileLimit] {
                const rlimit size{rlim_t(fileLimit), rlim_t(fileLimit)};
                ::setrlimit(RLIMIT_FSIZE, &size);
            });
            web.start(QStringLiteral(KALVIK_WEB), {"--folder", dir.path(), "--out", site});
            web.waitForFinished(60000);
            return web.exitStatus() == QProcess::NormalExit && web.exitCode() == 0;
        };
        QVERIFY(run(0, std::numeric_limits<int>::max()));
        const QStringList pages = QDir(site).entryList(QDir::Files);
        QVERIFY(!run(1, limit)); // other years: every file is replaced
        QCOMPARE(brokenFile(site), QString());
        QCOMPARE(QDir(site).entryList(QDir::Files), pages);
        QVERIFY(run(1, std::numeric_limits<int>::max()));
        for (const QString &folder : {site, dir.path()}) // the site and the cache's folder
            QCOMPARE(QDir(folder).entryList({".kalvik-web-*"}, QDir::Files | QDir::Hidden), {});
    }
};

QTEST_MAIN(tst_Web)
#include "tst_web.moc"

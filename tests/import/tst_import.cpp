#include "DataColumns.h"
#include "DayNumber.h"
#include "ImportOptions.h"
#include "SampleStamp.h"
#include "YearFile.h"
#include "YearFileAppend.h"
#include "YearImport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cmath>
#include <future>

namespace {

const QTimeZone stockholm{"Europe/Stockholm"};

// Writes an input file into dir: its path, or none when it cannot be written.
QString input(const QTemporaryDir &dir, const char *name, const QByteArray &text)
{
    QFile f(dir.filePath(QString::fromLatin1(name)));
    return f.open(QIODevice::WriteOnly) && f.write(text) == text.size() ? f.fileName() : QString();
}

// Every year file's records in name order, "2024-03-01 12:00:00 -3.50 1013" ("-": no temperature);
// one outside its file's year or off a whole second (as the logger stamps) adds a line saying so.
QStringList recordLines(const QString &folder)
{
    QStringList lines;
    for (const QString &file : QDir(folder).entryList({"T_*.dat"}, QDir::Files, QDir::Name)) {
        for (const DataRecord &r : readYearFile(QDir(folder).filePath(file)).records) {
            const long second = std::lround(double(r.timeOfDay) * 86400);
            const QString date = DayNumber::toDate(r.dayNumber).toString("yyyy-MM-dd");
            if (r.timeOfDay != float(double(second) / 86400) ||
                file != "T_" + date.left(4) + ".dat")
                lines << file + " holds " + QString::number(r.timeOfDay, 'g', 9) + " of " + date;
            lines << QStringLiteral("%1 %2 %3 %4")
                         .arg(date, QTime(0, 0).addSecs(int(second)).toString("hh:mm:ss"),
                              std::isnan(r.temp) ? QStringLiteral("-")
                                                 : QString::number(double(r.temp), 'f', 2))
                         .arg(r.qnh);
        }
    }
    return lines;
}

struct Run
{
    int status = -1;
    QString out, err;
};

Run import(const QStringList &arguments)
{
    Run run;
    QTextStream out(&run.out), err(&run.err);
    run.status = runImport(parseImportOptions(arguments).options.value(), stockholm, out, err);
    return run;
}

DataRecord at(const QDateTime &localTime, int qnh, float temp)
{
    const SampleStamp s = stampOf(localTime);
    return DataRecord{s.dayNumber, s.timeOfDay, qnh, temp};
}

DataRecord at(const char *localTime, int qnh, float temp)
{
    const QDateTime t = QDateTime::fromString(QString::fromLatin1(localTime), Qt::ISODate);
    return at(QDateTime(t.date(), t.time(), stockholm), qnh, temp);
}

const QByteArray kStationBlock =
    "Stationsnamn;Stationsnummer;Stationsnät;Mäthöjd (meter över marken)\n"
    "Stockholm-Observatoriekullen A;98230;SMHIs "
    "stationsnät;2.0\n\nParameternamn;Beskrivning;Enhet\n"
    "%1;momentanvärde, 1 gång/tim;%2\n\nTidsperiod (fr.o.m);Tidsperiod (t.o.m);"
    "Höjd (meter över havet);Latitud (decimalgrader);Longitud (decimalgrader)\n"
    "2006-04-01 00:00:00;2024-12-31 23:00:00;43.133;59.3417;18.0549\n\n"
    "Datum;Tid (UTC);%1;Kvalitet;;Tidsutsnitt:\n";

QByteArray stationFile(const char *parameter, const char *unit, const QByteArray &rows)
{
    return QString::fromUtf8(kStationBlock).arg(parameter, unit).toUtf8() + rows;
}

} // namespace

// kalvik-import: each input form decoded back from the year files, what it
// refuses, and an import beside a running logger.
class tst_Import : public QObject
{
    Q_OBJECT

    // second: empty for one file; options: split at commas; records: as recordLines gives them,
    // joined by "; "; report: expected on stderr, or empty
    static constexpr DataTable<QByteArray, QByteArray, QString, QString, QString> kReadsEachForm{
        "first", "second", "options", "records", "report"};
    static constexpr DataTable<QStringList, QString> kBadOptions{"arguments", "error"};
    static constexpr DataTable<QByteArray, QStringList, QString> kBadInputStops{"file", "options",
                                                                                "message"};

private slots:
    void readsEachForm_data()
    {
        kReadsEachForm.addColumns();
        const auto row = [](const char *name, const QByteArray &first, const QByteArray &second,
                            const char *options, const char *records, const char *report = "") {
            QTest::newRow(name) << first << second << QString::fromUtf8(options)
                                << QString::fromUtf8(records) << QString::fromUtf8(report);
        };
        row("comma, ISO with zones, across spring and New Year",
            "time,temperature,pressure\n2024-03-31T00:30:00Z,1.5,1013.4\n"
            "2024-03-31T01:30:00Z,1.25,1013.6\n2024-12-31T23:30:00+00:00,-4,999.5\n",
            {}, "",
            "2024-03-31 01:30:00 1.50 1013; 2024-03-31 03:30:00 1.25 1014; "
            "2025-01-01 00:30:00 -4.00 1000");
        row("semicolon, decimal comma, date and time columns, local time",
            "Datum;Tid;Temperatur (°C);Lufttryck (hPa)\n2024-02-01;08:30;-12,5;1020,0\n"
            "2024-07-01;08:30:59;\"21,3\";1001\n",
            {}, "", "2024-02-01 08:30:00 -12.50 1020; 2024-07-01 08:30:59 21.30 1001");
        row("tab, named columns, Fahrenheit and inches of mercury",
            "when\tout\tbaro\n2024-05-01 14:00\t68\t29.92\n", {},
            "--time,when,--temperature,out,--pressure,baro,--fahrenheit,--inhg",
            "2024-05-01 14:00:00 20.00 1013");
        row("kPa, times given as UTC", "timestamp;temp;qnh\n2024-06-01 10:00;15,0;101,26\n", {},
            "--kpa,--utc", "2024-06-01 12:00:00 15.00 1013");
        row("local time through the autumn hour that comes twice",
            "date,temp\n2024-10-27 01:30,5\n2024-10-27 02:00,6\n2024-10-27 02:30,7\n"
            "2024-10-27 02:00,8\n2024-10-27 02:30,9\n2024-10-27 03:00,10\n",
            {}, "",
            "2024-10-27 01:30:00 5.00 0; 2024-10-27 02:00:00 6.00 0; "
            "2024-10-27 02:30:00 7.00 0; 2024-10-27 02:00:00 8.00 0; 2024-10-27 02:30:00 9.00 0; "
            "2024-10-27 03:00:00 10.00 0");
        row("daily extremes, low at 06:00 and high at 15:00 unless given",
            "Datum;Max;Tid max;Min;Tid min\n2024-01-10;-2,0;;-9,5;\n"
            "2024-01-11;1,5;13:20;-4,0;23:10\n",
            {}, "--high,Max,--low,Min,--high-time,Tid max,--low-time,Tid min",
            "2024-01-10 06:00:00 -9.50 0; 2024-01-10 15:00:00 -2.00 0; "
            "2024-01-11 13:20:00 1.50 0; 2024-01-11 23:10:00 -4.00 0");
        row("station files, temperature and pressure joined, UTC to local",
            stationFile("Lufttemperatur", "celsius",
                        "2024-10-27;00:00:00;5.1;G;;Kvalitetskontrollerade historiska data\n"
                        "2024-10-27;01:00:00;4.9;G;;Tidsperiod (fr.o.m.) = 2006-04-01\n"
                        "2024-10-27;02:00:00;4.5;Y;;\n"),
            stationFile("Lufttryck reducerat havsytans nivå", "hektopascal",
                        "2024-10-27;00:00:00;1012.3;G;;\n2024-10-27;01:00:00;1012.9;G;;\n"
                        "2024-10-27;03:00:00;1013.6;G;;\n"),
            "",
            "2024-10-27 02:00:00 5.10 1012; 2024-10-27 02:00:00 4.90 1013; "
            "2024-10-27 03:00:00 4.50 0; 2024-10-27 04:00:00 - 1014");
        row("empty cells are no reading",
            "time,temperature,pressure\n2024-04-01T00:00,,1010\n2024-04-01T00:10,3.0,\n"
            "2024-04-01T00:20,,\n,,\n",
            {}, "",
            "2024-04-01 00:00:00 - 1010; 2024-04-01 00:10:00 3.00 0; 2024-04-01 00:20:00 - 0");
        row("bad lines skipped and counted",
            "time,temperature\n2024-04-01T00:00,1.0\n2024-13-01T00:10,2.0\n"
            "2024-04-01T00:20,abc\n2024-04-01T00:30,4.0\n",
            {}, "--skip-bad-lines", "2024-04-01 00:00:00 1.00 0; 2024-04-01 00:30:00 4.00 0",
            "kalvik-import: first.csv: 2 felaktiga rader hoppades över; den första: first.csv, "
            "rad 3: \"2024-13-01T00:10\" är ingen tid\n");
    }

    void readsEachForm()
    {
        const auto [first, second, options, records, report] = kReadsEachForm.row();
        QTemporaryDir inputs, data;
        QStringList arguments{"--folder", data.path()};
        arguments << options.split(',', Qt::SkipEmptyParts) << input(inputs, "first.csv", first);
        if (!second.isEmpty())
            arguments << input(inputs, "second.csv", second);
        const Run run = import(arguments);
        QCOMPARE(run.err, report);
        QCOMPARE(run.status, 0);
        QCOMPARE(recordLines(data.path()).join("; "), records);
    }

    // Exit status 2 with one line naming the option.
    void badOptions_data()
    {
        kBadOptions.addColumns();
        const auto row = [](const char *name, const QStringList &arguments, const char *error) {
            QTest::newRow(name) << arguments << QString::fromUtf8(error);
        };
        row("no file", {"--folder", "x"}, "ingen fil att importera angiven");
        row("two pressure units", {"--folder", "x", "--kpa", "--inhg", "a.csv"},
            "--kpa och --inhg kan inte anges samtidigt");
        row("extremes and a temperature column",
            {"--folder", "x", "--high", "Max", "--temperature", "T", "a.csv"},
            "--high och --low kan inte blandas med --temperature eller --pressure");
    }

    void badOptions()
    {
        const auto [arguments, error] = kBadOptions.row();
        const ParsedImportOptions parsed = parseImportOptions(arguments);
        QVERIFY(!parsed.options && !parsed.help && !parsed.version);
        QCOMPARE(parsed.error, error);
    }

    // One line naming the file, the line and the fault; nothing is written.
    void badInputStops_data()
    {
        kBadInputStops.addColumns();
        const auto row = [](const char *name, const char *file, const char *message,
                            const QStringList &options = {}) {
            QTest::newRow(name) << QByteArray(file) << options << QString::fromUtf8(message);
        };
        row("a month 13", "time,temperature\n2024-04-01T00:00,1\n2024-13-01T00:00,1\n",
            "in.csv, rad 3: \"2024-13-01T00:00\" är ingen tid");
        row("not a number", "time;temperature\n2024-04-01T00:00;1,5 C\n",
            "in.csv, rad 2: \"1,5 C\" är ingen temperatur");
        row("beyond any reading", "time,temperature\n2024-04-01T00:00,75\n",
            "in.csv, rad 2: temperaturen 75.0 °C kan inte stämma");
        row("a pressure in the wrong unit", "time,qnh\n2024-04-01T00:00,101.3\n",
            "in.csv, rad 2: lufttrycket 101.3 hPa kan inte stämma");
        row("too few fields", "time,temperature,pressure\n2024-04-01T00:00,1,1000\n2024-04-01\n",
            "in.csv, rad 3: för få fält (1, minst 3 behövs)");
        row("a named column missing", "time,temperature\n2024-04-01T00:00,1\n",
            "in.csv, rad 1: kolumnen \"ute\" finns inte", {"--temperature", "ute"});
        row("no time column", "när,temperature\n2024-04-01T00:00,1\n",
            "in.csv, rad 1: ingen kolumn med tid hittades (ange den med --time, och --date om "
            "datum och klockslag står i var sin)");
    }

    void badInputStops()
    {
        const auto [file, options, message] = kBadInputStops.row();
        QTemporaryDir inputs, data;
        const Run run = import(QStringList{"--folder", data.path()} + options +
                               QStringList{input(inputs, "in.csv", file)});
        QCOMPARE(run.err, "kalvik-import: " + message + "\n");
        QCOMPARE(run.status, 1);
        QCOMPARE(QDir(data.path()).entryList(QDir::Files), QStringList());
    }

    // Records in the imported range stop the import, naming them, and leave
    // every year file as it was; --replace-range puts the imported ones in
    // their place. Records only before or after it are kept around it.
    void overlapRefusedThenReplaced()
    {
        QTemporaryDir inputs, data;
        const QString year = data.filePath("T_2024.dat");
        for (const DataRecord &r :
             {at("2024-03-01T00:00", 1000, 1), at("2024-03-01T01:00", 1001, 2),
              at("2024-03-01T02:00", 1002, 3), at("2024-03-01T04:00", 1004, 5),
              at("2024-03-02T00:00", 1005, 6)})
            QVERIFY(appendRecord(year, r).ok);
        QVERIFY(appendRecord(data.filePath("T_2025.dat"), at("2025-06-01T00:00", 1010, 9)).ok);
        const QStringList before = recordLines(data.path());
        const QStringList arguments{"--folder", data.path(),
                                    input(inputs, "in.csv",
                                          "time,temperature\n2024-03-01T01:30,10\n"
                                          "2024-03-01T02:30,11\n2025-01-01T00:00,12\n")};

        const Run refused = import(arguments);
        QCOMPARE(refused.err, QStringLiteral("kalvik-import: %1 har redan 1 post mellan "
                                             "2024-03-01 02:00 och 2024-03-01 02:00, inom de "
                                             "importerade tiderna; inget skrevs (--replace-range "
                                             "ersätter dem)\n")
                                  .arg(year));
        QCOMPARE(refused.status, 1);
        QCOMPARE(recordLines(data.path()), before);

        const Run replaced = import(arguments + QStringList{"--replace-range"});
        QCOMPARE(replaced.err, QString());
        QCOMPARE(replaced.status, 0);
        QCOMPARE(recordLines(data.path()).join("; "),
                 "2024-03-01 00:00:00 1.00 1000; 2024-03-01 01:00:00 2.00 1001; "
                 "2024-03-01 01:30:00 10.00 0; 2024-03-01 02:30:00 11.00 0; "
                 "2024-03-01 04:00:00 5.00 1004; 2024-03-02 00:00:00 6.00 1005; "
                 "2025-01-01 00:00:00 12.00 0; 2025-06-01 00:00:00 9.00 1010");
    }

    // A dry run says what it would write, per year, and writes nothing.
    void dryRunWritesNothing()
    {
        QTemporaryDir inputs, data;
        const Run run = import({"--folder", data.path(), "--dry-run",
                                input(inputs, "in.csv",
                                      "time;temperature;qnh\n2024-03-01T01:30;-1,5;990\n"
                                      "2024-05-01T02:30;11,25;1020\n2024-12-31T23:59:59Z;12;\n")});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out,
                 QStringLiteral("T_2024.dat: 2 poster, 2024-03-01 01:30 till 2024-05-01 02:30, "
                                "temperatur -1.5 till 11.3 °C, QNH 990 till 1020 hPa\n"
                                "T_2025.dat: 1 post, 2025-01-01 00:59 till 2025-01-01 00:59, "
                                "temperatur 12.0 till 12.0 °C, inget lufttryck\n"));
        QCOMPARE(QDir(data.path()).entryList(QDir::Files), QStringList());
    }

    // Samples appended as the logger appends them, a minute apart, while an
    // import merges January into the same year file and renames the result
    // over it. Every sample must be in the file afterwards, after January.
    void appendsBesideImport()
    {
        QTemporaryDir inputs, data;
        const QString year = data.filePath("T_2026.dat");
        QByteArray january = "time,temperature\n";
        const QDateTime monthStart(QDate(2026, 1, 1), QTime(0, 0), stockholm);
        constexpr int kJanuaryMinutes = 31 * 24 * 60;
        for (int m = 0; m < kJanuaryMinutes; ++m)
            january += monthStart.addSecs(60 * m).toString("yyyy-MM-ddThh:mm").toLatin1() + ",-3\n";
        const QString januaryFile = input(inputs, "january.csv", january);
        const QDateTime march(QDate(2026, 3, 1), QTime(0, 0, 30), stockholm);
        QVERIFY(appendRecord(year, at(march, 1000, 5)).ok); // the logger was there first

        std::atomic<bool> imported = false;
        auto logger = std::async(std::launch::async, [&] {
            int n = 1;
            while (!imported || n < 5)
                if (!appendRecord(year, at(march.addSecs(60 * n++), 1000, 5)).ok)
                    return -1;
            return n;
        });
        const Run run = import({"--folder", data.path(), januaryFile});
        imported = true;
        const int appended = logger.get();
        QVERIFY2(run.status == 0, qPrintable(run.err));

        const std::vector<DataRecord> records = readYearFile(year).records;
        QCOMPARE(qsizetype(records.size()), kJanuaryMinutes + appended);
        for (int i = 0; i < int(records.size()); ++i) {
            const DataRecord r = records[std::size_t(i)];
            const SampleStamp e =
                stampOf(i < kJanuaryMinutes ? monthStart.addSecs(60 * i)
                                            : march.addSecs(60 * (i - kJanuaryMinutes)));
            QCOMPARE(std::pair(r.dayNumber, r.timeOfDay), std::pair(e.dayNumber, e.timeOfDay));
        }
    }
};

QTEST_GUILESS_MAIN(tst_Import)
#include "tst_import.moc"

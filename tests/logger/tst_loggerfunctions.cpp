#include "Barometer.h"
#include "LoggerOptions.h"
#include "SampleStamp.h"
#include "Schedule.h"

#include <QTest>

// The logger's schedule, stamps, QNH and options, as plain functions.
class tst_LoggerFunctions : public QObject
{
    Q_OBJECT

    const QTimeZone stockholm{"Europe/Stockholm"};

    static QDateTime utc(const QString &text)
    {
        return QDateTime::fromString(text, Qt::ISODateWithMs).toUTC();
    }

private slots:
    void schedule_data()
    {
        QTest::addColumn<int>("interval");
        QTest::addColumn<QString>("after"); // UTC; Stockholm is +01 in winter, +02 in summer
        QTest::addColumn<QString>("next");
        QTest::newRow("10:03:27 -> 10:10") << 10 << "2026-03-14T09:03:27Z"
                                           << "2026-03-14T09:10:00Z";
        QTest::newRow("on a slot -> the next") << 10 << "2026-03-14T09:10:00Z"
                                               << "2026-03-14T09:20:00Z";
        QTest::newRow("7 min restarts at midnight") << 7 << "2026-03-14T22:55:30Z"
                                                    << "2026-03-14T23:00:00Z";
        QTest::newRow("spring: 01:50 -> 03:00 summer time") << 10 << "2026-03-29T00:50:00Z"
                                                            << "2026-03-29T01:00:00Z";
        QTest::newRow("spring: hourly 01:30 -> 03:00") << 60 << "2026-03-29T00:30:00Z"
                                                       << "2026-03-29T01:00:00Z";
        QTest::newRow("autumn: 02:50 summer -> 02:00 winter") << 10 << "2026-10-25T00:50:00Z"
                                                              << "2026-10-25T01:00:00Z";
        QTest::newRow("autumn: hourly, 02:00 twice") << 60 << "2026-10-25T00:00:00Z"
                                                     << "2026-10-25T01:00:00Z";
    }

    void schedule()
    {
        QFETCH(int, interval);
        QFETCH(QString, after);
        QFETCH(QString, next);
        QCOMPARE(nextSampleTime(utc(after), interval, stockholm).toUTC(), utc(next));
    }

    void stamp_data()
    {
        QTest::addColumn<QString>("taken"); // UTC
        QTest::addColumn<int>("dayNumber");
        QTest::addColumn<int>("secondOfDay"); // local
        QTest::addColumn<int>("year");
        QTest::newRow("last second of 2025") << "2025-12-31T22:59:59Z" << 46022 << 86399 << 2025;
        QTest::newRow("first sample of 2026") << "2025-12-31T23:00:00Z" << 46023 << 0 << 2026;
        QTest::newRow("leap day noon") << "2024-02-29T11:00:00Z" << 45351 << 43200 << 2024;
        QTest::newRow("spring: 03:00 summer time")
            << "2026-03-29T01:00:00Z" << 46110 << 3 * 3600 << 2026;
        QTest::newRow("autumn: 02:30 winter time")
            << "2026-10-25T01:30:00Z" << 46320 << 9000 << 2026;
        QTest::newRow("23:59:59.999 stays that day")
            << "2026-06-30T21:59:59.999Z" << 46203 << 86399 << 2026;
    }

    void stamp()
    {
        QFETCH(QString, taken);
        QFETCH(int, dayNumber);
        QFETCH(int, secondOfDay);
        QFETCH(int, year);
        const SampleStamp s = stampOf(utc(taken).toTimeZone(stockholm));
        QCOMPARE(s.dayNumber, dayNumber);
        QCOMPARE(s.timeOfDay, float(secondOfDay / 86400.0));
        QVERIFY(s.timeOfDay < 1.0f);
        QCOMPARE(s.year, year);
    }

    void qnh_data()
    {
        QTest::addColumn<double>("stationHpa");
        QTest::addColumn<double>("altitude");
        QTest::addColumn<int>("qnh");
        // The ICAO standard atmosphere's pressure at each height is 1013 at sea level.
        QTest::newRow("ICAO 0 m") << 1013.25 << 0.0 << 1013;
        QTest::newRow("ICAO 3000 m") << 701.09 << 3000.0 << 1013;
        QTest::newRow("1000 hPa at sea level") << 1000.0 << 0.0 << 1000;
        QTest::newRow("1000 hPa at 100 m") << 1000.0 << 100.0 << 1012;
        QTest::newRow("below sea level") << 1030.0 << -100.0 << 1018;
    }

    void qnh()
    {
        QFETCH(double, stationHpa);
        QFETCH(double, altitude);
        QFETCH(int, qnh);
        QCOMPARE(qnhFromStationPressure(stationHpa, altitude), qnh);
    }

    void goodOptions()
    {
        const LoggerOptions none = parseLoggerOptions({"kalvik-logger"}, "/opt/kalvik").options;
        QCOMPARE(none.folder, QString("/opt/kalvik"));
        QVERIFY(none.intervalMinutes == 10 && none.port == 889 && none.offset == -1.1);
        const ParsedOptions set = parseLoggerOptions(
            {"kalvik-logger", "--port", "0x201", "--offset", "0,5", "--altitude=42.5"}, "/x");
        QCOMPARE(set.action, ParsedOptions::Action::Run);
        QVERIFY(set.options.port == 513 && set.options.offset == 0.5 &&
                set.options.altitude == 42.5);
    }

    void badOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("named");
        QTest::newRow("interval 0") << QStringList{"--interval", "0"} << "--interval";
        QTest::newRow("interval 61") << QStringList{"--interval", "61"} << "--interval";
        QTest::newRow("interval 1.5") << QStringList{"--interval", "1.5"} << "--interval";
        QTest::newRow("port 0x") << QStringList{"--port", "0x"} << "--port";
        QTest::newRow("port 65536") << QStringList{"--port", "65536"} << "--port";
        QTest::newRow("offset text") << QStringList{"--offset", "kallt"} << "--offset";
        QTest::newRow("altitude 9001") << QStringList{"--altitude", "9001"} << "--altitude";
        QTest::newRow("value missing") << QStringList{"--folder"} << "--folder";
        QTest::newRow("stray argument") << QStringList{"/data"} << "\"/data\"";
    }

    void badOptions()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, named);
        arguments.prepend("kalvik-logger");
        const ParsedOptions parsed = parseLoggerOptions(arguments, "/opt/kalvik");
        QCOMPARE(parsed.action, ParsedOptions::Action::Refuse);
        QVERIFY2(parsed.error.startsWith("kalvik-logger: ") && parsed.error.contains(named) &&
                     !parsed.error.contains('\n'),
                 qPrintable(parsed.error));
    }
};

QTEST_GUILESS_MAIN(tst_LoggerFunctions)
#include "tst_loggerfunctions.moc"

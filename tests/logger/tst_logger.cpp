#include "Barometer.h"
#include "DataColumns.h"
#include "DataRecord.h"
#include "LoggerOptions.h"
#include "LoggerTest.h"
#include "Schedule.h"
#include "YearFile.h"
#include "YearFileAppend.h"

#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>

#include <cmath>
#include <fcntl.h>
#include <unistd.h>

// kalvik-logger: its schedule, stamps, QNH and options as plain functions,
// then whole runs on a fake clock and the program itself.
class tst_Logger : public QObject
{
    Q_OBJECT

    // after, next: UTC (Stockholm is +01 in winter, +02 in summer)
    static constexpr DataTable<int, QString, QString> kSchedule{"interval", "after", "next"};
    // taken: UTC, secondOfDay: local
    static constexpr DataTable<QString, int, int, int> kStamp{"taken", "dayNumber", "secondOfDay",
                                                              "year"};
    // busyMs: the port is in use that long; qnh: as written (0 no reading); calls: to the library
    static constexpr DataTable<double, double, int, int, int> kOnce{"stationHpa", "altitude",
                                                                    "busyMs", "qnh", "calls"};
    static constexpr DataTable<QString, QString> kPlanted{"planted", "named"};
    // start: local, set to 12:00 on 10 June 35 minutes later; newest: the last record on disk
    // (empty: none); records: in T_2026.dat after the run
    static constexpr DataTable<QString, QString, int, bool> kClock{"start", "newest", "records",
                                                                   "reported"};
    // files: name=value in iio:device3, split at spaces; pressureChannel: else the next device is
    // the barometer; kilopascals: 0 for no reading
    static constexpr DataTable<QString, bool, double> kBarometer{"files", "pressureChannel",
                                                                 "kilopascals"};
    // arguments: FOLDER stands for a temporary folder
    static constexpr DataTable<QString, int, QString> kRefusals{"arguments", "status", "message"};

    static QDateTime utc(const QString &text)
    {
        return QDateTime::fromString(text, Qt::ISODateWithMs).toUTC();
    }

private slots:
    void schedule_data()
    {
        kSchedule.addColumns();
        const auto row = [](const char *name, int interval, const char *after, const char *next) {
            QTest::newRow(name) << interval << QString(after) << QString(next);
        };
        row("10:03:27 -> 10:10", 10, "2026-03-14T09:03:27Z", "2026-03-14T09:10:00Z");
        row("on a slot -> the next", 10, "2026-03-14T09:10:00Z", "2026-03-14T09:20:00Z");
        row("7 min restarts at midnight", 7, "2026-03-14T22:55:30Z", "2026-03-14T23:00:00Z");
        row("spring: 01:50 -> 03:00", 10, "2026-03-29T00:50:00Z", "2026-03-29T01:00:00Z");
        row("spring: hourly 01:30 -> 03:00", 60, "2026-03-29T00:30:00Z", "2026-03-29T01:00:00Z");
        row("autumn: 02:50 -> 02:00 again", 10, "2026-10-25T00:50:00Z", "2026-10-25T01:00:00Z");
        row("autumn: hourly, 02:00 twice", 60, "2026-10-25T00:00:00Z", "2026-10-25T01:00:00Z");
    }

    void schedule()
    {
        const auto [interval, after, next] = kSchedule.row();
        QCOMPARE(nextSampleTime(utc(after), interval, stockholm).toUTC(), utc(next));
    }

    void stamp_data()
    {
        kStamp.addColumns();
        const auto row = [](const char *name, const char *taken, int day, int second, int year) {
            QTest::newRow(name) << QString(taken) << day << second << year;
        };
        row("last second of 2025", "2025-12-31T22:59:59Z", 46022, 86399, 2025);
        row("first sample of 2026", "2025-12-31T23:00:00Z", 46023, 0, 2026);
        row("leap day noon", "2024-02-29T11:00:00Z", 45351, 43200, 2024);
        row("spring: 03:00 summer time", "2026-03-29T01:00:00Z", 46110, 3 * 3600, 2026);
        row("autumn: 02:30 winter time", "2026-10-25T01:30:00Z", 46320, 9000, 2026);
        row("23:59:59.999 stays that day", "2026-06-30T21:59:59.999Z", 46203, 86399, 2026);
    }

    void stamp()
    {
        const auto [taken, dayNumber, secondOfDay, year] = kStamp.row();
        const SampleStamp s = stampOf(utc(taken).toTimeZone(stockholm));
        QCOMPARE(std::tuple(s.dayNumber, s.timeOfDay, s.year),
                 std::tuple(dayNumber, float(secondOfDay / 86400.0), year));
    }

    // One sample with --once through the stand-in library, which says why it
    // has no reading, and a barometer that reads stationHpa.
    void once_data()
    {
        kOnce.addColumns();
        const auto row = [](const char *name, double hPa, double altitude, int qnh, int busyMs = 0,
                            int calls = 1) {
            QTest::newRow(name) << hPa << altitude << busyMs << qnh << calls;
        };
        // The ICAO standard atmosphere's pressure at each height is 1013 at sea level.
        row("ICAO 0 m", 1013.25, 0, 1013);
        row("ICAO 3000 m", 701.09, 3000, 1013);
        row("1000 hPa at 100 m", 1000, 100, 1012);
        row("below sea level", 1030, -100, 1018);
        // What a year file may not hold as a reading is written as none.
        row("highest kept", 1090, 0, 1090);
        row("above the highest", 1091, 0, 0);
        row("below the lowest", 849, 0, 0);
        // The port is tried again while in use, for up to 2 s.
        row("port busy for 1.8 s", 1000, 0, 1000, 1800, 10);
        row("port busy beyond 2 s", 1000, 0, 1000, 5000, 11);
    }

    void once()
    {
        const auto [stationHpa, altitude, busyMs, qnh, calls] = kOnce.row();
        QTemporaryDir program;
        QVERIFY(QFile::copy(SMT160_DOUBLE_PATH, program.filePath("libSMT160.so")));
        writeText(program.filePath("iio:device0/in_pressure_input"),
                  QByteArray::number(stationHpa / 10, 'f', 6));
        writeText(program.filePath("smt160-reason.txt"), "porten används av ett annat program");
        FakeLoggerClock clock(local("2026-05-01T12:00:00"), local("2026-05-02T12:00:00"));
        const QDateTime free = clock.time.addMSecs(busyMs);
        clock.onWake = [&](const QDateTime &t) {
            writeText(program.filePath("smt160-reading.txt"), t < free ? "nan" : "5");
        };
        clock.onWake(clock.time);
        const auto [status, out, err] =
            runLogger({.folder = program.path(), .altitude = altitude, .once = true}, clock,
                      program.path(), program.path());
        QCOMPARE(status, 0);
        QFile log(program.filePath("smt160-calls.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.readAll().count('\n'), calls);
        const auto records = readYearFile(program.filePath("T_2026.dat")).records;
        QCOMPARE(records.size(), std::size_t(1));
        QCOMPARE(records[0].qnh, qnh);
        const bool reading = busyMs < 2000; // else the logger gives up on the port
        QCOMPARE(!std::isnan(records[0].temp), reading);
        QCOMPARE(err.contains("port 889: porten används av ett annat program"), !reading);
        QCOMPARE(err.contains("QNH skrivs som 0"), qnh == 0);
    }

    // Each wrong value is a row of the tools' command-line table (tests/tools).
    void goodOptions()
    {
        const auto parsed = [](const QStringList &arguments) {
            return *parseLoggerOptions(arguments, "/opt/kalvik").options;
        };
        const LoggerOptions none = parsed({});
        QVERIFY(none.folder == "/opt/kalvik" && none.intervalMinutes == 10 && none.port == 889 &&
                none.offset == -1.1 && none.mqtt.host.isEmpty());
        const LoggerOptions set = parsed({"--port", "0x201", "--offset", "0,5", "--altitude=42.5"});
        QVERIFY(set.port == 513 && set.offset == 0.5 && set.altitude == 42.5);
        const MqttOptions mqtt = parsed({"--mqtt", "mqtts://hub.lan", "--mqtt-prefix", "hus/väder",
                                         "--mqtt-discovery-prefix="})
                                     .mqtt;
        QVERIFY(mqtt.host == "hub.lan" && mqtt.port == 8883 && mqtt.tls &&
                mqtt.prefix == "hus/väder" && mqtt.discoveryPrefix.isEmpty() &&
                mqtt.station == stationFromHostName(QSysInfo::machineHostName()));
        QCOMPARE(stationFromHostName("Väder-Pi.lan"), QString("v_der_pi"));
    }

    // Samples on the clock across New Year through the stand-in sensor library
    // and a fake barometer, into two year files; a torn tail, a clock set back
    // and a file that cannot be written for a while along the way.
    void recordsAcrossNewYear()
    {
        QTemporaryDir program, data, iio;
        QVERIFY(QFile::copy(SMT160_DOUBLE_PATH, program.filePath("libSMT160.so")));

        // A record later than the first samples (the clock is behind), then a torn one.
        const DataRecord late = stampRecord(local("2025-12-31T23:59:00"), 1010, 3.0f);
        QVERIFY(appendRecord(data.filePath("T_2025.dat"), late).ok);
        QVERIFY(QFile::resize(data.filePath("T_2025.dat"), 16 + 7));
        QVERIFY(QDir(data.path()).mkdir("T_2026.dat")); // not writable until 00:15

        FakeLoggerClock clock(local("2025-12-31T23:31:00"), local("2026-01-01T00:25:00"));
        // Each moment gets its own reading: 0.1 C and 0.1 hPa per minute since 23:31.
        auto setReadings = [&](const QDateTime &t) {
            const double sinceStart = local("2025-12-31T23:31:00").secsTo(t) / 60.0;
            writeText(program.filePath("smt160-reading.txt"), QByteArray::number(sinceStart / 10));
            if (t >= local("2025-12-31T23:45:00") && t < local("2026-01-01T00:05:00"))
                QDir(iio.filePath("iio:device0")).removeRecursively(); // the barometer unplugged
            else
                writeText(iio.filePath("iio:device0/in_pressure_input"),
                          QByteArray::number(100.0 + sinceStart / 100, 'f', 4));
            if (t == local("2026-01-01T00:15:00"))
                QVERIFY(QDir(data.path()).rmdir("T_2026.dat"));
        };
        setReadings(clock.time);
        clock.onWake = setReadings;

        const auto [status, out, err] =
            runLogger({.folder = data.path(), .altitude = 0.0, .earliestYear = 2025}, clock,
                      program.path(), iio.path());
        QCOMPARE(status, 0);

        // The sensor's reading less 1.1 C; QNH 0 while the barometer is unplugged.
        const auto sample = [](const char *at, int qnh, float reading) {
            return stampRecord(local(at), qnh, float(double(reading) - 1.1));
        };
        QCOMPARE(readYearFile(data.filePath("T_2025.dat")).records,
                 (std::vector<DataRecord>{late, sample("2025-12-31T23:40:00", 1001, 0.9f),
                                          sample("2025-12-31T23:50:00", 0, 1.9f)}));
        QCOMPARE(readYearFile(data.filePath("T_2026.dat")).records,
                 (std::vector<DataRecord>{sample("2026-01-01T00:00:00", 0, 2.9f),
                                          sample("2026-01-01T00:10:00", 1004, 3.9f),
                                          sample("2026-01-01T00:20:00", 1005, 4.9f)}));
        QCOMPARE(out.count(QStringLiteral("T_2026.dat")), 3);
        QVERIFY2(err.count("T_2025.dat slutade med en avbruten post: 7 byte") == 1 &&
                     err.count("ställts bakåt") == 1 &&
                     err.contains("2 mätning(ar) skrivs vid nästa mätning"),
                 qPrintable(err));
        QCOMPARE(err.count("QNH skrivs som 0"), 2);
    }

    // What another account planted under next year's name is left as it is
    // and named: --once ends with 1, a running logger keeps its samples until
    // it is stopped and then says how many were lost.
    void refusesWhatIsPlanted_data()
    {
        kPlanted.addColumns();
        const auto row = [](const char *planted, const char *named) {
            QTest::newRow(planted) << QString(planted) << QString::fromUtf8(named);
        };
        row("folder", "T_2027.dat är ingen årsfil utan en mapp");
        row("dangling", "T_2027.dat är ingen årsfil utan en symbolisk länk");
        row("link", "utan en symbolisk länk"); // to a file it may write
        row("fifo", "utan en FIFO");
        row("foreign", "ägs av en annan användare (uid 65534)");
    }

    void refusesWhatIsPlanted()
    {
        const auto [planted, named] = kPlanted.row();
        if (planted == "foreign" && ::geteuid() != 0)
            QSKIP("only root can give a file to another user");
        QTemporaryDir data, elsewhere;
        const QByteArray name = QFile::encodeName(data.filePath("T_2027.dat"));
        const QString victim = elsewhere.filePath("victim");
        const QByteArray original(23, 'x'); // cut to 16 bytes and appended to, if written through
        writeText(victim, original);
        const QByteArray target = QFile::encodeName(planted == "link" ? victim : victim + "-gone");
        const auto plant = [&] {
            const char *at = name.constData();
            if (planted == "folder")
                return ::mkdir(at, 0755) == 0;
            if (planted == "fifo")
                return ::mkfifo(at, 0644) == 0;
            if (planted == "foreign")
                return ::close(::creat(at, 0644)) == 0 && ::chown(at, 65534, 65534) == 0;
            return ::symlink(target.constData(), at) == 0;
        };
        QVERIFY(plant());
        const auto state = [&] { // what lies under the name: its type and size
            struct stat st = {};
            return ::lstat(name.constData(), &st) == 0 ? std::pair(st.st_mode, st.st_size)
                                                       : std::pair(mode_t(0), off_t(-1));
        };
        const auto before = state();

        for (const bool once : {true, false}) {
            FakeLoggerClock clock(local("2027-01-01T00:00:30"), local("2027-01-01T00:25:00"));
            const auto [status, out, err] = runLogger({.folder = data.path(), .once = once}, clock,
                                                      data.path(), data.filePath("none"));
            QCOMPARE(status, once ? 1 : 0);
            QVERIFY2(err.contains(named) && !err.contains("finns inte"), qPrintable(err));
            const QString lost = "2 mätning(ar) kunde inte skrivas och går förlorade (den första "
                                 "2027-01-01 00:10:00): " +
                                 data.filePath("T_2027.dat");
            QVERIFY2(once || err.contains(lost), qPrintable(err));
        }
        QCOMPARE(state(), before);
        QFile file(victim);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), original);
    }

    // A clock not yet set (a computer without a clock battery) writes nothing
    // until it is right; a clock a little behind the last record is only slow.
    void waitsForTheClock_data()
    {
        kClock.addColumns();
        QTest::newRow("1970 at boot") << "1970-01-01T01:00:00" << QString() << 3 << true;
        QTest::newRow("last shutdown's time") << "2026-05-01T12:00:00"
                                              << "2026-06-10T08:00:00" << 1 + 3 << true;
        QTest::newRow("an hour behind the last record") << "2026-06-10T07:00:00"
                                                        << "2026-06-10T08:00:00" << 1 + 6 << false;
    }

    void waitsForTheClock()
    {
        const auto [start, newest, records, reported] = kClock.row();
        QTemporaryDir data;
        if (!newest.isEmpty())
            QVERIFY(
                appendRecord(data.filePath("T_2026.dat"), stampRecord(local(newest), 0, 1.0f)).ok);
        FakeLoggerClock clock(local(start), local(start).addSecs(3600));
        const QDateTime set = local("2026-06-10T12:00:00");
        clock.onWake = [&](const QDateTime &t) {
            if (t < set && t >= local(start).addSecs(35 * 60)) {
                clock.time = set;
                clock.end = set.addSecs(25 * 60);
            }
        };
        const auto [status, out, err] = runLogger({.folder = data.path(), .earliestYear = 2026},
                                                  clock, data.path(), data.filePath("none"));
        QCOMPARE(status, 0);

        QCOMPARE(QDir(data.path()).entryList({"T_*.dat"}), QStringList{"T_2026.dat"});
        QCOMPARE(readYearFile(data.filePath("T_2026.dat")).records.size(), std::size_t(records));
        QCOMPARE(err.count("klockan är inte ställd"), reported ? 1 : 0);
        QCOMPARE(err.count("klockan går rätt nu (2026-06-10 12:00:00)"), reported ? 1 : 0);
    }

    // in_pressure_input is read in recordsAcrossNewYear.
    void barometer_data()
    {
        kBarometer.addColumns();
        QTest::newRow("raw + offset")
            << "in_pressure_raw=331 in_pressure_offset=25000 in_pressure_scale=0.004" << true
            << 101.324;
        QTest::newRow("scale missing") << "in_pressure_raw=25331" << true << 0.0;
        QTest::newRow("no pressure channel") << "in_temp_input=21000" << false << 0.0;
    }

    void barometer()
    {
        const auto [files, pressureChannel, kilopascals] = kBarometer.row();
        QTemporaryDir iio;
        QDir root(iio.path());
        writeText(root.filePath("iio:device12/in_pressure_input"), "99.0");
        for (const QString &f : files.split(' '))
            writeText(root.filePath("iio:device3/" + f.section('=', 0, 0)),
                      f.section('=', 1).toLatin1());

        // Devices in number order: 3 before 12.
        QCOMPARE(findBarometer(iio.path()),
                 root.filePath(pressureChannel ? "iio:device3" : "iio:device12"));
        const PressureReading p = readPressure(root.filePath("iio:device3"));
        QCOMPARE(p.kilopascals.value_or(0.0), kilopascals);
        QCOMPARE(p.error.isEmpty(), kilopascals > 0);
    }

    void refusesToStart_data()
    {
        kRefusals.addColumns();
        QTest::newRow("read-only folder")
            << "--folder FOLDER/ro" << 1 << "kan inte skriva i mappen";
        QTest::newRow("no folder") << "--folder FOLDER/saknas" << 1 << "finns inte";
        QTest::newRow("barometer without altitude")
            << "--folder FOLDER/rw --barometer FOLDER" << 2 << "--altitude";
        QTest::newRow("MQTT password readable by all")
            << "--folder FOLDER/rw --mqtt mqtt://127.0.0.1:1 --mqtt-credentials FOLDER/mqtt" << 2
            << "kan läsas av alla";
    }

    // The program itself, as a service manager starts it; as an ordinary
    // user, since root may write anywhere.
    void refusesToStart()
    {
        auto [arguments, status, message] = kRefusals.row();
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("ro") && QDir(dir.path()).mkdir("rw"));
        for (const auto &[name, mode] : {std::pair{"", 0755}, {"/rw", 0777}, {"/ro", 0555}})
            QCOMPARE(::chmod(QFile::encodeName(dir.path() + name).constData(), mode_t(mode)), 0);
        arguments.replace("FOLDER", dir.path());
        writeText(dir.filePath("mqtt"), "kalvik\nhemligt\n", 0644);

        QProcess logger;
        if (::geteuid() == 0)
            logger.setChildProcessModifier([] {
                constexpr uid_t kNobody = 65534;
                if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
                    ::_exit(99);
            });
        logger.start(KALVIK_LOGGER_PATH, (arguments + " --once").split(' '));
        QVERIFY(logger.waitForFinished(10000));
        const QString err = QString::fromUtf8(logger.readAllStandardError());
        QCOMPARE(logger.exitCode(), status);
        QVERIFY2(err.contains(message) && err.count('\n') == 1, qPrintable(err)); // one line
        QVERIFY(QDir(dir.filePath("rw")).isEmpty());
    }

    // The program from its own folder: with no --folder it keeps the year
    // files there (its first line names the folder; the MQTT test's --once
    // finds its file there), and a stop while it waits ends it cleanly.
    void runsFromItsFolderAndStopsOnSigterm()
    {
        QTemporaryDir program;
        const QString folder = QFileInfo(program.path()).canonicalFilePath();
        QVERIFY(QFile::copy(KALVIK_LOGGER_PATH, folder + "/kalvik-logger"));
        QVERIFY(QFile::copy(SMT160_DOUBLE_PATH, folder + "/libSMT160.so"));
        QProcess logger;
        logger.start(folder + "/kalvik-logger", {"--altitude", "0"});
        QVERIFY(logger.waitForReadyRead(10000)); // started, waiting for the next sample
        logger.terminate();
        QVERIFY(logger.waitForFinished(10000));
        QCOMPARE(logger.exitCode(), 0);
        const QByteArray out = logger.readAllStandardOutput();
        QVERIFY2(out.startsWith("kalvik-logger: mappen " + folder.toUtf8() + ",") &&
                     out.endsWith("slutar\n"),
                 out.constData());
    }
};

QTEST_GUILESS_MAIN(tst_Logger)
#include "tst_logger.moc"

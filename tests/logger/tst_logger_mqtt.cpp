#include "DataColumns.h"
#include "DayNumber.h"
#include "LoggerTest.h"
#include "YearFile.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <cmath>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

// Listens on 127.0.0.1 at a port the kernel picks and never answers, as the
// test never runs an event loop for it: a broker that hangs. Once it is
// gone, the port is free for a broker of the test's own.
struct LocalSocket : QTcpServer
{
    const int port = listen(QHostAddress::LocalHost) ? serverPort() : 0;
};

bool accepts(int port)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, quint16(port));
    return socket.waitForConnected(1000);
}

// A private mosquitto on 127.0.0.1, stopped when it goes out of scope (also when a check fails).
class Broker
{
public:
    Broker(const QString &folder, const QByteArray &config, int port) : port(port)
    {
        QFile conf(folder + "/mosquitto.conf");
        QVERIFY(conf.open(QIODevice::WriteOnly | QIODevice::Truncate));
        conf.write("persistence false\nlog_dest stderr\nlog_type error\n");
        if (::geteuid() == 0)
            conf.write("user root\n"); // else it drops to "mosquitto", who cannot read our files
        conf.write("listener " + QByteArray::number(port) + " 127.0.0.1\n" + config);
        // Debian's, in /usr/sbin, which an ordinary user's PATH may lack.
        m_process.setProgram(QStandardPaths::findExecutable("mosquitto", {"/usr/sbin"}));
        m_process.setArguments({"-c", conf.fileName()});
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // Gone with the test even if the test itself dies.
        m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    }
    ~Broker() { stop(); }

    bool start()
    {
        m_process.start();
        const QDeadlineTimer waited(5000);
        while (m_process.waitForStarted(5000) && !accepts(port) && !waited.hasExpired())
            ::usleep(20000);
        return accepts(port);
    }

    void stop()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }

    const int port;

private:
    QProcess m_process;
};

struct Message
{
    bool retained = false;
    QByteArray payload;
};

// What the broker keeps retained under topic (a filter), read as a fresh subscriber would.
QMap<QString, Message> retained(int port, const QString &topic, int count,
                                const QStringList &login = {})
{
    QProcess sub;
    sub.start("mosquitto_sub",
              QStringList{"-h", "127.0.0.1", "-p", QString::number(port), "-q", "1", "-t", topic,
                          "-C", QString::number(count), "-W", "3", "-F", "%r %t %p"} +
                  login);
    QMap<QString, Message> messages;
    if (!sub.waitForFinished(10000))
        return messages;
    for (const QByteArray &line : sub.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() >= 3)
            messages[QString::fromUtf8(parts[1])] = {
                parts[0] == "1", line.mid(parts[0].size() + parts[1].size() + 2)};
    }
    return messages;
}

// A state message against the record in the year file: the same values, a
// missing reading as null, and the time with the local offset.
void compareState(const QByteArray &json, const DataRecord &r)
{
    const QJsonObject state = QJsonDocument::fromJson(json).object();
    const QJsonValue temperature = state["temperature"], qnh = state["qnh"];
    const QDateTime time = QDateTime::fromString(state["time"].toString(), Qt::ISODate);
    const SampleStamp s = stampOf(time.toTimeZone(stockholm));
    QVERIFY2(
        state.size() == 3 &&
            (std::isnan(r.temp) ? temperature.isNull() : float(temperature.toDouble()) == r.temp) &&
            (r.qnh == 0 ? qnh.isNull() : qnh.toInt(-1) == r.qnh) && time.isValid() &&
            time.offsetFromUtc() == stockholm.offsetFromUtc(time) && s.dayNumber == r.dayNumber &&
            s.timeOfDay == r.timeOfDay,
        json.constData());
}

} // namespace

// kalvik-logger publishing to a real mosquitto on 127.0.0.1.
class tst_LoggerMqtt : public QObject
{
    Q_OBJECT

    // reading: the stand-in sensor's value; barometer: 101.0 kPa at 0 m, QNH 1010; broker: plain,
    // password, tls or silent; secret: the password or CA the logger is given; logLine: said once
    // on standard error (empty: published)
    static constexpr DataTable<QByteArray, bool, QString, QString, QString> kOnce{
        "reading", "barometer", "broker", "secret", "logLine"};

    // Two self-signed certificates for 127.0.0.1, each its own CA: the broker's and an unused one.
    QTemporaryDir m_keys;

private slots:
    void initTestCase()
    {
        qputenv("TZ", "Europe/Stockholm"); // the logger's local time, as the test reads it
        const QString req =
            "req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 "
            "-subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -keyout %1.key -out %1.crt";
        for (const QString name : {"ca", "other"})
            QVERIFY(QProcess::execute("openssl", req.split(' ').replaceInStrings(
                                                     "%1", m_keys.filePath(name))) == 0);
    }

    // --once through the stand-in sensor library and a fake barometer: the record goes to the year
    // file whatever the broker does, and what the broker keeps is that record.
    void once_data()
    {
        kOnce.addColumns();
        const auto row = [](const char *name, const char *reading, bool barometer,
                            const char *broker, const char *secret, const char *logLine) {
            QTest::newRow(name) << QByteArray(reading) << barometer << QString(broker)
                                << QString(secret) << QString::fromUtf8(logLine);
        };
        row("published", "21.3", true, "plain", "", "");
        row("no reading, no barometer", "nan", false, "plain", "", "");
        row("right password", "-4.25", true, "password", "rätt", "");
        row("wrong password", "5", true, "password", "fel", "vägrar anslutningen: inte behörig");
        row("TLS, our CA", "12.5", true, "tls", "ca.crt", "");
        row("TLS, unknown CA", "12.5", true, "tls", "other.crt",
            "TLS-anslutningen till mqtts://127.0.0.1");
        row("never answers", "7", true, "silent", "", "mätningen publicerades inte");
    }

    void once()
    {
        const auto [reading, barometer, broker, secret, logLine] = kOnce.row();
        QTemporaryDir dir;
        const QString d = dir.path() + "/";
        QVERIFY(QFile::copy(KALVIK_LOGGER_PATH, d + "kalvik-logger"));
        QVERIFY(QFile::copy(SMT160_DOUBLE_PATH, d + "libSMT160.so"));
        writeText(d + "smt160-reading.txt", reading);
        writeText(d + "iio:device0/in_pressure_input", "101.0");

        // Both bound at once, so that they differ; plainPort is where the test reads.
        const auto [port, plainPort] = std::pair{LocalSocket().port, LocalSocket().port};
        QByteArray config = "allow_anonymous true\n";
        QStringList args = QString("--once --offset 0 --altitude 0 --mqtt-station test").split(' ');
        args << "--mqtt" << QStringLiteral("mqtt://127.0.0.1:%1").arg(port);
        QStringList login;
        if (barometer)
            args << "--barometer" << d + "iio:device0";
        if (broker == "password") {
            QVERIFY(QProcess::execute("mosquitto_passwd",
                                      {"-b", "-c", d + "passwd", "kalvik", "rätt"}) == 0);
            config =
                "allow_anonymous false\npassword_file " + QFile::encodeName(d + "passwd") + "\n";
            writeText(d + "credentials", "kalvik\n" + secret.toUtf8() + "\n", 0640);
            args << "--mqtt-credentials" << d + "credentials";
            login = QStringList{"-u", "kalvik", "-P", "rätt"};
        } else if (broker == "tls") {
            const QByteArray k = QFile::encodeName(m_keys.path() + "/");
            config = "cafile " + k + "ca.crt\ncertfile " + k + "ca.crt\nkeyfile " + k +
                     "ca.key\nallow_anonymous true\n";
            args.replaceInStrings("mqtt://", "mqtts://");
            args << "--mqtt-ca" << m_keys.path() + "/" + secret;
        }
        Broker mosquitto(dir.path(),
                         config + "listener " + QByteArray::number(plainPort) + " 127.0.0.1\n",
                         port);
        LocalSocket silent;
        if (broker == "silent")
            args.replaceInStrings(QString::number(port), QString::number(silent.port));
        else
            QVERIFY(mosquitto.start());

        QProcess logger;
        const QDateTime started = QDateTime::currentDateTime();
        const QDeadlineTimer inTime(6500); // monotonic: a clock step cannot pass or fail it
        logger.start(d + "kalvik-logger", args);
        QVERIFY(logger.waitForFinished(15000));
        QVERIFY2(!inTime.hasExpired(), "the logger waited more than 6.5 s");
        QCOMPARE(logger.exitCode(), 0);

        const QStringList files = QDir(d).entryList({"T_*.dat"});
        QCOMPARE(files.size(), 1);
        const std::vector<DataRecord> records = readYearFile(d + files[0]).records;
        QCOMPARE(records.size(), std::size_t(1));
        const DataRecord &r = records[0];
        const QDateTime sampled(DayNumber::toDate(r.dayNumber),
                                QTime(0, 0).addSecs(int(std::lround(r.timeOfDay * 86400.0))),
                                stockholm);
        QVERIFY(std::abs(started.secsTo(sampled)) <= 2); // on time, not after the broker
        QCOMPARE(r.qnh, barometer ? 1010 : 0);

        const QString err = QString::fromUtf8(logger.readAllStandardError());
        if (!logLine.isEmpty()) {
            QVERIFY2(err.count(logLine) == 1, qPrintable(err));
            if (broker != "silent")
                QVERIFY(!retained(plainPort, "kalvik/test/state", 1, login)
                             .contains("kalvik/test/state"));
            return;
        }
        QVERIFY2(!err.contains("MQTT"), qPrintable(err));
        const QMap<QString, Message> kept = retained(plainPort, "#", 4, login);
        QVERIFY(kept["kalvik/test/state"].retained);
        compareState(kept["kalvik/test/state"].payload, r);
        QCOMPARE(kept["kalvik/test/status"].payload, QByteArray("online"));

        // Home Assistant's two sensors, of one device.
        QJsonObject device;
        for (const auto &[sensor, own] :
             {std::pair{"temperature", R"("name": "Temperatur", "device_class": "temperature",
                          "unit_of_measurement": "°C", "suggested_display_precision": 1)"},
              {"qnh", R"j("name": "Lufttryck (QNH)", "device_class": "atmospheric_pressure",
                         "unit_of_measurement": "hPa", "suggested_display_precision": 0)j"}}) {
            const Message m =
                kept[QStringLiteral("homeassistant/sensor/kalvik_test_%1/config").arg(sensor)];
            QJsonObject config = QJsonDocument::fromJson(m.payload).object();
            const QJsonObject of = config.take("device").toObject();
            const QString expected = QStringLiteral(
                R"({"unique_id": "kalvik_test_%1", "value_template": "{{ value_json.%1 }}",
                    "state_topic": "kalvik/test/state", "availability_topic": "kalvik/test/status",
                    "state_class": "measurement", %2})");
            QVERIFY2(m.retained &&
                         config == QJsonDocument::fromJson(
                                       expected.arg(sensor, QString::fromUtf8(own)).toUtf8())
                                       .object(),
                     m.payload.constData());
            QVERIFY(!of["identifiers"].toArray().isEmpty() && (device.isEmpty() || of == device));
            device = of;
        }
    }

    // The broker goes away between samples and comes back: every sample is in
    // the year file, the logger reconnects by itself, and the broker ends with
    // the latest sample and "offline" after the clean stop.
    void brokerRestarts()
    {
        QTemporaryDir dir;
        const QString d = dir.path() + "/";
        QVERIFY(QFile::copy(SMT160_DOUBLE_PATH, d + "libSMT160.so"));
        Broker mosquitto(dir.path(), "allow_anonymous true\n", LocalSocket().port);
        QVERIFY(mosquitto.start());

        const QDateTime from(QDate(2026, 12, 7), QTime(14, 0), stockholm);
        FakeLoggerClock clock(from, from.addSecs(6 * 60));
        const auto latest = [&] { return readYearFile(d + "T_2026.dat").records.back(); };
        const auto brokerHas = [&](const DataRecord &r) {
            const QDeadlineTimer waited(20000); // the publisher's thread runs in real time
            while (!waited.hasExpired()) {
                const Message m =
                    retained(mosquitto.port, "kalvik/test/state", 1)["kalvik/test/state"];
                if (float(QJsonDocument::fromJson(m.payload)["temperature"].toDouble()) == r.temp)
                    return true;
            }
            return false;
        };
        // The sample at 14:0N reads N degrees.
        bool ok = true;
        qint64 seen = -1;
        clock.onWake = [&](const QDateTime &t) {
            const qint64 minute = from.secsTo(t) / 60;
            if (minute == seen) // the logger's look for a stop right after a sample
                return;
            seen = minute;
            writeText(d + "smt160-reading.txt", QByteArray::number(minute));
            if (minute == 3) { // two samples published, then the broker goes
                ok = ok && brokerHas(latest());
                mosquitto.stop();
            } else if (minute == 5) { // two samples with no broker
                ok = ok && mosquitto.start() && brokerHas(latest());
            }
        };
        clock.onWake(clock.time);

        const QString args =
            QStringLiteral("--interval 1 --offset 0 --mqtt-station test --mqtt mqtt://127.0.0.1:%1")
                .arg(mosquitto.port);
        const auto [status, out, err] =
            runLogger(*parseLoggerOptions(args.split(' '), dir.path()).options, clock, dir.path(),
                      d + "no-iio");
        QCOMPARE(status, 0);
        QVERIFY2(ok, qPrintable(out + err));

        const std::vector<DataRecord> records = readYearFile(d + "T_2026.dat").records;
        QCOMPARE(records.size(), std::size_t(6));
        for (std::size_t i = 0; i < records.size(); ++i)
            QCOMPARE(records[i].temp, float(i + 1));
        const QMap<QString, Message> kept = retained(mosquitto.port, "kalvik/test/#", 2);
        compareState(kept["kalvik/test/state"].payload, records.back());
        QCOMPARE(kept["kalvik/test/status"].payload, QByteArray("offline"));
        QVERIFY2(out.count("MQTT: ansluten") == 2 && err.count("MQTT: förbindelsen") == 1,
                 qPrintable(out + err));
    }
};

QTEST_GUILESS_MAIN(tst_LoggerMqtt)
#include "tst_logger_mqtt.moc"

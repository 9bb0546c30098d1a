#include "MqttPublisher.h"

#include "DayNumber.h"
#include "LoggerText.h"
#include "Plausible.h"
#include "YearFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <mosquitto.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

constexpr int kQos = 1;
constexpr int kKeepAliveSeconds = 30;
constexpr int kLoopTimeoutMs = 1000;
// A broker that takes the connection but never answers it is given up after this.
constexpr auto kAnswerTimeout = 10s;
constexpr auto kFirstRetry = 1s;
constexpr auto kLongestRetry = 60s;
constexpr auto kStopWait = 1s;
// Sent but not acknowledged: beyond this a new state waits for the next connection.
constexpr int kMaxUnacknowledged = 32;
constexpr std::size_t kRememberedAcks = 16;
constexpr qint64 kMaxCredentialsBytes = 4096;
const QByteArray kOnline = QByteArrayLiteral("online");
const QByteArray kOffline = QByteArrayLiteral("offline");

QString refusalReason(int code)
{
    const auto &reasons = LoggerText::refusalReasons;
    return code >= 1 && code <= int(std::size(reasons)) ? reasons[code - 1]
                                                        : LoggerText::refusalCode.arg(code);
}

QString networkReason(int rc, int err)
{
    if (rc == MOSQ_ERR_EAI)
        return LoggerText::unknownHost;
    if (rc != MOSQ_ERR_ERRNO)
        return QString::fromUtf8(mosquitto_strerror(rc));
    for (const auto &[code, reason] : LoggerText::networkReasons)
        if (code == err)
            return reason;
    return errnoReason(err);
}

} // namespace

MqttCredentials readMqttCredentials(const QString &path)
{
    MqttCredentials c;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    struct stat st
    {
    };
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        const int err = errno;
        c.error = LoggerText::cannotRead.arg(path, err == ENOENT  ? LoggerText::noSuchFile
                                                   : err == ELOOP ? LoggerText::noLinks
                                                                  : errnoReason(err));
    } else if (!S_ISREG(st.st_mode)) {
        c.error = LoggerText::notAFile.arg(path);
    } else if ((st.st_mode & S_IRWXO) != 0) {
        c.error = LoggerText::readableByAll.arg(path);
    } else {
        QFile file;
        if (file.open(fd, QIODevice::ReadOnly)) {
            const QList<QByteArray> lines = file.read(kMaxCredentialsBytes).split('\n');
            c.user = QString::fromUtf8(lines.value(0)).remove(QLatin1Char('\r'));
            c.password = QString::fromUtf8(lines.value(1)).remove(QLatin1Char('\r'));
        }
        if (c.user.isEmpty())
            c.error = LoggerText::credentialLines.arg(path);
    }
    if (fd >= 0)
        ::close(fd);
    return c;
}

QByteArray mqttStateJson(const DataRecord &record, int utcOffsetSeconds)
{
    QByteArray temperature = QByteArrayLiteral("null");
    if (isPlausibleTemp(record.temp)) {
        // The shortest text that reads back as the same float: 21.3, not 21.299999237.
        char text[32];
        const auto end = std::to_chars(std::begin(text), std::end(text), record.temp).ptr;
        temperature = QByteArray(text, int(end - text));
    }
    const QByteArray qnh =
        isPlausibleQnh(record.qnh) ? QByteArray::number(record.qnh) : QByteArrayLiteral("null");
    const int second = int(std::lround(double(record.timeOfDay) * 86400));
    const QDateTime time(DayNumber::toDate(record.dayNumber), QTime(0, 0).addSecs(second),
                         Qt::OffsetFromUTC, utcOffsetSeconds);
    return QByteArrayLiteral("{\"temperature\": ") + temperature +
           QByteArrayLiteral(", \"qnh\": ") + qnh + QByteArrayLiteral(", \"time\": \"") +
           time.toString(Qt::ISODate).toLatin1() + QByteArrayLiteral("\"}");
}

MqttPublisher::MqttPublisher(MqttOptions options, LogLine log)
    : m_options(std::move(options)), m_log(std::move(log))
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { mosquitto_lib_init(); });

    const QByteArray clientId = "kalvik_" + m_options.station.toUtf8();
    m_mosq = mosquitto_new(clientId.constData(), true, this);
    if (!m_mosq) {
        m_setupError = LoggerText::cannotMakeClient.arg(errnoReason(errno));
        return;
    }
    mosquitto_threaded_set(m_mosq, true);
    mosquitto_connect_callback_set(m_mosq, [](mosquitto *, void *self, int rc) {
        static_cast<MqttPublisher *>(self)->onConnect(rc);
    });
    mosquitto_disconnect_callback_set(m_mosq, [](mosquitto *, void *self, int) {
        auto *p = static_cast<MqttPublisher *>(self);
        const std::lock_guard lock(p->m_mutex);
        p->m_connected = false;
    });
    mosquitto_publish_callback_set(m_mosq, [](mosquitto *, void *self, int mid) {
        static_cast<MqttPublisher *>(self)->onPublish(mid);
    });
    mosquitto_log_callback_set(m_mosq, [](mosquitto *, void *self, int level, const char *text) {
        static_cast<MqttPublisher *>(self)->onLog(level, text);
    });
    if (!m_options.discoveryPrefix.isEmpty())
        for (const bool temperature : {true, false})
            m_discovery.emplace_back(m_options.discoveryPrefix + QStringLiteral("/sensor/kalvik_") +
                                         m_options.station +
                                         (temperature ? QStringLiteral("_temperature/config")
                                                      : QStringLiteral("_qnh/config")),
                                     discoveryConfig(temperature));
    const QByteArray status = statusTopic().toUtf8();
    mosquitto_will_set(m_mosq, status.constData(), int(kOffline.size()), kOffline.constData(), kQos,
                       true);

    if (!m_options.credentialsFile.isEmpty()) {
        const MqttCredentials c = readMqttCredentials(m_options.credentialsFile);
        if (!c.error.isEmpty()) {
            m_setupError = QStringLiteral("MQTT: ") + c.error;
            return;
        }
        mosquitto_username_pw_set(m_mosq, c.user.toUtf8().constData(),
                                  c.password.toUtf8().constData());
    }
    if (m_options.tls) {
        if (m_options.caFile.isEmpty()) {
            mosquitto_int_option(m_mosq, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
        } else if (mosquitto_tls_set(m_mosq, QFile::encodeName(m_options.caFile).constData(),
                                     nullptr, nullptr, nullptr, nullptr) != MOSQ_ERR_SUCCESS) {
            m_setupError = LoggerText::cannotReadCa.arg(m_options.caFile);
            return;
        }
    }
}

MqttPublisher::~MqttPublisher()
{
    stop(false);
    if (m_mosq)
        mosquitto_destroy(m_mosq);
}

QString MqttPublisher::stateTopic() const
{
    return m_options.prefix + QLatin1Char('/') + m_options.station + QStringLiteral("/state");
}

QString MqttPublisher::statusTopic() const
{
    return m_options.prefix + QLatin1Char('/') + m_options.station + QStringLiteral("/status");
}

void MqttPublisher::start()
{
    if (m_setupError.isEmpty() && !m_thread.joinable())
        m_thread = std::thread([this] { loop(); });
}

void MqttPublisher::publish(const DataRecord &record, int utcOffsetSeconds)
{
    {
        const std::lock_guard lock(m_mutex);
        m_state = mqttStateJson(record, utcOffsetSeconds);
        m_stateDelivered = false;
        m_stateMid = -1;
    }
    sendLatestState();
}

bool MqttPublisher::waitForDelivery(std::chrono::milliseconds limit)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, limit, [this] { return m_stateDelivered || m_givenUp; });
    return m_stateDelivered;
}

void MqttPublisher::stop(bool announceOffline)
{
    if (!m_thread.joinable())
        return;
    {
        const std::lock_guard send(m_sendMutex);
        std::unique_lock lock(m_mutex);
        if (announceOffline && m_connected) {
            lock.unlock();
            publishNow(statusTopic(), kOffline); // goes out before the DISCONNECT below
            lock.lock();
        }
        m_stopping = true;
        m_stopDeadline = std::chrono::steady_clock::now() + kStopWait;
    }
    m_changed.notify_all();
    mosquitto_disconnect(m_mosq); // also wakes the thread from its wait for the socket
    m_thread.join();
}

void MqttPublisher::loop()
{
    bool first = true;
    auto retry = kFirstRetry;
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        m_lastError.clear();
        m_refusal = 0;
        m_connectedThisAttempt = false;
        m_announce = false;
        lock.unlock();
        const QByteArray host = m_options.host.toUtf8();
        int rc = first ? mosquitto_connect_async(m_mosq, host.constData(), m_options.port,
                                                 kKeepAliveSeconds)
                       : mosquitto_reconnect_async(m_mosq);
        int error = errno;
        first = false;
        const auto began = std::chrono::steady_clock::now();
        bool noAnswer = false;
        while (rc == MOSQ_ERR_SUCCESS) {
            rc = mosquitto_loop(m_mosq, kLoopTimeoutMs, 1);
            error = errno;
            lock.lock();
            const auto now = std::chrono::steady_clock::now();
            noAnswer = !m_connectedThisAttempt && now - began > kAnswerTimeout;
            // A clean stop lets the DISCONNECT go out, so that the broker keeps its will.
            if (rc != MOSQ_ERR_SUCCESS || noAnswer ||
                (m_stopping && (!m_connected || now > m_stopDeadline)))
                break;
            // Published here rather than in the callbacks: once the library has
            // taken the CONNACK whole, a message goes out at once and in order.
            if (std::exchange(m_announce, false)) {
                m_connected = true;
                report(Condition::Connected, {});
                lock.unlock();
                publishAll();
            } else if (m_stateWaiting && m_connected && m_unacknowledged < kMaxUnacknowledged) {
                lock.unlock();
                sendLatestState();
            } else {
                lock.unlock();
            }
        }
        if (!lock.owns_lock())
            lock.lock();
        m_connected = false;
        const bool wasConnected = m_connectedThisAttempt;
        if (m_stopping)
            break;
        if (noAnswer) {
            report(Condition::NoAnswer, {});
        } else if (wasConnected) {
            report(Condition::Lost, {});
        } else if (rc == MOSQ_ERR_CONN_REFUSED) {
            m_givenUp = true;
            report(Condition::Refused, refusalReason(m_refusal));
        } else if (rc == MOSQ_ERR_TLS) {
            m_givenUp = true;
            report(Condition::Tls, m_lastError);
        } else {
            report(Condition::Unreachable, networkReason(rc, error));
        }
        m_changed.notify_all();
        if (wasConnected)
            retry = kFirstRetry;
        m_changed.wait_for(lock, retry, [this] { return m_stopping; });
        retry = std::min<std::chrono::seconds>(retry * 2, kLongestRetry);
    }
}

void MqttPublisher::onConnect(int rc)
{
    std::unique_lock lock(m_mutex);
    if (rc != 0) {
        m_refusal = rc;
        return;
    }
    m_connectedThisAttempt = true;
    m_announce = true;
    m_givenUp = false;
    // What the last connection left unacknowledged is the library's to resend
    // or drop; counting it on would in time keep every new state back.
    m_unacknowledged = 0;
}

void MqttPublisher::publishAll()
{
    for (const auto &[topic, config] : m_discovery)
        publishNow(topic, config);
    publishNow(statusTopic(), kOnline);
    sendLatestState();
}

void MqttPublisher::sendLatestState()
{
    // One state at a time, each the latest when it is read: whichever thread
    // sends last sends the newest, so the retained state is never an older one.
    const std::lock_guard send(m_sendMutex);
    std::unique_lock lock(m_mutex);
    if (!m_state || !m_connected)
        return; // it goes out with the next connection
    m_stateWaiting = m_unacknowledged >= kMaxUnacknowledged;
    if (m_stateWaiting)
        return; // the broker is behind; it goes out once it catches up
    const QByteArray state = *m_state;
    lock.unlock();
    const int mid = publishNow(stateTopic(), state);
    lock.lock();
    if (mid < 0 || m_state != state)
        return;
    const auto early = std::find(m_earlyAcks.begin(), m_earlyAcks.end(), mid);
    if (early == m_earlyAcks.end()) {
        m_stateMid = mid;
        return;
    }
    m_earlyAcks.erase(early);
    m_stateDelivered = true;
    m_changed.notify_all();
}

int MqttPublisher::publishNow(const QString &topic, const QByteArray &payload)
{
    int mid = -1;
    const QByteArray t = topic.toUtf8();
    if (mosquitto_publish(m_mosq, &mid, t.constData(), int(payload.size()), payload.constData(),
                          kQos, true) != MOSQ_ERR_SUCCESS)
        return -1;
    const std::lock_guard lock(m_mutex);
    ++m_unacknowledged;
    return mid;
}

void MqttPublisher::onPublish(int mid)
{
    const std::lock_guard lock(m_mutex);
    m_unacknowledged = std::max(m_unacknowledged - 1, 0);
    if (mid == m_stateMid) {
        m_stateDelivered = true;
        m_changed.notify_all();
    } else {
        m_earlyAcks.push_back(mid);
        if (m_earlyAcks.size() > kRememberedAcks)
            m_earlyAcks.pop_front();
    }
}

void MqttPublisher::onLog(int level, const char *text)
{
    if (level != MOSQ_LOG_ERR)
        return;
    // "OpenSSL Error[0]: error:0A000086:SSL routines::certificate verify failed"
    const std::lock_guard lock(m_mutex);
    m_lastError = QString::fromUtf8(text).section(QLatin1Char(':'), -1).trimmed();
}

// Called with m_mutex held; says nothing while the state stays the same.
void MqttPublisher::report(Condition condition, const QString &reason)
{
    if (condition == m_reported && reason == m_reportedReason)
        return;
    m_reported = condition;
    m_reportedReason = reason;
    const QString &url = m_options.url;
    switch (condition) {
    case Condition::None:
        return;
    case Condition::Connected:
        m_log(false, LoggerText::connected.arg(url, m_options.prefix + QLatin1Char('/') +
                                                        m_options.station));
        return;
    case Condition::Refused:
        m_log(true, LoggerText::refused.arg(url, reason));
        return;
    case Condition::Unreachable:
        m_log(true, LoggerText::cannotConnect.arg(url, reason));
        return;
    case Condition::NoAnswer:
        m_log(true, LoggerText::noAnswer.arg(url));
        return;
    case Condition::Tls:
        m_log(true, LoggerText::tlsFailed.arg(
                        url, reason.isEmpty() ? LoggerText::unknownError : reason,
                        m_options.caFile.isEmpty() ? LoggerText::systemCas : m_options.caFile));
        return;
    case Condition::Lost:
        m_log(true, LoggerText::connectionLost.arg(url));
        return;
    }
}

QByteArray MqttPublisher::discoveryConfig(bool temperature) const
{
    const QString id = QStringLiteral("kalvik_") + m_options.station;
    const QJsonObject device{
        {QStringLiteral("identifiers"), QJsonArray{id}},
        {QStringLiteral("name"), QStringLiteral("Kalvik ") + m_options.station},
        {QStringLiteral("manufacturer"), QStringLiteral("Kalvik")},
        {QStringLiteral("model"), QStringLiteral("kalvik-logger")},
        {QStringLiteral("sw_version"), QCoreApplication::applicationVersion()},
    };
    const QString key = temperature ? QStringLiteral("temperature") : QStringLiteral("qnh");
    const QJsonObject config{
        {QStringLiteral("name"),
         temperature ? LoggerText::temperatureSensor : LoggerText::pressureSensor},
        {QStringLiteral("unique_id"), id + QLatin1Char('_') + key},
        {QStringLiteral("state_topic"), stateTopic()},
        {QStringLiteral("value_template"), QStringLiteral("{{ value_json.%1 }}").arg(key)},
        {QStringLiteral("device_class"),
         temperature ? QStringLiteral("temperature") : QStringLiteral("atmospheric_pressure")},
        {QStringLiteral("unit_of_measurement"),
         temperature ? QStringLiteral("°C") : QStringLiteral("hPa")},
        {QStringLiteral("state_class"), QStringLiteral("measurement")},
        {QStringLiteral("suggested_display_precision"), temperature ? 1 : 0},
        {QStringLiteral("availability_topic"), statusTopic()},
        {QStringLiteral("device"), device},
    };
    return QJsonDocument(config).toJson(QJsonDocument::Compact);
}

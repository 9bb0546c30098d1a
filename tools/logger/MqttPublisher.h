#pragma once

#include "DataRecord.h"
#include "LoggerOptions.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

struct mosquitto;

struct MqttCredentials
{
    QString user;
    QString password;
    QString error; // why the file cannot be used, in Swedish
};

// Reads the user name and password, one a line, from a file that only its
// owner and group may read.
MqttCredentials readMqttCredentials(const QString &path);

// The state message: the record's values as it holds them, null for no reading.
QByteArray mqttStateJson(const DataRecord &record, int utcOffsetSeconds);

// Sends the samples to an MQTT broker from a thread of its own, so that a
// broker that is slow, away or refusing never holds up the year file. Only the
// latest sample matters to a subscriber (the state is retained), so a sample
// that cannot go out is replaced by the next and the queue stays short.
class MqttPublisher
{
public:
    // One line per change of the connection's state; problem lines are warnings.
    using LogLine = std::function<void(bool problem, const QString &line)>;

    MqttPublisher(MqttOptions options, LogLine log);
    ~MqttPublisher(); // stops without announcing "offline"
    MqttPublisher(const MqttPublisher &) = delete;
    MqttPublisher &operator=(const MqttPublisher &) = delete;

    // Why the publisher cannot start (a credentials or CA file), empty when it can.
    QString setupError() const { return m_setupError; }
    void start();
    // Hands a record that is safely on disk to the broker; never waits.
    void publish(const DataRecord &record, int utcOffsetSeconds);
    // Waits up to limit for the broker to acknowledge the latest state; false
    // at once when the broker has refused the connection.
    bool waitForDelivery(std::chrono::milliseconds limit);
    // Announces "offline" if asked (a clean stop), then disconnects.
    void stop(bool announceOffline);

    QString stateTopic() const;
    QString statusTopic() const;

private:
    enum class Condition { None, Connected, Refused, Unreachable, NoAnswer, Tls, Lost };

    void loop();
    void onConnect(int rc);
    void onPublish(int mid);
    void onLog(int level, const char *text);
    void publishAll(); // after each connect
    void sendLatestState();
    int publishNow(const QString &topic, const QByteArray &payload); // the message id, or -1
    void report(Condition condition, const QString &reason);
    QByteArray discoveryConfig(bool temperature) const;

    MqttOptions m_options;
    LogLine m_log;
    QString m_setupError;
    std::vector<std::pair<QString, QByteArray>> m_discovery; // topic, config
    mosquitto *m_mosq = nullptr;
    std::thread m_thread;

    std::mutex m_sendMutex; // held while a state or "offline" is handed to the library
    std::mutex m_mutex;     // guards everything below
    std::condition_variable m_changed;
    bool m_connected = false;
    bool m_connectedThisAttempt = false;
    bool m_announce = false; // connected: discovery, "online" and the state to send
    bool m_stopping = false;
    std::chrono::steady_clock::time_point m_stopDeadline;
    std::optional<QByteArray> m_state; // latest state, kept for the next connection
    int m_stateMid = -1;
    bool m_stateDelivered = false;
    bool m_stateWaiting = false; // held back while the broker is behind
    bool m_givenUp = false;      // refused or TLS failed: no answer will come soon
    std::deque<int> m_earlyAcks; // acknowledged before publish() learnt their id
    int m_unacknowledged = 0;
    int m_refusal = 0;   // the broker's CONNACK code
    QString m_lastError; // libmosquitto's last error line (OpenSSL's reason)
    Condition m_reported = Condition::None;
    QString m_reportedReason;
};

// kalvik-logger's MQTT publishing against a private mosquitto on 127.0.0.1:
// from a sample handed to the publisher to the broker's acknowledgement, and
// to a subscriber (as Home Assistant would get it).
#include "MqttPublisher.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <mosquitto.h>

#include <arpa/inet.h>
#include <condition_variable>
#include <mutex>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// Debian puts the broker in /usr/sbin, which an ordinary user's PATH may lack.
QString broker()
{
    const QString found = QStandardPaths::findExecutable("mosquitto");
    return found.isEmpty() ? QStandardPaths::findExecutable("mosquitto", {"/usr/sbin"}) : found;
}

int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    ::bind(fd, reinterpret_cast<sockaddr *>(&a), size);
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &size);
    ::close(fd);
    return ntohs(a.sin_port);
}

struct Broker
{
    QTemporaryDir dir;
    QProcess process;
    int port = freePort();

    bool start()
    {
        QFile conf(dir.filePath("mosquitto.conf"));
        if (!conf.open(QIODevice::WriteOnly))
            return false;
        conf.write(QByteArray("listener ") + QByteArray::number(port) +
                   " 127.0.0.1\nallow_anonymous true\npersistence false\nlog_type error\n");
        if (::geteuid() == 0)
            conf.write("user root\n");
        conf.close();
        process.start(broker(), {"-c", conf.fileName()});
        return process.waitForStarted(5000);
    }
    ~Broker()
    {
        process.terminate();
        process.waitForFinished(5000);
    }
};

MqttOptions options(int port)
{
    MqttOptions o;
    o.url = QStringLiteral("mqtt://127.0.0.1:%1").arg(port);
    o.host = QStringLiteral("127.0.0.1");
    o.port = port;
    o.station = QStringLiteral("bench");
    return o;
}

DataRecord record(int i)
{
    return DataRecord{46363, float(i % 1440) / 1440.0f, 1013, float(i % 300) / 10.0f};
}

void BM_SampleToBrokerAck(benchmark::State &state)
{
    Broker broker;
    if (!broker.start()) {
        state.SkipWithError("mosquitto did not start");
        return;
    }
    MqttPublisher publisher(options(broker.port), [](bool, const QString &) {});
    publisher.start();
    int i = 0;
    publisher.publish(record(i++), 3600);
    if (!publisher.waitForDelivery(10s)) {
        state.SkipWithError("no connection to mosquitto");
        return;
    }
    for (auto _ : state) {
        publisher.publish(record(i++), 3600);
        if (!publisher.waitForDelivery(5s))
            state.SkipWithError("not acknowledged");
    }
}
BENCHMARK(BM_SampleToBrokerAck)->Unit(benchmark::kMicrosecond)->UseRealTime();

// A second client subscribed to the state topic counts what arrives.
void BM_SampleToSubscriber(benchmark::State &state)
{
    Broker broker;
    if (!broker.start()) {
        state.SkipWithError("mosquitto did not start");
        return;
    }
    struct Inbox
    {
        std::mutex mutex;
        std::condition_variable arrived;
        int count = 0;
        void waitBeyond(int n)
        {
            std::unique_lock lock(mutex);
            arrived.wait(lock, [&] { return count > n; });
        }
        int seen()
        {
            const std::lock_guard lock(mutex);
            return count;
        }
    } inbox;
    mosquitto *sub = mosquitto_new("bench-sub", true, &inbox);
    mosquitto_message_callback_set(sub, [](mosquitto *, void *box, const mosquitto_message *) {
        auto *in = static_cast<Inbox *>(box);
        const std::lock_guard lock(in->mutex);
        ++in->count;
        in->arrived.notify_all();
    });
    for (int tries = 0; mosquitto_connect(sub, "127.0.0.1", broker.port, 30) != MOSQ_ERR_SUCCESS;
         ++tries) {
        if (tries == 100) {
            state.SkipWithError("no connection to mosquitto");
            mosquitto_destroy(sub);
            return;
        }
        std::this_thread::sleep_for(50ms);
    }
    mosquitto_subscribe(sub, nullptr, "kalvik/bench/state", 1);
    mosquitto_loop_start(sub);

    MqttPublisher publisher(options(broker.port), [](bool, const QString &) {});
    publisher.start();
    int i = 0;
    publisher.publish(record(i++), 3600);
    publisher.waitForDelivery(10s);
    inbox.waitBeyond(0); // the retained state, once subscribed
    for (auto _ : state) {
        const int before = inbox.seen();
        publisher.publish(record(i++), 3600);
        inbox.waitBeyond(before);
    }
    mosquitto_disconnect(sub);
    mosquitto_loop_stop(sub, false);
    mosquitto_destroy(sub);
}
BENCHMARK(BM_SampleToSubscriber)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

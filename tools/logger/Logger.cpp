#include "Logger.h"

#include "Barometer.h"
#include "DayNumber.h"
#include "LoggerText.h"
#include "Plausible.h"
#include "SampleStamp.h"
#include "Schedule.h"
#include "SensorPort.h"
#include "YearFile.h"
#include "YearFileAppend.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <limits>
#include <span>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

constexpr auto kBusyRetryFor = 2s;
constexpr auto kBusyRetryPause = 200ms;
constexpr auto kLongestSleep = 60s; // so a clock set back is noticed within a minute
// A week of one-minute samples waits for a folder that cannot be written;
// older ones are given up.
constexpr std::size_t kMaxPending = 7 * 24 * 60;
constexpr double kHpaPerKpa = 10.0;
// --once waits this long for the broker to acknowledge the sample.
constexpr auto kOnceDeliveryWait = 5s;

QString stampText(const DataRecord &r)
{
    const QDateTime t(DayNumber::toDate(r.dayNumber),
                      QTime(0, 0).addSecs(int(std::lround(double(r.timeOfDay) * 86400))));
    return t.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

bool laterThan(const DataRecord &a, const DataRecord &b)
{
    return a.dayNumber != b.dayNumber ? a.dayNumber > b.dayNumber : a.timeOfDay > b.timeOfDay;
}

double daysOf(const DataRecord &r)
{
    return double(r.dayNumber) + double(r.timeOfDay);
}

// A clock set back by less than this is the logger's own business (a
// correction, summer time); further back it was never set.
constexpr double kClockSlackDays = 1.0;

} // namespace

Logger::Logger(LoggerOptions options, SensorLibrary &sensor, LoggerClock &clock,
               LoggerStreams streams, QTimeZone zone, QString iioRoot)
    : m_options(std::move(options)), m_sensor(sensor), m_clock(clock), m_streams(streams),
      m_zone(std::move(zone)), m_iioRoot(std::move(iioRoot))
{}

int Logger::run()
{
    if (const std::optional<int> status = refuseToStart())
        return *status;
    m_streams.out << LoggerText::started.arg(QDir(m_options.folder).absolutePath())
                         .arg(m_options.port)
                         .arg(m_barometer.isEmpty() ? LoggerText::noBarometer : m_barometer)
                  << Qt::endl;
    m_newest = newestRecordOnDisk();
    if (m_mqtt)
        m_mqtt->start();
    if (m_options.once) {
        const QString why = sample();
        if (m_mqtt && why.isEmpty() && !m_mqtt->waitForDelivery(kOnceDeliveryWait))
            warn(LoggerText::notPublished);
        m_mqtt.reset(); // "online" stays until the next run or the broker's will
        if (!why.isEmpty()) {
            warn(why);
            return 1;
        }
        return 0;
    }

    const int interval = m_options.intervalMinutes;
    QDateTime next = nextSampleTime(m_clock.now(), interval, m_zone);
    for (;;) {
        const QDateTime now = m_clock.now();
        if (now >= next) {
            sample();
            next = nextSampleTime(m_clock.now(), interval, m_zone);
            if (!m_clock.sleepFor(0ms)) // a stop asked for during the sample
                break;
            continue;
        }
        if (now.secsTo(next) > qint64(interval) * 60) // the clock was set back
            next = nextSampleTime(now, interval, m_zone);
        const auto wait = std::min(std::chrono::milliseconds(now.msecsTo(next)),
                                   std::chrono::milliseconds(kLongestSleep));
        if (!m_clock.sleepFor(wait))
            break;
    }
    if (m_mqtt)
        m_mqtt->stop(true); // "offline" now rather than the broker's will later
    m_mqtt.reset();
    stop();
    return 0;
}

void Logger::stop()
{
    // Samples still waiting get a last try, and what is lost is said, with why.
    m_stopping = true;
    const Written last = m_pending.empty() ? Written{} : writePending();
    if (!m_pending.empty())
        warn(LoggerText::samplesLost.arg(m_pending.size())
                 .arg(stampText(m_pending.front().record), last.error));
    m_streams.out << LoggerText::stopping << Qt::endl;
}

std::optional<DataRecord> Logger::newestRecordOnDisk() const
{
    // Only files of this account count: nobody else can hold the logger up
    // with a record dated far ahead.
    const QDir folder(m_options.folder);
    const QStringList names =
        folder.entryList({QStringLiteral("T_????.dat")}, QDir::Files | QDir::System, QDir::Name);
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        const QString path = folder.filePath(*name);
        struct stat st
        {
        };
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode) ||
            st.st_uid != ::geteuid() || st.st_size < off_t(kRecordSize))
            continue;
        DataRecord last{};
        if (readRecordsAt(path, st.st_size / off_t(kRecordSize) - 1, std::span(&last, 1)) == 1)
            return last;
    }
    return std::nullopt;
}

QString Logger::clockProblem(const DataRecord &record, int year) const
{
    if (year < m_options.earliestYear)
        return LoggerText::clockBeforeBuild.arg(stampText(record)).arg(m_options.earliestYear);
    if (m_newest && daysOf(record) < daysOf(*m_newest) - kClockSlackDays)
        return LoggerText::clockBehindDisk.arg(stampText(record), stampText(*m_newest));
    return {};
}

std::optional<int> Logger::refuseToStart()
{
    const QFileInfo folder(m_options.folder);
    const QByteArray path = QFile::encodeName(m_options.folder);
    if (!folder.isDir()) {
        warn((folder.exists() ? LoggerText::notAFolder : LoggerText::noFolder)
                 .arg(m_options.folder));
        return 1;
    }
    if (::access(path.constData(), W_OK | X_OK) != 0) {
        warn(LoggerText::cannotWriteFolder.arg(m_options.folder, errnoReason(errno)));
        return 1;
    }
    m_barometer = m_options.barometer.isEmpty() ? findBarometer(m_iioRoot) : m_options.barometer;
    if (!m_barometer.isEmpty() && !m_options.altitude) {
        // A station pressure stored as QNH is off by about 12 hPa per 100 m.
        warn(LoggerText::altitudeNeeded.arg(m_barometer));
        return 2;
    }
    if (!m_options.mqtt.host.isEmpty()) {
        m_mqtt = std::make_unique<MqttPublisher>(m_options.mqtt, [this](bool problem,
                                                                        const QString &line) {
            const std::lock_guard lock(m_streamMutex);
            (problem ? m_streams.err : m_streams.out) << LoggerText::linePrefix << line << Qt::endl;
        });
        if (const QString error = m_mqtt->setupError(); !error.isEmpty()) {
            m_mqtt.reset();
            warn(error);
            return 2;
        }
    }
    return std::nullopt;
}

QString Logger::sample()
{
    const QDateTime taken = m_clock.now().toTimeZone(m_zone);
    const float temp = readTemperature();
    const std::int32_t qnh = readQnh();
    const SampleStamp stamp = stampOf(taken);
    const DataRecord record{stamp.dayNumber, stamp.timeOfDay, qnh, temp};
    const QLocale locale;
    const QString line =
        taken.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) + "  " +
        (std::isnan(temp) ? LoggerText::noTemperatureInLine
                          : locale.toString(temp, 'f', 1) + LoggerText::celsiusInLine) +
        "  QNH " + (qnh == 0 ? LoggerText::noQnhInLine : QString::number(qnh)) + "  ";

    // A clock that starts in 1970, or at the last shutdown, would file the
    // sample under a wrong date: it is not written until the clock is right.
    if (const QString wrong = clockProblem(record, stamp.year); !wrong.isEmpty()) {
        if (!m_clockReported && !m_options.once)
            warn(wrong + LoggerText::nothingWrittenYet);
        m_clockReported = true;
        const std::lock_guard lock(m_streamMutex);
        m_streams.out << line << LoggerText::notWritten << Qt::endl;
        return wrong;
    }
    if (m_clockReported)
        warn(LoggerText::clockRight.arg(stampText(record)));
    m_clockReported = false;

    if (m_pending.size() >= kMaxPending) {
        warn(LoggerText::givenUp.arg(stampText(m_pending.front().record)));
        m_pending.pop_front();
    }
    m_pending.push_back({stamp.year, record});
    const Written written = writePending();
    if (m_mqtt && m_pending.empty()) // on disk first; a broker only ever gets a copy
        m_mqtt->publish(record, taken.offsetFromUtc());
    const std::lock_guard lock(m_streamMutex);
    m_streams.out << line << written.file << Qt::endl;
    return written.error;
}

float Logger::readTemperature()
{
    // The window may be reading the same port: a busy port is tried again.
    const QDateTime giveUp = m_clock.now().addMSecs(
        std::chrono::duration_cast<std::chrono::milliseconds>(kBusyRetryFor).count());
    for (;;) {
        const float raw = readSensorAt(m_sensor, m_options.port);
        if (!std::isnan(raw))
            return float(double(raw) + m_options.offset);
        const QString reason = sensorReason(m_sensor);
        if (!isPortBusyReason(reason) || m_clock.now() >= giveUp ||
            !m_clock.sleepFor(kBusyRetryPause)) {
            warn(LoggerText::noTemperature.arg(m_options.port)
                     .arg(reason.isEmpty() ? QString() : QStringLiteral(": ") + reason));
            return std::numeric_limits<float>::quiet_NaN();
        }
    }
}

std::int32_t Logger::readQnh()
{
    if (m_options.barometer.isEmpty()) {
        // A barometer unplugged and plugged in again may come back under another number.
        const QString found = findBarometer(m_iioRoot);
        if (!found.isEmpty())
            m_barometer = found;
    }
    if (m_barometer.isEmpty())
        return 0;
    if (!m_options.altitude) {
        warn(LoggerText::barometerWithoutAltitude.arg(m_barometer));
        return 0;
    }
    const PressureReading pressure = readPressure(m_barometer);
    if (!pressure.kilopascals) {
        warn(pressure.error + LoggerText::qnhWrittenAsZero);
        return 0;
    }
    const int qnh = qnhFromStationPressure(*pressure.kilopascals * kHpaPerKpa, *m_options.altitude);
    // Beyond what a year file may hold as a reading: a barometer or scale gone wrong.
    if (!isPlausibleQnh(qnh)) {
        warn(LoggerText::implausibleQnh.arg(m_barometer).arg(qnh));
        return 0;
    }
    return qnh;
}

Logger::Written Logger::writePending()
{
    Written written;
    QString &path = written.file;
    while (!m_pending.empty()) {
        const Pending &p = m_pending.front();
        path = QDir(m_options.folder).filePath(yearFileName(p.year));
        const AppendOutcome outcome = appendRecord(path, p.record);
        if (outcome.droppedBytes > 0)
            warn(LoggerText::tornTail.arg(path).arg(outcome.droppedBytes));
        if (!outcome.ok) {
            written.error = outcome.error;
            if (!m_options.once && !m_stopping) // those say it as they end
                warn(LoggerText::writtenNextTime.arg(outcome.error).arg(m_pending.size()));
            break;
        }
        if (outcome.previous && !laterThan(p.record, *outcome.previous))
            warn(LoggerText::clockSetBack.arg(stampText(p.record), path,
                                              stampText(*outcome.previous)));
        if (!outcome.syncError.isEmpty())
            warn(outcome.syncError);
        if (!m_newest || laterThan(p.record, *m_newest))
            m_newest = p.record;
        m_pending.pop_front();
    }
    return written;
}

void Logger::warn(const QString &text)
{
    const std::lock_guard lock(m_streamMutex);
    m_streams.err << LoggerText::linePrefix << text << Qt::endl;
}

#pragma once

#include "DataRecord.h"
#include "LoggerOptions.h"
#include "MqttPublisher.h"
#include "SensorLibrary.h"

#include <QDateTime>
#include <QString>
#include <QTextStream>
#include <QTimeZone>

#include <chrono>
#include <deque>
#include <memory>
#include <mutex>

// Time as the logger sees it: the real clock with the stop signals in main(),
// a clock driven by hand in the tests.
class LoggerClock
{
public:
    virtual ~LoggerClock() = default;
    virtual QDateTime now() = 0;
    // Sleeps for up to duration; false, at once, when the logger is to stop.
    virtual bool sleepFor(std::chrono::milliseconds duration) = 0;
};

struct LoggerStreams
{
    QTextStream &out; // one line per sample
    QTextStream &err; // warnings
};

class Logger
{
public:
    Logger(LoggerOptions options, SensorLibrary &sensor, LoggerClock &clock, LoggerStreams streams,
           QTimeZone zone, QString iioRoot);

    // Checks the folder and the barometer, then samples until stopped (or
    // once). Returns the exit status.
    int run();

private:
    struct Pending
    {
        int year;
        DataRecord record;
    };

    std::optional<int> refuseToStart();
    // Why the sample is not in its file (and will not be); empty when it is,
    // or when it waits to be written with the next one.
    QString sample();
    QString clockProblem(const DataRecord &record, int year) const;
    std::optional<DataRecord> newestRecordOnDisk() const;
    float readTemperature();
    std::int32_t readQnh();
    struct Written
    {
        QString file;  // the last file written to, or tried
        QString error; // why the oldest pending sample could not be written
    };
    Written writePending();
    void stop();
    void warn(const QString &text);

    LoggerOptions m_options;
    SensorLibrary &m_sensor;
    LoggerClock &m_clock;
    LoggerStreams m_streams;
    QTimeZone m_zone;
    QString m_iioRoot;
    QString m_barometer;                // the device in use, also while it is unplugged
    std::deque<Pending> m_pending;      // samples not yet in their file, oldest first
    std::optional<DataRecord> m_newest; // the latest record known to be on disk
    bool m_clockReported = false;       // while the clock is wrong, said once
    bool m_stopping = false;
    std::unique_ptr<MqttPublisher> m_mqtt;
    std::mutex m_streamMutex; // the publisher's thread writes its lines too
};

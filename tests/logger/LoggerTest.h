#pragma once

// What the logger's tests share: Stockholm's clock, files written in a line
// (with their folders), and a run of the logger on a fake clock.
#include "FakeLoggerClock.h"
#include "LibrarySensor.h"
#include "Logger.h"
#include "SampleStamp.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <sys/stat.h>

inline const QTimeZone stockholm{"Europe/Stockholm"};

inline void writeText(const QString &path, const QByteArray &text, mode_t mode = 0600)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(text), text.size());
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

inline QDateTime local(const QString &text)
{
    QDateTime t = QDateTime::fromString(text, Qt::ISODate);
    t.setTimeZone(stockholm);
    return t;
}

inline DataRecord stampRecord(const QDateTime &t, int qnh, float temp)
{
    const SampleStamp s = stampOf(t);
    return DataRecord{s.dayNumber, s.timeOfDay, qnh, temp};
}

struct LoggerRun
{
    int status = -1;
    QString out, err;
};

// The logger with the sensor library of program, the barometers under iio.
inline LoggerRun runLogger(const LoggerOptions &options, LoggerClock &clock, const QString &program,
                           const QString &iio)
{
    LoggerRun run;
    LibrarySensor sensor(program);
    QTextStream out(&run.out), err(&run.err);
    Logger logger(options, sensor, clock, {out, err}, stockholm, iio);
    run.status = logger.run();
    return run;
}

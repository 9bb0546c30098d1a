#pragma once

#include "Curves.h"
#include "YearFile.h"

#include <QString>

#include <cstdint>

// Everything one redraw needs from a year file, from a single read of it:
// both curves, and for the data table the number of records and the last one.
struct YearPass
{
    bool ok = false;     // the file was there or could be made, and was read
    QString errorString; // why not: the path and the reason, in Swedish
    qint64 records = 0;
    TemperatureCurve temperature;
    PressureCurve pressure;
    DataRecord lastRecord; // all zeros when the file holds none
};

// A missing file is created empty first, as the logger expects to find it.
YearPass readYearPass(const QString &path, std::int32_t yearStartDay);

// A year file read whole once and then followed while a logger appends to it:
// the curves' builders are kept, and only the records added since are read
// and given to them, so following a year of one-second samples costs what
// following an hourly one does.
class YearFollower
{
public:
    YearFollower(QString path, std::int32_t yearStartDay);

    // The whole file, as readYearPass reads it; following starts from here.
    YearPass readWhole();

    enum class Change {
        None,       // nothing to draw anew
        Grown,      // records were added: the curves below include them
        Rewritten,  // shrunk, replaced or changed before its end: read it whole again
        Unreadable, // cannot be looked at or read now; errorString() says why
    };
    // One stat when the file has not changed; otherwise reads what was added.
    Change follow();

    TemperatureCurve temperature() const { return m_temperature.current(false); }
    PressureCurve pressure() const { return m_pressure.current(false); }
    qint64 records() const { return m_records; }
    const DataRecord &lastRecord() const { return m_last; }
    const QString &errorString() const { return m_error; }

    // What a stat tells of the file: which file it is, how long, when changed.
    struct Look
    {
        bool seen = false;
        std::uint64_t device = 0, inode = 0;
        qint64 bytes = 0;
        qint64 modifiedNs = 0, changedNs = 0;
    };

private:
    Change readAdded(const Look &now);

    QString m_path;
    bool m_wholeRead = false; // the last whole read went to the end without a problem
    Look m_look;              // of the file as far as it has been read
    qint64 m_records = 0;
    DataRecord m_last{};
    QString m_error;
    TemperatureCurveBuilder m_temperature;
    PressureCurveBuilder m_pressure;
};

#pragma once

#include "Logger.h"

#include <QDateTime>

#include <chrono>
#include <functional>

// The logger's clock in a test: time moves only when the logger sleeps, and
// the run ends at `end`. onWake, when set, sees each new time.
class FakeLoggerClock : public LoggerClock
{
public:
    FakeLoggerClock(QDateTime from, QDateTime to) : time(std::move(from)), end(std::move(to)) {}
    QDateTime now() override { return time; }
    bool sleepFor(std::chrono::milliseconds d) override
    {
        if (time >= end)
            return false;
        time = time.addMSecs(d.count());
        if (onWake)
            onWake(time);
        return true;
    }

    QDateTime time, end;
    std::function<void(const QDateTime &)> onWake;
};

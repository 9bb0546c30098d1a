#pragma once

#include "Logger.h"

#include <QDateTime>

#include <chrono>
#include <functional>

// The logger's clock in tests: time moves only as the logger sleeps, until `end`; onWake sees it.
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

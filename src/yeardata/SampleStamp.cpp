#include "SampleStamp.h"

#include "DayNumber.h"

namespace {

constexpr double kSecondsPerDay = 24 * 60 * 60;

} // namespace

SampleStamp stampOf(const QDateTime &localTime)
{
    const QDate date = localTime.date();
    const int seconds = localTime.time().msecsSinceStartOfDay() / 1000;
    return SampleStamp{.dayNumber = std::int32_t(DayNumber::fromDate(date)),
                       .timeOfDay = float(seconds / kSecondsPerDay),
                       .year = date.year()};
}

QString yearFileName(int year)
{
    return QStringLiteral("T_%1.dat").arg(year, 4, 10, QLatin1Char('0'));
}

#include "DataRow.h"

#include "LocaleText.h"
#include "ReadoutCaptions.h"

#include <QTime>

#include <cmath>

namespace {

constexpr int kTemperatureColumn = 9;
constexpr qsizetype kLongestTemperatureText = 8;  // "-99.9  C", "999.9  C"
constexpr qsizetype kShortestTemperatureText = 6; // "0.0  C"
constexpr double kHalfTenth = 0.05;
constexpr int kSecondsPerDay = 86400;

const QLatin1String kGap("        ");
const QLatin1String kQnhLabel("     QNH");
const QLatin1String kUnknownDate("----------");

} // namespace

QString temperaturePiece(float temp, const QLocale &locale)
{
    if (!std::isfinite(temp))
        return {};
    // What rounds to 0.0 is shown as 0.0, never as "-0.0". No float lies
    // between 0.05f and the double 0.05, so this test is exact.
    if (std::abs(double(temp)) < kHalfTenth)
        temp = 0.0f;
    QString text = LocaleText::fixed(temp, 1, locale) + QLatin1String("  C");
    if (text.size() < kShortestTemperatureText || text.size() > kLongestTemperatureText)
        return {};
    return text.rightJustified(kTemperatureColumn);
}

QString qnhPiece(std::int32_t qnh)
{
    const QString digits = QString::number(qnh);
    return qnh < 0 ? digits : QLatin1Char(' ') + digits;
}

std::optional<int> secondOfDay(float fraction)
{
    if (!std::isfinite(fraction))
        return std::nullopt;
    double whole = 0;
    const double partOfDay = std::abs(std::modf(double(fraction), &whole));
    // Exact: a float's 24 bits times 86400 fit in a double.
    auto seconds = static_cast<int>(std::round(partOfDay * kSecondsPerDay));
    if (seconds == kSecondsPerDay)
        seconds = 0; // rounded up into the next day
    return seconds;
}

QString timeOfDayText(float fraction, const QLocale &locale)
{
    const std::optional<int> seconds = secondOfDay(fraction);
    if (!seconds)
        return QLatin1String("--:--");
    // The locale's separator goes in by hand: a quote as separator would break
    // a QTime format string.
    const QTime time = QTime::fromMSecsSinceStartOfDay(*seconds * 1000);
    return LocaleText::clockText(time.hour(), time.minute(), locale);
}

QString dataRow(const DataRecord &record, const QLocale &locale)
{
    QString date = dayNumberText(record.dayNumber);
    if (date.isEmpty())
        date = kUnknownDate;
    return date + kGap + timeOfDayText(record.timeOfDay, locale) + kGap +
           temperaturePiece(record.temp, locale) + kQnhLabel + qnhPiece(record.qnh);
}

QString lastQnhCaption(std::int32_t qnh)
{
    return QLatin1String("QNH") + qnhPiece(qnh);
}

#include "ReadoutCaptions.h"

#include "DayNumber.h"

#include <cmath>

namespace {

constexpr float kZeroCelsiusY = 40.0f;
constexpr std::int64_t kTopEdgeHpa = 1053; // y = 0 is 1013 hPa + 40
constexpr float kFarOffDiagram = 1e12f;    // beyond any pointer position

bool onAnyScreen(float v)
{
    return std::abs(v) < kFarOffDiagram;
} // false for NaN

} // namespace

QString temperatureCaption(float y, const QLocale &locale)
{
    const float v = kZeroCelsiusY - y;
    if (!onAnyScreen(v))
        return {};
    // A float times ten is exact in a double, so nearbyint sees the float's
    // own value: 0.25f is a true half and goes to 0.2, 0.75f to 0.8.
    const auto tenths = static_cast<std::int64_t>(std::nearbyint(double(v) * 10.0));
    const std::int64_t magnitude = tenths < 0 ? -tenths : tenths;
    QString text;
    if (tenths < 0)
        text += QLatin1Char('-');
    text += QString::number(magnitude / 10);
    if (magnitude % 10 != 0)
        text += locale.decimalPoint() + QString::number(magnitude % 10);
    return text + QLatin1String(" C");
}

QString pressureCaption(float y)
{
    if (!onAnyScreen(y))
        return {};
    // floor(1053 - y) is 1053 - ceil(y) exactly, with no rounding of 1053 - y.
    const auto hpa = kTopEdgeHpa - static_cast<std::int64_t>(std::ceil(y));
    return QLatin1String("QNH  ") + QString::number(hpa);
}

QString dateCaption(float x, std::int32_t yearStartDay)
{
    if (!onAnyScreen(x))
        return {};
    return dayNumberText(static_cast<std::int64_t>(std::floor(x)) + yearStartDay);
}

QString dayNumberText(std::int64_t dayNumber)
{
    // Empty outside the years 0000 to 9999, and there is no year 0000.
    return DayNumber::toDate(dayNumber).toString(Qt::ISODate);
}

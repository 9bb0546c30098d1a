#include "TemperatureText.h"

#include "LocaleText.h"

#include <algorithm>
#include <cmath>

QString temperatureText(float t, const QLocale &locale)
{
    if (!std::isfinite(t))
        return QStringLiteral("--.- C");
    QString number = LocaleText::fixed(t, 1, locale);
    // A small frost that rounds away is no frost on the display.
    const bool allZero = std::all_of(number.cbegin(), number.cend(),
                                     [](QChar c) { return !c.isDigit() || c == QLatin1Char('0'); });
    if (allZero && number.startsWith(QLatin1Char('-')))
        number.remove(0, 1);
    return number + QStringLiteral(" C");
}

QString windowCaption(float t, QTime time, const QLocale &locale)
{
    return temperatureText(t, locale) + QStringLiteral("  ") +
           LocaleText::clockText(time.hour(), time.minute(), time.second(), locale);
}

#include "WebText.h"

#include "DataRow.h"
#include "DayNumber.h"

#include <QStringList>

#include <algorithm>

namespace WebText {

namespace {
const QString kNoBreak = QStringLiteral("\u00a0");
}

QString number(double v, int decimals)
{
    QString text = QString::number(v, 'f', decimals);
    // A value that rounds to zero is zero, without a sign.
    if (text.startsWith(QLatin1Char('-')) && std::all_of(text.begin() + 1, text.end(), [](QChar c) {
            return c == QLatin1Char('0') || c == QLatin1Char('.');
        }))
        text.remove(0, 1);
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    text.replace(QLatin1Char('-'), QChar(0x2212));
    return text;
}

QString temperature(double celsius)
{
    return number(celsius, 1) + kNoBreak + QStringLiteral("°C");
}

QString pressure(double hpa, int decimals)
{
    return number(hpa, decimals) + kNoBreak + QStringLiteral("hPa");
}

QString isoDate(std::int32_t day)
{
    return DayNumber::toDate(day).toString(QStringLiteral("yyyy-MM-dd"));
}

QString shortDate(std::int32_t day)
{
    static const char *const months[] = {"jan",  "feb", "mars", "apr", "maj", "juni",
                                         "juli", "aug", "sep",  "okt", "nov", "dec"};
    const QDate date = DayNumber::toDate(day);
    return QString::number(date.day()) + kNoBreak + QLatin1String(months[date.month() - 1]);
}

QString clock(float fraction)
{
    const std::optional<int> second = secondOfDay(fraction);
    if (!second)
        return QStringLiteral("--:--");
    return QStringLiteral("%1:%2")
        .arg(*second / 3600, 2, 10, QLatin1Char('0'))
        .arg(*second / 60 % 60, 2, 10, QLatin1Char('0'));
}

QString monthName(int month)
{
    static const char *const names[] = {"januari",   "februari", "mars",     "april",
                                        "maj",       "juni",     "juli",     "augusti",
                                        "september", "oktober",  "november", "december"};
    return QLatin1String(names[month - 1]);
}

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

} // namespace WebText

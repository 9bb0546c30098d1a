#include "LocaleText.h"

namespace LocaleText {

QString fixed(double v, int decimals, const QLocale &locale)
{
    QString text = QString::number(v, 'f', decimals);
    const QString point = locale.decimalPoint();
    if (point != QLatin1String("."))
        text.replace(QLatin1Char('.'), point);
    return text;
}

QChar timeSeparator(const QLocale &locale)
{
    // The short time format holds the separator right after the hour field.
    const QString format = locale.timeFormat(QLocale::ShortFormat);
    const qsizetype h = format.indexOf(QLatin1Char('h'), 0, Qt::CaseInsensitive);
    if (h >= 0) {
        for (qsizetype i = h; i < format.size(); ++i) {
            const QChar c = format.at(i);
            if (c.toLower() != QLatin1Char('h'))
                return c.isLetterOrNumber() || c.isSpace() ? QLatin1Char(':') : c;
        }
    }
    return QLatin1Char(':');
}

static QString two(int v)
{
    return QString::number(v).rightJustified(2, QLatin1Char('0'));
}

QString clockText(int hours, int minutes, const QLocale &locale)
{
    return two(hours) + timeSeparator(locale) + two(minutes);
}

QString clockText(int hours, int minutes, int seconds, const QLocale &locale)
{
    const QChar sep = timeSeparator(locale);
    return two(hours) + sep + two(minutes) + sep + two(seconds);
}

} // namespace LocaleText

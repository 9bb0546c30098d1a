#include "YearName.h"

#include "DayNumber.h"

#include <QDate>
#include <QFileInfo>

namespace {

constexpr qsizetype kTailLength = 8; // "yyyy.dat"
constexpr qsizetype kYearDigits = 4;

} // namespace

QString fileTail(const QString &fileName)
{
    return fileName.right(kTailLength);
}

std::optional<std::int32_t> yearStartDayFromName(const QString &fileName)
{
    const QString tail = fileTail(fileName);
    if (tail.size() < kYearDigits)
        return std::nullopt;

    // Only "yyyy" makes a date of "yyyy-01-01": no signs, spaces or shorter years.
    int year = 0;
    for (qsizetype i = 0; i < kYearDigits; ++i) {
        const char16_t c = tail.at(i).unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        year = year * 10 + (c - u'0');
    }

    const QDate first(year, 1, 1); // year 0000 does not exist and stays invalid
    if (!first.isValid())
        return std::nullopt;
    return static_cast<std::int32_t>(DayNumber::fromDate(first));
}

bool isYearFileName(const QString &fileName)
{
    return fileTail(fileName).endsWith(QLatin1String(".dat"), Qt::CaseInsensitive) &&
           yearStartDayFromName(fileName).has_value();
}

QString yearFileNameReason(const QString &fileName, const QString &exampleYear)
{
    return QStringLiteral("%1: namnet måste sluta på ett årtal och .dat, till exempel T_%2.dat")
        .arg(QFileInfo(fileName).fileName(), exampleYear);
}

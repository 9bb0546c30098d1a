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

    // Only "yyyy" makes a date: no signs, blanks or shorter years; 0000 is no year.
    const QDate first = QDate::fromString(QStringView(tail).first(kYearDigits), u"yyyy");
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

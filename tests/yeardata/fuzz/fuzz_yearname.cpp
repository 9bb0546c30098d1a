// libFuzzer target: any text as a file name, through the year-from-name rule.
#include "../../support/FuzzCheck.h"
#include "DayNumber.h"
#include "YearName.h"

#include <QDate>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString name = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString tail = fileTail(name);
    check(tail.size() <= 8 && name.endsWith(tail));
    if (const std::optional<std::int32_t> day = yearStartDayFromName(name)) {
        // Only four digits make a year, and the day is its 1 January.
        const QDate date = DayNumber::toDate(*day);
        check(date.month() == 1 && date.day() == 1 &&
              QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0')) == tail.left(4));
    }
    return 0;
}

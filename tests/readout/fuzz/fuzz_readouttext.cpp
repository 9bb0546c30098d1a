// libFuzzer target: any record and pointer position through row texts and captions, in 4 locales.
#include "../../support/FuzzCheck.h"
#include "DataRow.h"
#include "ReadoutCaptions.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

struct Input
{
    std::uint8_t locale;
    float x, y;
    std::int32_t yearStart;
    DataRecord record;
};

bool isDate(const QString &text)
{
    return text.isEmpty() || (text.size() == 10 && text[4] == u'-' && text[7] == u'-');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const std::array<QLocale, 4> locales = {QLocale::c(), QLocale("sv_SE"), QLocale("de_DE"),
                                                   QLocale("ar_EG")};
    Input in{};
    std::memcpy(&in, data, std::min(size, sizeof in));
    const QLocale &locale = locales[in.locale % locales.size()];
    const DataRecord &record = in.record;

    check(isDate(dateCaption(in.x, in.yearStart)));
    check(isDate(dayNumberText(record.dayNumber)));
    const QString temperature = temperatureCaption(in.y, locale);
    check(temperature.isEmpty() || temperature.endsWith(QLatin1String(" C")));
    const QString pressure = pressureCaption(in.y);
    check(pressure.isEmpty() || pressure.startsWith(QLatin1String("QNH  ")));

    const QString piece = temperaturePiece(record.temp, locale);
    check(piece.isEmpty() || piece.size() == 9);
    check(timeOfDayText(record.timeOfDay, locale).size() <= 8);
    const QString row = dataRow(record, locale);
    check(row.contains(QLatin1String("     QNH")) && row.endsWith(qnhPiece(record.qnh)));
    check(lastQnhCaption(record.qnh).startsWith(QLatin1String("QNH")));
    return 0;
}

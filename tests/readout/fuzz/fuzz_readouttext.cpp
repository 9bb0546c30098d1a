// libFuzzer target: any record and pointer position through the data table's
// row texts and the read-out captions, under several locales.
#include "../../support/FuzzCheck.h"
#include "DataRow.h"
#include "ReadoutCaptions.h"

#include <QLocale>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

template <typename T> T take(const std::uint8_t *&data, std::size_t &size)
{
    T value{};
    const std::size_t n = std::min(size, sizeof value);
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
}

bool isDate(const QString &text)
{
    return text.isEmpty() || (text.size() == 10 && text[4] == u'-' && text[7] == u'-');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const std::array<QLocale, 4> locales = {QLocale::c(), QLocale("sv_SE"), QLocale("de_DE"),
                                                   QLocale("ar_EG")};
    const QLocale &locale = locales[take<std::uint8_t>(data, size) % locales.size()];
    const auto x = take<float>(data, size);
    const auto y = take<float>(data, size);
    const auto yearStart = take<std::int32_t>(data, size);
    const DataRecord record{.dayNumber = take<std::int32_t>(data, size),
                            .timeOfDay = take<float>(data, size),
                            .qnh = take<std::int32_t>(data, size),
                            .temp = take<float>(data, size)};

    check(isDate(dateCaption(x, yearStart)));
    check(isDate(dayNumberText(record.dayNumber)));
    const QString temperature = temperatureCaption(y, locale);
    check(temperature.isEmpty() || temperature.endsWith(QLatin1String(" C")));
    const QString pressure = pressureCaption(y);
    check(pressure.isEmpty() || pressure.startsWith(QLatin1String("QNH  ")));

    const QString piece = temperaturePiece(record.temp, locale);
    check(piece.isEmpty() || piece.size() == 9);
    check(timeOfDayText(record.timeOfDay, locale).size() <= 8);
    const QString row = dataRow(record, locale);
    check(row.contains(QLatin1String("     QNH")) && row.endsWith(qnhPiece(record.qnh)));
    check(lastQnhCaption(record.qnh).startsWith(QLatin1String("QNH")));
    return 0;
}

#pragma once

#include <QString>

#include <cstdint>

// Numbers, dates and times on the pages, in Swedish: decimal comma, the
// minus sign U+2212, a no-break space before the unit.
namespace WebText {

QString number(double v, int decimals);     // "−3,5"
QString temperature(double celsius);        // "−3,5 °C"
QString pressure(double hpa, int decimals); // "1013 hPa"
QString isoDate(std::int32_t day);          // "2026-01-14"
QString shortDate(std::int32_t day);        // "14 jan"
QString clock(float fraction);              // "07:05"
QString monthName(int month);               // "januari"
QString escaped(const QString &text);

} // namespace WebText

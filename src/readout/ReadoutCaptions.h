#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>

// Texts of the diagram read-out, from a pointer position in diagram units.
// A position that is not finite, or absurdly far off the diagram, gives an
// empty text rather than a wrong number.

// 40 - y held as a float, rounded to one decimal half to even, shortest form,
// the locale's decimal separator, then " C" ("12.3 C", "-5 C", "0 C").
QString temperatureCaption(float y, const QLocale &locale);

// "QNH  " and floor(1053 - y).
QString pressureCaption(float y);

// floor(x) + yearStartDay as "yyyy-mm-dd", also before and after the year.
QString dateCaption(float x, std::int32_t yearStartDay);

// A day number as "yyyy-mm-dd"; empty when its year does not have four digits
// (before 0001 or after 9999), which the pattern cannot show.
QString dayNumberText(std::int64_t dayNumber);

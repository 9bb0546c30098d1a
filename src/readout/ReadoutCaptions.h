#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>

// Texts of the diagram read-out, from a pointer position in diagram units.

// 40 - y held as a float, rounded to one decimal half to even, shortest form,
// the locale's decimal separator, then " C" ("12.3 C", "-5 C", "0 C").
QString temperatureCaption(float y, const QLocale &locale);

// "QNH  " and floor(1053 - y).
QString pressureCaption(float y);

// floor(x) + yearStartDay as "yyyy-mm-dd", also before and after the year.
QString dateCaption(float x, std::int32_t yearStartDay);

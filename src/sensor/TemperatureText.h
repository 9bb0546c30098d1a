#pragma once

#include <QLocale>
#include <QString>
#include <QTime>

// The current temperature as the window shows it: "0.0 C" with the locale's
// decimal separator and an ASCII minus ("21,3 C", "-4.0 C"), rounded half away
// from zero on the float's exact value. A value that rounds to zero shows as
// "0.0 C", never "-0.0 C". No reading (NaN) or an infinite one shows "--.- C".
QString temperatureText(float t, const QLocale &locale);

// The window caption: the temperature text, two blanks, and the time of the
// reading as 24-hour hh:mm:ss with the locale's time separator.
QString windowCaption(float t, QTime time, const QLocale &locale);

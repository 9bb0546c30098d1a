#pragma once

#include <QChar>
#include <QLocale>
#include <QString>

// Number and time text the way the station has always shown it: the user's
// decimal and time separators, but an ASCII minus and no digit grouping.
namespace LocaleText {

// v with exactly `decimals` decimals, rounded half away from zero on the exact
// binary value, with the locale's decimal separator.
QString fixed(double v, int decimals, const QLocale &locale);

// The locale's separator between hours and minutes (':' where it has none).
QChar timeSeparator(const QLocale &locale);

// "hh:mm" or "hh:mm:ss", 24-hour, with the locale's time separator.
QString clockText(int hours, int minutes, const QLocale &locale);
QString clockText(int hours, int minutes, int seconds, const QLocale &locale);

} // namespace LocaleText

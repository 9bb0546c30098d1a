#pragma once

#include "DataRecord.h"

#include <QLocale>
#include <QString>

#include <cstdint>
#include <optional>

// One line of the data table, built from a record exactly as the station's
// table has always looked, so that columns line up from row to row.

// "0.0  C" right-aligned in 9 characters, or empty when the text is longer.
// A temperature that is not a number (or infinite) is left out the same way.
QString temperaturePiece(float temp, const QLocale &locale);

// " 1013" for zero or more, "-1" for a negative reading.
QString qnhPiece(std::int32_t qnh);

// A fraction of a day as "hh:mm" with the locale's time separator. The time is
// first rounded to the nearest second, as a date-time conversion does, then
// shown in whole hours and minutes. Only the fraction counts (1.5 and -0.5
// are both 12:00); a value that is not finite gives "--:--".
QString timeOfDayText(float fraction, const QLocale &locale);

// The second of the day that timeOfDayText shows, 0 to 86399; nothing for a
// value that is not finite.
std::optional<int> secondOfDay(float fraction);

// date, 8 blanks, hh:mm, 8 blanks, temperature piece, "     QNH", QNH piece.
// A day number whose year cannot be written with four digits shows "----------".
QString dataRow(const DataRecord &record, const QLocale &locale);

// Caption of the label over the diagram: "QNH" and the QNH piece of the last
// record whose QNH is not damaged (RecordFindings::headingQnh); a file without
// such a record gives "QNH 0".
QString lastQnhCaption(std::int32_t qnh);

#pragma once

#include "DataRecord.h"

#include <QLocale>
#include <QString>

#include <cstdint>

// One line of the data table, built from a record exactly as the station's
// table has always looked, so that columns line up from row to row.

// "0.0  C" right-aligned in 9 characters, or empty when the text is longer.
QString temperaturePiece(float temp, const QLocale &locale);

// " 1013" for zero or more, "-1" for a negative reading.
QString qnhPiece(std::int32_t qnh);

// date, 8 blanks, hh:mm, 8 blanks, temperature piece, "     QNH", QNH piece.
QString dataRow(const DataRecord &record, const QLocale &locale);

#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// The year of a year file comes from its name, never from its contents:
// the last 8 characters are "yyyy.dat".

QString fileTail(const QString &fileName);

// Day number of 1 January of the name's year, or nothing when the first four
// characters of the tail are not a year.
std::optional<std::int32_t> yearStartDayFromName(const QString &fileName);

// True when the name ends in a four-digit year and ".dat" (in any case), the
// form a year file's name must have.
bool isYearFileName(const QString &fileName);

// Why a name is not a year file's, naming the file and the form it must have.
QString yearFileNameReason(const QString &fileName, const QString &exampleYear);

#pragma once

#include <QString>

#include <chrono>

// Everything that writes a year file (the logger, the importer) holds an
// exclusive flock on it while it writes, so that one writer never cuts back
// or replaces what another is in the middle of writing. Readers take no lock:
// they only ever count whole records.
inline constexpr std::chrono::milliseconds kYearFileLockWait{10000};

enum class YearFileLock { Held, Replaced, Failed };

struct YearFileLocking
{
    YearFileLock state = YearFileLock::Failed;
    QString error; // on Failed: the path and why, in Swedish
};

// Takes the writers' lock on fd, the year file open at path, waiting up to
// wait for another writer to finish. Replaced: the lock was got, but path now
// names another file (an import renamed a merged year over it), so the caller
// opens path again rather than writing to a file nobody reads.
YearFileLocking lockYearFile(int fd, const QString &path,
                             std::chrono::milliseconds wait = kYearFileLockWait);

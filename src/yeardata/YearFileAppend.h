#pragma once

#include "DataRecord.h"

#include <QString>

#include <functional>
#include <optional>
#include <span>

struct AppendOutcome
{
    bool ok = false;         // the record is in the file
    QString error;           // why not, in Swedish, naming the file
    QString syncError;       // the record was written but may not have reached the disk
    qint64 droppedBytes = 0; // a torn record cut off the end before appending
    bool created = false;
    std::optional<DataRecord> previous; // the file's last record before this one
};

// Appends one record to the year file at path, creating it if missing. The
// record goes out in a single write to the end of the file and is synced, so a
// reader never sees half a record and a power cut loses at most this one.
// A file whose length is not a whole number of records (a write cut short)
// is first cut back to its whole records; nothing else in it is changed.
// Never blocks on a file that is not a regular file, never follows a symbolic
// link, and writes only to a regular file owned by the running account;
// anything else under the name is refused, naming what it is.
AppendOutcome appendRecord(const QString &path, const DataRecord &record);

// Work a writer does under the lock before its records go in, with the file
// open (fd) and its whole records (length bytes). False writes nothing; the
// check says why in outcome.error, if anything went wrong.
using AppendCheck = std::function<bool(int fd, qint64 length, AppendOutcome &outcome)>;

// The same for many records, all while the writers' lock is held (see
// YearFileLock.h): they go in whole or not at all, and another writer never
// sees them half-way. Readers, which take no lock, see whole records only.
AppendOutcome appendRecords(const QString &path, std::span<const DataRecord> records,
                            const AppendCheck &check = {});

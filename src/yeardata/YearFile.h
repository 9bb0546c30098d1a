#pragma once

#include "DataRecord.h"

#include <QFile>
#include <QString>

#include <functional>
#include <memory>
#include <span>
#include <sys/types.h>
#include <vector>

// The largest year file accepted: a leap year of one sample a second is
// 505,958,400 bytes. Anything larger is not a year file, and refusing it keeps
// every accepted file quick to draw.
inline constexpr qint64 kMaxYearFileBytes = qint64(512) << 20;

enum class YearFileProblem { None, Missing, NotAFile, TooLarge, CannotOpen, ReadError };

// A year file opened for reading, or why it could not be.
struct OpenedYearFile
{
    std::unique_ptr<QFile> file; // open, read-only, a regular file; null on failure
    YearFileProblem problem = YearFileProblem::None;
    QString reason; // on failure: the path and what went wrong, in Swedish
};

// Opens a year file for reading. A missing file in an existing folder is
// created empty, as the logger expects to find it, and is writable by the
// folder's group when the folder is, so that a logger in that group can
// append. Anything but a regular file (a FIFO, a socket, a device, a folder)
// is refused without being opened in a way that could wait.
OpenedYearFile openYearFile(const QString &path);

// The same for a file that must be there already: a missing one is refused
// (YearFileProblem::Missing), never created.
OpenedYearFile openExistingYearFile(const QString &path);

struct YearFileRead
{
    std::vector<DataRecord> records; // every whole record read, also when ok is false
    bool ok = false;
    QString errorString; // why the file could not be opened or read, in Swedish
};

// What a failed file call's errno means, in Swedish ("åtkomst nekad").
QString errnoReason(int err);

// What lies under a name instead of a regular file, as "en mapp", "en FIFO" or
// "en symbolisk länk".
QString fileKindText(mode_t mode);

// The station's logger may run as another account of the folder's group: a
// file just created (fd, at path) in a group-writable folder gets that group
// and its write bit, whatever the umask says.
void shareWithFolderGroup(int fd, const QByteArray &path);

// Reads a year file once, sequentially, and closes it. The file is never
// written, apart from being created empty when it is missing.
YearFileRead readYearFile(const QString &path);

struct YearFileScan
{
    YearFileProblem problem = YearFileProblem::None;
    QString errorString; // the path and the reason, in Swedish, for any problem
    qint64 bytes = 0;    // the length taken at the start
    qint64 records = 0;  // whole records handed over
};

// Hands the records of an existing year file over in file order, a block at a
// time, through one buffer that is reused, so memory does not grow with the
// file. Never creates or writes it, and refuses what is not a regular file as
// openYearFile does; for the tools, which may run with more rights than
// whoever made the name, it also refuses a symbolic link. Records already
// handed over stay valid when a read fails part-way; a file that shrinks
// meanwhile ends the scan early, as no problem.
YearFileScan scanYearFile(const QString &path,
                          const std::function<void(std::span<const DataRecord>)> &onRecords);

// The same for a file openYearFile has opened; path names it in messages.
YearFileScan scanYearFile(QFile &file, const QString &path,
                          const std::function<void(std::span<const DataRecord>)> &onRecords);

// Reads up to out.size() records from record number first (counted from 0)
// into out and returns how many whole ones it got: fewer when the file has
// become shorter, none when it is gone or no longer a regular file. Never
// creates the file.
std::size_t readRecordsAt(const QString &path, qint64 first, std::span<DataRecord> out);

// The same from a file already open; -1 when the read fails.
qint64 readRecordsAt(QFile &file, qint64 first, std::span<DataRecord> out);

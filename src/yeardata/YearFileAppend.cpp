#include "YearFileAppend.h"

#include "YearFile.h"
#include "YearFileLock.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString failed(const QString &path, const QString &what, int err)
{
    return QStringLiteral("%1 %2: %3").arg(what, path, errnoReason(err));
}

// O_NONBLOCK: opening a FIFO for writing would otherwise wait for a reader.
// O_NOFOLLOW: a link planted under a year file's name would have us write
// wherever it points.
constexpr int kOpenFlags = O_RDWR | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW;
constexpr mode_t kNewFileMode = 0666; // narrowed by the umask

// What lies under the name instead of a year file the logger may write, in
// Swedish; empty when it is one.
QString notOurs(const QString &path, const struct stat &st)
{
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("%1 är ingen årsfil utan %2; den skrivs inte")
            .arg(path, fileKindText(st.st_mode));
    if (st.st_uid != ::geteuid())
        return QStringLiteral("%1 ägs av en annan användare (uid %2); loggern skriver bara i "
                              "årsfiler som den själv äger")
            .arg(path)
            .arg(st.st_uid);
    return {};
}

// Why a year file could not be opened: what lies there, when that is the cause.
QString cannotOpen(const QString &path, const QByteArray &name, int err)
{
    struct stat st
    {
    };
    if (err != ENOENT && ::lstat(name.constData(), &st) == 0)
        if (QString why = notOurs(path, st); !why.isEmpty())
            return why;
    return failed(path, QStringLiteral("Kan inte öppna eller skapa"), err);
}

void syncFolder(const QString &path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

AppendOutcome appendRecord(const QString &path, const DataRecord &record)
{
    return appendRecords(path, std::span(&record, 1));
}

AppendOutcome appendRecords(const QString &path, std::span<const DataRecord> records,
                            const AppendCheck &check)
{
    AppendOutcome outcome;
    const QByteArray name = QFile::encodeName(path);
    int fd = ::open(name.constData(), kOpenFlags);
    if (fd < 0 && errno == ENOENT) {
        fd = ::open(name.constData(), kOpenFlags | O_CREAT | O_EXCL, kNewFileMode);
        outcome.created = fd >= 0;
        if (outcome.created)
            shareWithFolderGroup(fd, name);
        if (fd < 0 && errno == EEXIST) // made by someone else in the meantime
            fd = ::open(name.constData(), kOpenFlags);
    }
    if (fd < 0) {
        outcome.error = cannotOpen(path, name, errno);
        return outcome;
    }
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    const YearFileLocking lock = lockYearFile(fd, path);
    if (lock.state == YearFileLock::Replaced)
        return appendRecords(path, records, check);
    if (lock.state == YearFileLock::Failed) {
        outcome.error = lock.error;
        return outcome;
    }

    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0) {
        outcome.error = failed(path, QStringLiteral("Kan inte läsa längden av"), errno);
        return outcome;
    }
    if (QString why = notOurs(path, st); !why.isEmpty()) {
        outcome.error = why;
        return outcome;
    }

    off_t length = st.st_size;
    if (const off_t torn = length % off_t(kRecordSize); torn != 0) {
        if (::ftruncate(fd, length - torn) != 0) {
            outcome.error = failed(path, QStringLiteral("Kan inte korta av en halv post i"), errno);
            return outcome;
        }
        length -= torn;
        outcome.droppedBytes = torn;
    }

    std::array<std::byte, kRecordSize> last{};
    if (length >= off_t(kRecordSize) &&
        ::pread(fd, last.data(), last.size(), length - off_t(kRecordSize)) == ssize_t(kRecordSize))
        outcome.previous = decodeRecord(last);

    if (check && !check(fd, qint64(length), outcome))
        return outcome;

    // Encoded and written a block at a time: a year of one-minute samples
    // would otherwise need 8 MB of fresh memory for one write.
    constexpr std::size_t kBlockRecords = 65536;
    std::vector<std::byte> bytes;
    bytes.reserve(std::min(records.size(), kBlockRecords) * kRecordSize);
    for (std::size_t first = 0; first < records.size(); first += kBlockRecords) {
        bytes.clear();
        for (const DataRecord &record :
             records.subspan(first, std::min(kBlockRecords, records.size() - first)))
            encodeRecord(record, bytes);
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (written <= 0) {
                const int err = written < 0 ? errno : ENOSPC;
                if (err == EINTR)
                    continue;
                // A write cut short leaves part of the records: take them
                // back, so the next append starts on a record boundary
                // again. Failing that, the next append cuts it: nothing more
                // to do here.
                if (first + done > 0 && ::ftruncate(fd, length) != 0) {
                }
                outcome.error = failed(path, QStringLiteral("Kan inte skriva till"), err);
                return outcome;
            }
            done += std::size_t(written);
        }
    }
    outcome.ok = true;
    if (::fsync(fd) != 0)
        outcome.syncError = failed(path, QStringLiteral("Kan inte spara till disken"), errno);
    if (outcome.created)
        syncFolder(path);
    return outcome;
}

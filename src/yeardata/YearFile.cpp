#include "YearFile.h"

#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace {

using FileStatus = struct stat;

// Whole records are decoded from each chunk, so memory while reading is one
// chunk and its records, never the raw file.
constexpr qint64 kChunkBytes = 256 * 1024;
static_assert(kChunkBytes % kRecordSize == 0);

YearFileRead failure(QString why, std::vector<DataRecord> records = {})
{
    YearFileRead result;
    result.records = std::move(records);
    result.errorString = std::move(why);
    return result;
}

OpenedYearFile refused(YearFileProblem problem, QString reason)
{
    OpenedYearFile result;
    result.problem = problem;
    result.reason = std::move(reason);
    return result;
}

} // namespace

QString errnoReason(int err)
{
    switch (err) {
    case EACCES:
    case EPERM:
        return QStringLiteral("åtkomst nekad");
    case ENOENT:
        return QStringLiteral("mappen finns inte");
    case ENOTDIR:
        return QStringLiteral("en del av sökvägen är ingen mapp");
    case EROFS:
        return QStringLiteral("filsystemet är skrivskyddat");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("disken är full");
    case ENAMETOOLONG:
        return QStringLiteral("namnet är för långt");
    case ELOOP:
        return QStringLiteral("för många symboliska länkar");
    case EIO:
        return QStringLiteral("läsfel på disken");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("för många öppna filer");
    default:
        return QStringLiteral("systemfel %1").arg(err);
    }
}

namespace {

QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("en mapp");
    if (S_ISFIFO(mode))
        return QStringLiteral("en FIFO");
    if (S_ISSOCK(mode))
        return QStringLiteral("en socket");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("en enhet");
    return QStringLiteral("ingen vanlig fil");
}

QString notAFile(const QString &path, mode_t mode)
{
    return QStringLiteral("Kan inte läsa %1: det är ingen årsfil utan %2").arg(path, kindOf(mode));
}

} // namespace

void shareWithFolderGroup(int fd, const QByteArray &path)
{
    FileStatus folder{};
    const QByteArray dir = QFile::encodeName(QFileInfo(QFile::decodeName(path)).absolutePath());
    if (::stat(dir.constData(), &folder) != 0 || !(folder.st_mode & S_IWGRP))
        return;
    FileStatus file{};
    if (::fstat(fd, &file) != 0)
        return;
    if (file.st_gid != folder.st_gid && ::fchown(fd, uid_t(-1), folder.st_gid) != 0)
        return; // not a member of the folder's group: leave the file ours alone
    ::fchmod(fd, (file.st_mode & 07777) | S_IRGRP | S_IWGRP);
}

namespace {

// A missing name is created empty; O_EXCL makes sure an existing file is never
// truncated, also when another process makes it in the meantime.
QString createIfMissing(const QString &path, const QByteArray &native)
{
    constexpr mode_t kReadWriteForAll = 0666; // narrowed by the umask
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NONBLOCK | O_CLOEXEC,
                          kReadWriteForAll);
    if (fd < 0)
        return errno == EEXIST
                   ? QString()
                   : QStringLiteral("Kan inte skapa %1: %2").arg(path, errnoReason(errno));
    shareWithFolderGroup(fd, native);
    ::close(fd);
    return {};
}

enum class IfMissing { Create, Refuse };

OpenedYearFile openForReading(const QString &path, IfMissing ifMissing)
{
    if (path.isEmpty())
        return refused(YearFileProblem::Missing, QStringLiteral("Inget filnamn"));
    const QByteArray native = QFile::encodeName(path);
    FileStatus st{};
    if (::stat(native.constData(), &st) != 0) {
        if (errno != ENOENT)
            return refused(YearFileProblem::CannotOpen,
                           QStringLiteral("Kan inte öppna %1: %2").arg(path, errnoReason(errno)));
        if (ifMissing == IfMissing::Refuse)
            return refused(YearFileProblem::Missing, QStringLiteral("%1 finns inte").arg(path));
        if (QString why = createIfMissing(path, native); !why.isEmpty())
            return refused(YearFileProblem::CannotOpen, why);
    } else if (!S_ISREG(st.st_mode)) {
        // Refused before opening: opening a FIFO waits for a writer, a device may act.
        return refused(YearFileProblem::NotAFile, notAFile(path, st.st_mode));
    }

    // O_NONBLOCK: should the name have become a FIFO since, the open still returns.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        // Gone between the look and the open, or a link that leads nowhere.
        const QString why =
            errno == ENOENT ? QStringLiteral("filen finns inte") : errnoReason(errno);
        return refused(YearFileProblem::CannotOpen,
                       QStringLiteral("Kan inte öppna %1: %2").arg(path, why));
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return refused(YearFileProblem::NotAFile, notAFile(path, st.st_mode));
    }
    OpenedYearFile result;
    result.file = std::make_unique<QFile>(path);
    if (!result.file->open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered,
                           QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return refused(YearFileProblem::CannotOpen, QStringLiteral("Kan inte öppna %1").arg(path));
    }
    return result;
}

YearFileScan scanOpenFile(QFile &file, const QString &path,
                          const std::function<void(std::span<const DataRecord>)> &onRecords)
{
    YearFileScan scan;
    // The length is taken once: bytes appended while reading are not part of
    // this read.
    scan.bytes = file.size();
    if (scan.bytes > kMaxYearFileBytes) {
        scan.problem = YearFileProblem::TooLarge;
        scan.errorString = QStringLiteral("Kan inte läsa %1: %2 byte är för stort för en årsfil")
                               .arg(path)
                               .arg(scan.bytes);
        return scan;
    }

    std::vector<std::byte> chunk(static_cast<std::size_t>(kChunkBytes));
    std::vector<DataRecord> records;
    records.reserve(std::size_t(kChunkBytes) / kRecordSize);
    std::size_t carried = 0; // bytes of a record split between two chunks
    qint64 remaining = scan.bytes;
    while (remaining > 0) {
        const qint64 want = std::min<qint64>(remaining, qint64(chunk.size() - carried));
        const qint64 got = file.read(reinterpret_cast<char *>(chunk.data() + carried), want);
        if (got < 0) {
            scan.problem = YearFileProblem::ReadError;
            scan.errorString = QStringLiteral("Kan inte läsa %1: läsfel").arg(path);
            return scan;
        }
        if (got == 0)
            break; // the file shrank while we read it
        remaining -= got;

        const std::size_t filled = carried + std::size_t(got);
        const std::size_t whole = filled / kRecordSize * kRecordSize;
        records.clear();
        for (std::size_t at = 0; at < whole; at += kRecordSize)
            records.push_back(
                decodeRecord(std::span<const std::byte>(chunk).subspan(at).first<kRecordSize>()));
        scan.records += qint64(records.size());
        if (!records.empty())
            onRecords(records);
        carried = filled - whole;
        std::memmove(chunk.data(), chunk.data() + whole, carried);
    }
    return scan;
}

} // namespace

OpenedYearFile openYearFile(const QString &path)
{
    return openForReading(path, IfMissing::Create);
}

YearFileScan scanYearFile(const QString &path,
                          const std::function<void(std::span<const DataRecord>)> &onRecords)
{
    OpenedYearFile opened = openForReading(path, IfMissing::Refuse);
    if (!opened.file) {
        YearFileScan scan;
        scan.problem = opened.problem;
        scan.errorString = opened.reason;
        return scan;
    }
    return scanOpenFile(*opened.file, path, onRecords);
}

YearFileRead readYearFile(const QString &path)
{
    OpenedYearFile opened = openYearFile(path);
    if (!opened.file)
        return failure(opened.reason);

    std::vector<DataRecord> records;
    try {
        const qint64 length = opened.file->size();
        if (length <= kMaxYearFileBytes)
            records.reserve(static_cast<std::size_t>(length / qint64(kRecordSize)));
        const YearFileScan scan =
            scanOpenFile(*opened.file, path, [&](std::span<const DataRecord> chunk) {
                records.insert(records.end(), chunk.begin(), chunk.end());
            });
        if (scan.problem != YearFileProblem::None)
            return failure(scan.errorString, std::move(records));
    } catch (const std::bad_alloc &) {
        return failure(QStringLiteral("Kan inte läsa %1: minnet räcker inte").arg(path));
    }

    YearFileRead result;
    result.records = std::move(records);
    result.ok = true;
    return result;
}

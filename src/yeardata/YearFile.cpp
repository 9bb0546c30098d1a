#include "YearFile.h"

#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace {

using FileStatus = struct stat;

// Records read at a time: a read then costs little per record, and the block
// stays in the processor's cache while the curves are built from it.
constexpr std::size_t kBlockRecords = 16 * 1024;

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
    // The texts say what the user can do something about; several codes share one.
    static constexpr std::pair<int, const char *> kReasons[] = {
        {EACCES, "åtkomst nekad"},
        {EPERM, "åtkomst nekad"},
        {ENOENT, "mappen finns inte"},
        {ENOTDIR, "en del av sökvägen är ingen mapp"},
        {EROFS, "filsystemet är skrivskyddat"},
        {ENOSPC, "disken är full"},
        {EDQUOT, "disken är full"},
        {ENAMETOOLONG, "namnet är för långt"},
        {ELOOP, "för många symboliska länkar"},
        {EIO, "läsfel på disken"},
        {EMFILE, "för många öppna filer"},
        {ENFILE, "för många öppna filer"},
    };
    for (const auto &[code, text] : kReasons)
        if (code == err)
            return QString::fromUtf8(text);
    return QStringLiteral("systemfel %1").arg(err);
}

QString fileKindText(mode_t mode)
{
    if (S_ISLNK(mode))
        return QStringLiteral("en symbolisk länk");
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

namespace {

QString notAFile(const QString &path, mode_t mode)
{
    return QStringLiteral("Kan inte läsa %1: det är ingen årsfil utan %2")
        .arg(path, fileKindText(mode));
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
enum class Links { Follow, Refuse };

OpenedYearFile openForReading(const QString &path, IfMissing ifMissing, Links links = Links::Follow)
{
    if (path.isEmpty())
        return refused(YearFileProblem::Missing, QStringLiteral("Inget filnamn"));
    const QByteArray native = QFile::encodeName(path);
    FileStatus st{};
    const bool follow = links == Links::Follow;
    if ((follow ? ::stat(native.constData(), &st) : ::lstat(native.constData(), &st)) != 0) {
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
    const int fd = ::open(native.constData(),
                          O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (follow ? 0 : O_NOFOLLOW));
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

// Reads up to size bytes; fewer only at the end of the file or on an error.
qint64 readFully(QFile &file, std::byte *to, qint64 size)
{
    qint64 got = 0;
    while (got < size) {
        const qint64 n = file.read(reinterpret_cast<char *>(to + got), size - got);
        if (n < 0)
            return got > 0 ? got : -1;
        if (n == 0)
            break;
        got += n;
    }
    return got;
}

// Records are read straight into the array that holds them decoded. On a
// little-endian host the bytes already are the records; elsewhere each is
// decoded in place.
std::byte *rawBytes(std::span<DataRecord> records)
{
    static_assert(sizeof(DataRecord) == kRecordSize && std::is_trivially_copyable_v<DataRecord>);
    return reinterpret_cast<std::byte *>(records.data());
}

void decodeInPlace(std::span<DataRecord> records)
{
    if constexpr (std::endian::native != std::endian::little) {
        for (DataRecord &r : records) {
            std::array<std::byte, kRecordSize> bytes;
            std::memcpy(bytes.data(), &r, kRecordSize);
            r = decodeRecord(bytes);
        }
    }
}

} // namespace

OpenedYearFile openYearFile(const QString &path)
{
    return openForReading(path, IfMissing::Create);
}

OpenedYearFile openExistingYearFile(const QString &path)
{
    return openForReading(path, IfMissing::Refuse);
}

YearFileScan scanYearFile(QFile &file, const QString &path,
                          const std::function<void(std::span<const DataRecord>)> &onRecords)
{
    YearFileScan scan;
    // The length is taken once: bytes appended while reading are not part of
    // this read.
    scan.bytes = file.size();
    if (scan.bytes > kMaxYearFileBytes) {
        scan.problem = YearFileProblem::TooLarge;
        scan.errorString =
            QStringLiteral("Kan inte läsa %1: %2 byte är för stort för en årsfil (högst %3 byte)")
                .arg(path)
                .arg(scan.bytes)
                .arg(kMaxYearFileBytes);
        return scan;
    }

    std::vector<DataRecord> records(kBlockRecords);
    qint64 remaining = scan.bytes / qint64(kRecordSize) * qint64(kRecordSize);
    while (remaining > 0) {
        const qint64 want = std::min<qint64>(remaining, qint64(records.size() * kRecordSize));
        const qint64 got = readFully(file, rawBytes(records), want);
        if (got < 0) {
            scan.problem = YearFileProblem::ReadError;
            scan.errorString = QStringLiteral("Kan inte läsa %1: läsfel").arg(path);
            return scan;
        }
        const auto whole = std::size_t(got) / kRecordSize;
        decodeInPlace(std::span(records).first(whole));
        scan.records += qint64(whole);
        if (whole > 0)
            onRecords(std::span(records).first(whole));
        if (got < want)
            break; // the file shrank while we read it
        remaining -= got;
    }
    return scan;
}

YearFileScan scanYearFile(const QString &path,
                          const std::function<void(std::span<const DataRecord>)> &onRecords)
{
    OpenedYearFile opened = openForReading(path, IfMissing::Refuse, Links::Refuse);
    if (!opened.file) {
        YearFileScan scan;
        scan.problem = opened.problem;
        scan.errorString = opened.reason;
        return scan;
    }
    return scanYearFile(*opened.file, path, onRecords);
}

std::size_t readRecordsAt(const QString &path, qint64 first, std::span<DataRecord> out)
{
    OpenedYearFile opened = openForReading(path, IfMissing::Refuse);
    if (!opened.file || first < 0 || !opened.file->seek(first * qint64(kRecordSize)))
        return 0;
    const qint64 got = readFully(*opened.file, rawBytes(out), qint64(out.size() * kRecordSize));
    const std::size_t whole = got > 0 ? std::size_t(got) / kRecordSize : 0;
    decodeInPlace(out.first(whole));
    return whole;
}

qint64 readRecordsAt(QFile &file, qint64 first, std::span<DataRecord> out)
{
    if (first < 0 || !file.seek(first * qint64(kRecordSize)))
        return -1;
    const qint64 got = readFully(file, rawBytes(out), qint64(out.size() * kRecordSize));
    if (got < 0)
        return -1;
    const std::size_t whole = std::size_t(got) / kRecordSize;
    decodeInPlace(out.first(whole));
    return qint64(whole);
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
            scanYearFile(*opened.file, path, [&](std::span<const DataRecord> chunk) {
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

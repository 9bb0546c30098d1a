#include "YearFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace {

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

// The logger expects to find this year's file, so a name that does not exist
// is created empty. NewOnly makes sure an existing file is never truncated.
bool createIfMissing(const QString &path, QString &error)
{
    if (QFileInfo::exists(path))
        return true;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return true;
    if (QFileInfo::exists(path)) // made by someone else in the meantime
        return true;
    error = file.errorString();
    return false;
}

} // namespace

YearFileScan scanYearFile(const QString &path,
                          const std::function<void(std::span<const DataRecord>)> &onRecords)
{
    YearFileScan scan;
    const QFileInfo info(path);
    if (!info.exists()) {
        scan.problem = YearFileProblem::Missing;
        return scan;
    }
    // A pipe or a device would block the open or never end.
    if (!info.isFile()) {
        scan.problem = YearFileProblem::NotAFile;
        return scan;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        scan.problem = YearFileProblem::CannotOpen;
        scan.errorString = file.errorString();
        return scan;
    }

    // The length is taken once: bytes appended while reading are not part of
    // this read.
    scan.bytes = file.size();
    if (scan.bytes > kMaxYearFileBytes) {
        scan.problem = YearFileProblem::TooLarge;
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
            scan.errorString = file.errorString();
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

YearFileRead readYearFile(const QString &path)
{
    if (path.isEmpty())
        return failure(QStringLiteral("Inget filnamn"));
    QString error;
    if (!createIfMissing(path, error))
        return failure(error);

    std::vector<DataRecord> records;
    try {
        const qint64 length = QFileInfo(path).size();
        if (length <= kMaxYearFileBytes)
            records.reserve(static_cast<std::size_t>(length / qint64(kRecordSize)));
        const YearFileScan scan = scanYearFile(path, [&](std::span<const DataRecord> chunk) {
            records.insert(records.end(), chunk.begin(), chunk.end());
        });
        switch (scan.problem) {
        case YearFileProblem::None:
            break;
        case YearFileProblem::TooLarge:
            return failure(QStringLiteral("%1: %2 byte är för stort för en årsfil")
                               .arg(QFileInfo(path).fileName())
                               .arg(scan.bytes));
        case YearFileProblem::Missing:
        case YearFileProblem::NotAFile:
            return failure(QStringLiteral("%1 är ingen vanlig fil").arg(path));
        case YearFileProblem::CannotOpen:
        case YearFileProblem::ReadError:
            return failure(scan.errorString, std::move(records));
        }
    } catch (const std::bad_alloc &) {
        return failure(QStringLiteral("Minnet räcker inte till årsfilen"));
    }

    YearFileRead result;
    result.records = std::move(records);
    result.ok = true;
    return result;
}

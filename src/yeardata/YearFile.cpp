#include "YearFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace {

// Whole records are decoded from each chunk, so memory while loading is the
// records plus one chunk, never the raw file and its records side by side.
constexpr qint64 kChunkBytes = 256 * 1024;
static_assert(kChunkBytes % kRecordSize == 0);

// Two samples a second for a leap year is far beyond any logger; a larger
// file is not a year file and is refused rather than loaded into memory.
constexpr qint64 kMaxFileBytes = qint64(1) << 30;

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

YearFileRead readYearFile(const QString &path)
{
    if (path.isEmpty())
        return failure(QStringLiteral("Inget filnamn"));
    QString error;
    if (!createIfMissing(path, error))
        return failure(error);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return failure(file.errorString());

    // The length is taken once: bytes appended while reading are not part of
    // this load, and a device with no length (a pipe) holds no records.
    const qint64 length = file.isSequential() ? 0 : file.size();
    if (length > kMaxFileBytes)
        return failure(QStringLiteral("%1: %2 byte är för stort för en årsfil")
                           .arg(QFileInfo(path).fileName())
                           .arg(length));

    std::vector<DataRecord> records;
    std::vector<std::byte> chunk;
    try {
        records.reserve(static_cast<std::size_t>(length / qint64(kRecordSize)));
        chunk.resize(std::size_t(kChunkBytes));
    } catch (const std::bad_alloc &) {
        return failure(QStringLiteral("Minnet räcker inte till årsfilen"));
    }

    std::size_t carried = 0; // bytes of a record split between two chunks
    qint64 remaining = length;
    while (remaining > 0) {
        const qint64 want = std::min<qint64>(remaining, qint64(chunk.size() - carried));
        const qint64 got = file.read(reinterpret_cast<char *>(chunk.data() + carried), want);
        if (got < 0)
            return failure(file.errorString(), std::move(records));
        if (got == 0)
            break; // the file shrank while we read it
        remaining -= got;

        const std::size_t filled = carried + std::size_t(got);
        const std::size_t whole = filled / kRecordSize * kRecordSize;
        for (std::size_t at = 0; at < whole; at += kRecordSize)
            records.push_back(
                decodeRecord(std::span<const std::byte>(chunk).subspan(at).first<kRecordSize>()));
        carried = filled - whole;
        std::memmove(chunk.data(), chunk.data() + whole, carried);
    }

    YearFileRead result;
    result.records = std::move(records);
    result.ok = true;
    return result;
}

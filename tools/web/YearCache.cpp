#include "YearCache.h"

#include "YearFile.h"

#include <QFile>

#include <sys/stat.h>

#include <array>
#include <cstring>
#include <type_traits>

namespace {

constexpr char kMagic[8] = {'K', 'V', 'W', 'E', 'B', 'C', '0', '1'};
constexpr std::size_t kBlockRecords = 16 * 1024;

// The cache only ever lives on this machine, so its records are the structs
// themselves; a different layout changes the header and starts it afresh.
struct Header
{
    char magic[8];
    std::uint32_t summarySize;
    std::uint32_t years;
};
struct YearHeader
{
    std::int32_t year;
    std::uint32_t days;
    FileStamp stamp;
    std::int64_t records;
    DataRecord lastRecord;
    std::uint64_t chartKey;
};
static_assert(std::is_trivially_copyable_v<DaySummary> && std::is_trivially_copyable_v<YearHeader>);

template <typename T> bool take(const QByteArray &bytes, qsizetype &at, T *out, std::size_t n = 1)
{
    const qsizetype size = qsizetype(sizeof(T) * n);
    if (bytes.size() - at < size)
        return false;
    std::memcpy(static_cast<void *>(out), bytes.constData() + at, std::size_t(size));
    at += size;
    return true;
}

template <typename T> void put(QByteArray &bytes, const T *in, std::size_t n = 1)
{
    bytes.append(reinterpret_cast<const char *>(in), qsizetype(sizeof(T) * n));
}

std::optional<FileStamp> stampOf(const QString &path)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return FileStamp{std::uint64_t(st.st_dev), std::uint64_t(st.st_ino), std::int64_t(st.st_size),
                     std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

} // namespace

std::vector<YearSummary> readCache(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    qsizetype at = 0;
    Header header{};
    if (!take(bytes, at, &header) || std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 ||
        header.summarySize != sizeof(DaySummary))
        return {};
    std::vector<YearSummary> years;
    for (std::uint32_t i = 0; i < header.years; ++i) {
        YearHeader y{};
        if (!take(bytes, at, &y) || y.days > 366 ||
            bytes.size() - at < qsizetype(y.days * sizeof(DaySummary)))
            return {};
        YearSummary s{y.year,    y.stamp, y.records, y.lastRecord, std::vector<DaySummary>(y.days),
                      y.chartKey};
        take(bytes, at, s.days.data(), s.days.size());
        years.push_back(std::move(s));
    }
    return years;
}

QByteArray cacheBytes(const std::vector<YearSummary> &years)
{
    QByteArray bytes;
    Header header{};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.summarySize = sizeof(DaySummary);
    header.years = std::uint32_t(years.size());
    put(bytes, &header);
    for (const YearSummary &s : years) {
        YearHeader y{};
        y.year = s.year;
        y.days = std::uint32_t(s.days.size());
        y.stamp = s.stamp;
        y.records = s.records;
        y.lastRecord = s.lastRecord;
        y.chartKey = s.chartKey;
        put(bytes, &y);
        put(bytes, s.days.data(), s.days.size());
    }
    return bytes;
}

RefreshResult refreshYear(YearSummary &summary, const QString &path)
{
    const std::optional<FileStamp> now = stampOf(path);
    if (!now)
        return {Refresh::Unchanged, QStringLiteral("kan inte läsa %1").arg(path)};
    if (*now == summary.stamp)
        return {};
    // Only an append keeps what was read: the same file, no shorter, and its
    // last record read before still in place.
    const std::int64_t wholeRecords = now->bytes / std::int64_t(kRecordSize);
    bool append = now->device == summary.stamp.device && now->inode == summary.stamp.inode &&
                  wholeRecords >= summary.records && summary.records > 0;
    if (append) {
        std::array<DataRecord, 1> last{};
        append = readRecordsAt(path, summary.records - 1, last) == 1 &&
                 std::memcmp(&last[0], &summary.lastRecord, sizeof(DataRecord)) == 0;
    }
    YearSummary next;
    next.year = summary.year;
    if (append)
        next = summary;
    next.stamp = *now;
    std::vector<DataRecord> block(kBlockRecords);
    while (next.records < wholeRecords) {
        const std::size_t want =
            std::size_t(std::min<std::int64_t>(wholeRecords - next.records, kBlockRecords));
        const std::size_t got = readRecordsAt(path, next.records, std::span(block).first(want));
        if (got == 0)
            break; // shorter than a moment ago: the next run reads it again
        addToDays(next.days, next.year, std::span(block).first(got), next.records);
        next.records += std::int64_t(got);
        next.lastRecord = block[got - 1];
        if (got < want)
            break;
    }
    if (next.records < wholeRecords)
        next.stamp = {};              // read again next time
    next.chartKey = summary.chartKey; // the key says what was drawn, whatever was read
    summary = std::move(next);
    return {append ? Refresh::Appended : Refresh::Reread, {}};
}

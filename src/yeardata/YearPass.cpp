#include "YearPass.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace {

using FileStatus = struct stat;

// Records read at a time while following: a minute of one-second samples, on
// the stack, so following never allocates.
constexpr std::size_t kFollowBlock = 64;

YearFollower::Look lookOf(const FileStatus &st)
{
    YearFollower::Look look;
    look.seen = true;
    look.device = std::uint64_t(st.st_dev);
    look.inode = std::uint64_t(st.st_ino);
    look.bytes = qint64(st.st_size);
    look.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    look.changedNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return look;
}

bool sameFile(const YearFollower::Look &a, const YearFollower::Look &b)
{
    return a.seen && b.seen && a.device == b.device && a.inode == b.inode;
}

bool sameRecord(const DataRecord &a, const DataRecord &b)
{
    return std::memcmp(&a, &b, sizeof(DataRecord)) == 0; // NaN as stored, bit for bit
}

} // namespace

YearPass readYearPass(const QString &path, std::int32_t yearStartDay)
{
    return YearFollower(path, yearStartDay).readWhole();
}

YearFollower::YearFollower(QString path, std::int32_t yearStartDay)
    : m_path(std::move(path)), m_temperature(yearStartDay), m_pressure(yearStartDay)
{}

YearPass YearFollower::readWhole()
{
    YearPass pass;
    OpenedYearFile opened = openYearFile(m_path);
    if (!opened.file) {
        pass.errorString = opened.reason;
        FileStatus st{};
        if (::stat(QFile::encodeName(m_path).constData(), &st) == 0)
            m_look = lookOf(st);
        return pass;
    }
    FileStatus st{};
    if (::fstat(opened.file->handle(), &st) == 0)
        m_look = lookOf(st);
    const YearFileScan scan =
        scanYearFile(*opened.file, m_path, [&](std::span<const DataRecord> block) {
            m_pressure.add(block);
            m_temperature.add(block);
            pass.lastRecord = block.back();
        });
    pass.ok = scan.problem == YearFileProblem::None;
    pass.errorString = scan.errorString;
    pass.records = scan.records;
    // Bytes appended after the length was taken are read at the next follow().
    m_look.bytes = scan.bytes;
    m_wholeRead = pass.ok && m_look.seen;
    m_records = scan.records;
    m_last = pass.lastRecord;
    pass.pressure = m_pressure.current(true);
    pass.temperature = m_temperature.current(true);
    return pass;
}

YearFollower::Change YearFollower::follow()
{
    FileStatus st{};
    if (::stat(QFile::encodeName(m_path).constData(), &st) != 0) {
        m_error = errno == ENOENT
                      ? QStringLiteral("%1 finns inte").arg(m_path)
                      : QStringLiteral("Kan inte öppna %1: %2").arg(m_path, errnoReason(errno));
        return Change::Unreadable;
    }
    const Look now = lookOf(st);
    if (!m_wholeRead) {
        // The last whole read failed: try again once the file is another or has changed.
        const bool unchanged = sameFile(now, m_look) && now.bytes == m_look.bytes &&
                               now.modifiedNs == m_look.modifiedNs &&
                               now.changedNs == m_look.changedNs;
        return unchanged ? Change::None : Change::Rewritten;
    }
    // A torn last record cut back by the next writer is no reason to read it all again.
    if (!sameFile(now, m_look) || now.bytes < m_records * qint64(kRecordSize))
        return Change::Rewritten;
    if (now.bytes == m_look.bytes && now.modifiedNs == m_look.modifiedNs)
        return Change::None;
    return readAdded(now);
}

YearFollower::Change YearFollower::readAdded(const Look &now)
{
    OpenedYearFile opened = openExistingYearFile(m_path);
    if (!opened.file) {
        m_error = opened.reason;
        return Change::Unreadable;
    }
    FileStatus st{};
    if (::fstat(opened.file->handle(), &st) != 0)
        return Change::Rewritten;
    Look fresh = lookOf(st);
    // Replaced between the look and the open, or cut short since.
    if (!sameFile(fresh, now) || fresh.bytes < m_records * qint64(kRecordSize) ||
        fresh.bytes > kMaxYearFileBytes)
        return Change::Rewritten;

    // The last record drawn is read again with the new ones: when it is no
    // longer what was drawn, the bytes before it cannot be trusted either.
    std::array<DataRecord, kFollowBlock> block;
    const qint64 total = fresh.bytes / qint64(kRecordSize);
    const qint64 before = m_records;
    qint64 next = std::max<qint64>(m_records - 1, 0);
    bool checked = m_records == 0;
    while (next < total) {
        const auto want = std::size_t(std::min<qint64>(total - next, qint64(block.size())));
        const qint64 got = readRecordsAt(*opened.file, next, std::span(block).first(want));
        if (got < 0) {
            m_error = QStringLiteral("Kan inte läsa %1: läsfel").arg(m_path);
            if (m_records > before)
                break;
            return Change::Unreadable;
        }
        std::span<const DataRecord> added = std::span(block).first(std::size_t(got));
        if (!checked) {
            if (added.empty() || !sameRecord(added.front(), m_last))
                return Change::Rewritten;
            checked = true;
            added = added.subspan(1);
        }
        if (!added.empty()) {
            m_pressure.add(added);
            m_temperature.add(added);
            m_last = added.back();
            m_records += qint64(added.size());
        }
        next += got;
        if (std::size_t(got) < want)
            break; // cut short while being read: the next look sees it
    }
    m_look = fresh;
    if (m_records < total)
        m_look.bytes = m_records * qint64(kRecordSize);
    return m_records > before ? Change::Grown : Change::None;
}

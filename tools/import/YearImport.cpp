#include "YearImport.h"

#include "DayNumber.h"
#include "Plausible.h"
#include "SampleReader.h"
#include "SampleStamp.h"
#include "YearFile.h"
#include "YearFileAppend.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <limits>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::int64_t kDay = 86400;
constexpr std::size_t kSpoolBlock = 8192; // entries buffered before they go to disk

// A sample on its way to its year: when it was taken and which input file it
// came from (its place on the command line), in one number that orders both,
// and its record. 24 bytes, since ten years of input pass through a spool.
constexpr int kSourceBits = 8;
constexpr int kMaxSources = 1 << kSourceBits;

struct SpoolEntry
{
    std::int64_t order = 0; // instant << kSourceBits | source
    DataRecord record;

    Seconds instant() const { return order >> kSourceBits; }
    int source() const { return int(order & (kMaxSources - 1)); }
};
static_assert(sizeof(SpoolEntry) == 24);

bool earlier(const SpoolEntry &a, const SpoolEntry &b)
{
    return a.order < b.order;
}

// The samples of one year, kept in a temporary file as they are read, so
// that ten years of input take the memory of one block, and one year is in
// memory only while it is written.
class YearSpool
{
public:
    bool add(const SpoolEntry &e)
    {
        if (m_count > 0 && earlier(e, m_last))
            m_ordered = false;
        m_last = e;
        const std::int64_t key = localKey(e.record);
        m_firstKey = m_count == 0 ? key : std::min(m_firstKey, key);
        m_lastKey = m_count == 0 ? key : std::max(m_lastKey, key);
        ++m_count;
        m_buffer.push_back(e);
        return m_buffer.size() < kSpoolBlock || flush();
    }

    bool flush()
    {
        if (m_buffer.empty())
            return true;
        if (!m_file.isOpen() && !m_file.open())
            return false;
        const auto bytes = qint64(m_buffer.size() * sizeof(SpoolEntry));
        const bool ok =
            m_file.write(reinterpret_cast<const char *>(m_buffer.data()), bytes) == bytes;
        m_buffer.clear();
        return ok;
    }

    QString error() const { return m_file.errorString(); }

    // The year's records in time order, samples of two files taken at the
    // same instant joined into one (a temperature and a pressure file). Input
    // in time order is read back a block at a time: only the records stay in
    // memory (16 bytes a sample); otherwise the year is sorted whole.
    // out and unordered are the caller's, so that their memory, touched
    // once, serves every year.
    bool records(std::vector<DataRecord> &out, std::vector<SpoolEntry> &unordered)
    {
        out.clear();
        unordered.clear();
        out.reserve(std::size_t(m_count));
        if (!m_ordered)
            unordered.reserve(std::size_t(m_count));
        SpoolEntry previous;
        bool joined = true; // nothing before the first to join
        const auto add = [&](const SpoolEntry &e) {
            DataRecord &last = out.empty() ? previous.record : out.back();
            const bool sameTime =
                !joined && e.instant() == previous.instant() && e.source() != previous.source();
            if (sameTime && (std::isnan(last.temp) || std::isnan(e.record.temp)) &&
                (last.qnh == 0 || e.record.qnh == 0)) {
                if (std::isnan(last.temp))
                    last.temp = e.record.temp;
                if (last.qnh == 0)
                    last.qnh = e.record.qnh;
                joined = true;
                return;
            }
            out.push_back(e.record);
            previous = e;
            joined = false;
        };
        std::vector<SpoolEntry> entries;
        if (m_file.isOpen()) {
            if (!m_file.seek(0))
                return false;
            const qint64 onDisk = m_file.size();
            for (qint64 done = 0; done < onDisk;) {
                entries.resize(std::min<std::size_t>(kSpoolBlock, std::size_t(onDisk - done) /
                                                                      sizeof(SpoolEntry)));
                const auto bytes = qint64(entries.size() * sizeof(SpoolEntry));
                if (bytes == 0 ||
                    m_file.read(reinterpret_cast<char *>(entries.data()), bytes) != bytes)
                    return false;
                done += bytes;
                if (m_ordered)
                    std::for_each(entries.begin(), entries.end(), add);
                else
                    unordered.insert(unordered.end(), entries.begin(), entries.end());
            }
        }
        unordered.insert(unordered.end(), m_buffer.begin(), m_buffer.end());
        m_buffer.clear();
        if (!m_ordered)
            std::stable_sort(unordered.begin(), unordered.end(), earlier);
        std::for_each(unordered.begin(), unordered.end(), add);
        return true;
    }

    std::int64_t firstKey() const { return m_firstKey; }
    std::int64_t lastKey() const { return m_lastKey; }

private:
    QTemporaryFile m_file;
    std::vector<SpoolEntry> m_buffer;
    qint64 m_count = 0;
    bool m_ordered = true;
    SpoolEntry m_last;
    std::int64_t m_firstKey = 0, m_lastKey = 0;
};

// "1 post", "2 poster"
QString recordCount(qint64 n)
{
    return n == 1 ? QStringLiteral("1 post") : QStringLiteral("%1 poster").arg(n);
}

QString overlapText(const QString &path, const YearPlan &plan)
{
    return QStringLiteral("%1 har redan %2 mellan %3 och %4, inom de importerade tiderna; "
                          "inget skrevs (--replace-range ersätter dem)")
        .arg(path, recordCount(plan.overlapping))
        .arg(localKeyText(plan.overlapFirst), localKeyText(plan.overlapLast));
}

QString valueRange(std::span<const DataRecord> records)
{
    float lowT = std::numeric_limits<float>::infinity(), highT = -lowT;
    std::int32_t lowQ = std::numeric_limits<std::int32_t>::max(), highQ = 0;
    for (const DataRecord &r : records) {
        if (isPlausibleTemp(r.temp)) {
            lowT = std::min(lowT, r.temp);
            highT = std::max(highT, r.temp);
        }
        if (isPlausibleQnh(r.qnh)) {
            lowQ = std::min(lowQ, r.qnh);
            highQ = std::max(highQ, r.qnh);
        }
    }
    const QLocale locale;
    const QString temps =
        lowT <= highT ? QStringLiteral("temperatur %1 till %2 °C")
                            .arg(locale.toString(lowT, 'f', 1), locale.toString(highT, 'f', 1))
                      : QStringLiteral("ingen temperatur");
    const QString qnhs = lowQ <= highQ ? QStringLiteral("QNH %1 till %2 hPa").arg(lowQ).arg(highQ)
                                       : QStringLiteral("inget lufttryck");
    return temps + QStringLiteral(", ") + qnhs;
}

std::optional<std::vector<DataRecord>> existingRecords(const QString &path, QString &error)
{
    std::vector<DataRecord> records;
    const YearFileScan scan = scanYearFile(path, [&](std::span<const DataRecord> block) {
        records.insert(records.end(), block.begin(), block.end());
    });
    if (scan.problem == YearFileProblem::Missing)
        return std::vector<DataRecord>{};
    if (scan.problem != YearFileProblem::None) {
        error = scan.errorString;
        return std::nullopt;
    }
    return records;
}

// The file's whole records (length bytes) through the descriptor the lock is held on.
std::optional<std::vector<DataRecord>> readLocked(int fd, qint64 length)
{
    std::vector<DataRecord> records(std::size_t(length) / kRecordSize);
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle) ||
        readRecordsAt(file, 0, records) != qint64(records.size()))
        return std::nullopt;
    return records;
}

// Writes records to a new file beside path and renames it over path, while
// the caller holds the writers' lock on the old file (oldFd).
QString replaceYearFile(const QString &path, int oldFd, std::span<const DataRecord> records)
{
    const QFileInfo info(path);
    QByteArray name =
        QFile::encodeName(info.dir().filePath(QStringLiteral(".%1.XXXXXX").arg(info.fileName())));
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return QStringLiteral("Kan inte skapa en tillfällig fil bredvid %1: %2")
            .arg(path, errnoReason(errno));
    struct stat old
    {
    };
    // The logger, maybe another account of the group, must go on appending.
    if (::fstat(oldFd, &old) == 0)
        ::fchmod(fd, old.st_mode & 0666);
    shareWithFolderGroup(fd, name);
    std::vector<std::byte> bytes;
    bytes.reserve(records.size() * kRecordSize);
    for (const DataRecord &r : records)
        encodeRecord(r, bytes);
    std::size_t done = 0;
    int err = 0;
    while (done < bytes.size() && err == 0) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            err = wrote < 0 ? errno : ENOSPC;
        else
            done += std::size_t(wrote);
    }
    if (err == 0 && ::fsync(fd) != 0)
        err = errno;
    ::close(fd);
    if (err == 0 && ::rename(name.constData(), QFile::encodeName(path).constData()) != 0)
        err = errno;
    if (err != 0) {
        ::unlink(name.constData());
        return QStringLiteral("Kan inte ersätta %1: %2").arg(path, errnoReason(err));
    }
    const int folder = ::open(QFile::encodeName(info.absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return {};
}

struct Written
{
    QString error;
    bool merged = false;
};

Written writeYear(const QString &path, std::span<const DataRecord> records, std::int64_t firstKey,
                  std::int64_t lastKey, bool replaceRange)
{
    Written result;
    // Decided under the lock, on the file as it is then: the logger may have
    // appended since the inputs were read.
    const AppendCheck check = [&](int fd, qint64 length, AppendOutcome &outcome) {
        const std::optional<std::vector<DataRecord>> existing = readLocked(fd, length);
        if (!existing) {
            outcome.error = QStringLiteral("Kan inte läsa %1").arg(path);
            return false;
        }
        const YearPlan plan = planYear(*existing, firstKey, lastKey, replaceRange);
        if (plan.placement == YearPlacement::Append)
            return true;
        if (plan.placement == YearPlacement::Refuse) {
            outcome.error = overlapText(path, plan);
            return false;
        }
        outcome.error =
            replaceYearFile(path, fd, mergedYear(*existing, records, firstKey, lastKey));
        result.merged = outcome.error.isEmpty();
        return false;
    };
    const AppendOutcome outcome = appendRecords(path, records, check);
    if (!outcome.ok && !result.merged)
        result.error = outcome.error;
    return result;
}

} // namespace

std::int64_t localKey(const DataRecord &r)
{
    return std::int64_t(r.dayNumber) * kDay + std::llround(double(r.timeOfDay) * double(kDay));
}

QString localKeyText(std::int64_t key)
{
    const std::int64_t day = key / kDay;
    const int second = int(key - day * kDay);
    return DayNumber::toDate(day).toString(QStringLiteral("yyyy-MM-dd")) +
           QStringLiteral(" %1:%2")
               .arg(second / 3600, 2, 10, QLatin1Char('0'))
               .arg(second / 60 % 60, 2, 10, QLatin1Char('0'));
}

YearPlan planYear(std::span<const DataRecord> existing, std::int64_t firstKey, std::int64_t lastKey,
                  bool replaceRange)
{
    YearPlan plan;
    bool laterRecord = false;
    for (const DataRecord &r : existing) {
        const std::int64_t key = localKey(r);
        if (key > lastKey) {
            laterRecord = true;
        } else if (key >= firstKey) {
            plan.overlapFirst = plan.overlapping == 0 ? key : std::min(plan.overlapFirst, key);
            plan.overlapLast = plan.overlapping == 0 ? key : std::max(plan.overlapLast, key);
            ++plan.overlapping;
        }
    }
    if (plan.overlapping > 0)
        plan.placement = replaceRange ? YearPlacement::Merge : YearPlacement::Refuse;
    else
        plan.placement = laterRecord ? YearPlacement::Merge : YearPlacement::Append;
    return plan;
}

std::vector<DataRecord> mergedYear(std::span<const DataRecord> existing,
                                   std::span<const DataRecord> imported, std::int64_t firstKey,
                                   std::int64_t lastKey)
{
    std::vector<DataRecord> out;
    out.reserve(existing.size() + imported.size());
    for (const DataRecord &r : existing)
        if (localKey(r) < firstKey)
            out.push_back(r);
    out.insert(out.end(), imported.begin(), imported.end());
    for (const DataRecord &r : existing)
        if (localKey(r) > lastKey)
            out.push_back(r);
    return out;
}

int runImport(const ImportOptions &options, const QTimeZone &zone, QTextStream &out,
              QTextStream &err)
{
    const QDir folder(options.folder);
    if (!QFileInfo(options.folder).isDir()) {
        err << QStringLiteral("kalvik-import: mappen %1 finns inte").arg(options.folder)
            << Qt::endl;
        return 1;
    }

    struct stat folderInfo
    {
    };
    if (!options.dryRun && ::geteuid() == 0 &&
        ::stat(QFile::encodeName(options.folder).constData(), &folderInfo) == 0 &&
        folderInfo.st_uid != 0) {
        err << QStringLiteral("kalvik-import: mappen %1 tillhör ett annat konto än root; kör "
                              "kalvik-import som det (sudo -u KONTO), annars kan loggern inte "
                              "skriva i filerna som importen skapar")
                   .arg(options.folder)
            << Qt::endl;
        return 1;
    }

    ZoneClock clock(zone);
    std::map<int, YearSpool> spools;
    QString spoolError;
    if (options.files.size() > kMaxSources) {
        err << QStringLiteral("kalvik-import: högst %1 filer åt gången").arg(kMaxSources)
            << Qt::endl;
        return 1;
    }
    for (qsizetype i = 0; i < options.files.size(); ++i) {
        YearSpool *spool = nullptr; // the year of the last sample: most often the next one's
        int spoolYear = 0;
        const FileRead read =
            readSampleFile(options.files.at(i), options.read, clock, [&](const ImportedSample &s) {
                if (!spool || s.year != spoolYear) {
                    spool = &spools[s.year];
                    spoolYear = s.year;
                }
                if (!spool->add({s.instant * kMaxSources + i, s.record}) && spoolError.isEmpty())
                    spoolError = spool->error();
            });
        if (!read.error.isEmpty()) {
            err << QStringLiteral("kalvik-import: ") << read.error << Qt::endl;
            return 1;
        }
        if (read.badLines > 0)
            err << QStringLiteral("kalvik-import: %1: %2 felaktiga rader hoppades över; den "
                                  "första: %3")
                       .arg(QFileInfo(options.files.at(i)).fileName())
                       .arg(read.badLines)
                       .arg(read.firstBadLine)
                << Qt::endl;
    }
    for (auto &[year, spool] : spools)
        if (!spool.flush() && spoolError.isEmpty())
            spoolError = spool.error();
    if (!spoolError.isEmpty()) {
        err << QStringLiteral("kalvik-import: kan inte mellanlagra mätningarna: %1").arg(spoolError)
            << Qt::endl;
        return 1;
    }
    if (spools.empty()) {
        out << QStringLiteral("Inga mätningar att importera.") << Qt::endl;
        return 0;
    }

    // Every year is checked before any is written, so a refusal leaves all
    // of them as they were.
    bool refused = false;
    for (auto &[year, spool] : spools) {
        const QString path = folder.filePath(yearFileName(year));
        QString error;
        const std::optional<std::vector<DataRecord>> existing = existingRecords(path, error);
        if (!existing) {
            err << QStringLiteral("kalvik-import: ") << error << Qt::endl;
            return 1;
        }
        const YearPlan plan =
            planYear(*existing, spool.firstKey(), spool.lastKey(), options.replaceRange);
        if (plan.placement == YearPlacement::Refuse && !options.dryRun) {
            err << QStringLiteral("kalvik-import: ") << overlapText(path, plan) << Qt::endl;
            refused = true;
        } else if (options.dryRun && plan.overlapping > 0) {
            out << QStringLiteral("%1: redan %2 inom de importerade tiderna")
                       .arg(yearFileName(year), recordCount(plan.overlapping))
                << Qt::endl;
        }
    }
    if (refused)
        return 1;

    std::vector<DataRecord> yearRecords;
    std::vector<SpoolEntry> unordered;
    for (auto &[year, spool] : spools) {
        const std::vector<DataRecord> *records = &yearRecords;
        if (!spool.records(yearRecords, unordered)) {
            err << QStringLiteral("kalvik-import: kan inte läsa tillbaka de mellanlagrade "
                                  "mätningarna: %1")
                       .arg(spool.error())
                << Qt::endl;
            return 1;
        }
        const QString path = folder.filePath(yearFileName(year));
        const QString summary =
            QStringLiteral("%1: %2, %3 till %4, %5")
                .arg(yearFileName(year), recordCount(qint64(records->size())))
                .arg(localKeyText(localKey(records->front())),
                     localKeyText(localKey(records->back())), valueRange(*records));
        if (options.dryRun) {
            out << summary << Qt::endl;
            continue;
        }
        const Written written =
            writeYear(path, *records, spool.firstKey(), spool.lastKey(), options.replaceRange);
        if (!written.error.isEmpty()) {
            err << QStringLiteral("kalvik-import: ") << written.error << Qt::endl;
            return 1;
        }
        out << summary
            << (written.merged ? QStringLiteral(" (inflätade i filen)")
                               : QStringLiteral(" (tillagda sist)"))
            << Qt::endl;
    }
    return 0;
}

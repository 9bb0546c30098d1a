#include "WebRun.h"

#include "DataRow.h"
#include "DayNumber.h"
#include "Plausible.h"
#include "SiteFiles.h"
#include "WebCharts.h"
#include "WebPages.h"
#include "WebText.h"
#include "YearCache.h"
#include "YearFile.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::int64_t kHoursChartSeconds = 48 * 3600;
constexpr std::int64_t kStaleAfterSeconds = 3600;
constexpr std::size_t kBlockRecords = 16 * 1024;

WebResult failed(const QString &message)
{
    return WebResult{1, message, 0, 0};
}

// The year files of the folder, by year; one line saying why there are none.
struct FolderListing
{
    std::map<int, QString> files;
    QString error;
};

FolderListing listYearFiles(const QString &folder)
{
    FolderListing listing;
    const QByteArray native = QFile::encodeName(folder);
    struct stat st
    {
    };
    if (::stat(native.constData(), &st) != 0) {
        listing.error =
            errno == ENOENT
                ? QStringLiteral("mappen %1 finns inte").arg(folder)
                : QStringLiteral("kan inte läsa mappen %1: %2").arg(folder, errnoReason(errno));
        return listing;
    }
    if (!S_ISDIR(st.st_mode)) {
        listing.error = QStringLiteral("%1 är ingen mapp").arg(folder);
        return listing;
    }
    DIR *dir = ::opendir(native.constData());
    if (!dir) {
        listing.error =
            QStringLiteral("kan inte läsa mappen %1: %2").arg(folder, errnoReason(errno));
        return listing;
    }
    static const QRegularExpression name(QStringLiteral("^T_(\\d{4})\\.dat$"));
    while (const dirent *entry = ::readdir(dir)) {
        const QString fileName = QFile::decodeName(entry->d_name);
        const QRegularExpressionMatch match = name.match(fileName);
        const QString path = QDir(folder).filePath(fileName);
        struct stat file
        {
        };
        if (match.hasMatch() && ::stat(QFile::encodeName(path).constData(), &file) == 0 &&
            S_ISREG(file.st_mode))
            listing.files.emplace(match.captured(1).toInt(), path);
    }
    ::closedir(dir);
    if (listing.files.empty())
        listing.error = QStringLiteral("ingen årsfil (T_<år>.dat) i mappen %1").arg(folder);
    return listing;
}

// The site's folder, made when missing, locked against a second run at the same time.
class SiteFolder
{
public:
    ~SiteFolder()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    QString open(const QString &path)
    {
        if (!QFileInfo::exists(path) && !QDir().mkpath(path))
            return QStringLiteral("kan inte skapa mappen %1").arg(path);
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_fd < 0)
            return QStringLiteral("kan inte skriva i mappen %1: %2").arg(path, errnoReason(errno));
        if (::faccessat(m_fd, ".", W_OK, AT_EACCESS) != 0)
            return QStringLiteral("kan inte skriva i mappen %1: %2").arg(path, errnoReason(errno));
        if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0)
            return QStringLiteral("en annan körning skriver redan i mappen %1").arg(path);
        return {};
    }

private:
    int m_fd = -1;
};

std::int64_t secondsOf(const QDateTime &local)
{
    return DayNumber::fromDate(local.date()) * kSecondsPerDay +
           local.time().msecsSinceStartOfDay() / 1000;
}

std::int64_t secondsOf(std::int32_t day, float fraction)
{
    return std::int64_t(day) * kSecondsPerDay + secondOfDay(fraction).value_or(0);
}

// Writes the site's files and counts what happened; the first failure is kept.
class SiteWriter
{
public:
    explicit SiteWriter(QString folder) : m_folder(std::move(folder)) {}
    QString path(const QString &name) const { return QDir(m_folder).filePath(name); }
    bool put(const QString &name, const QByteArray &bytes) { return putAt(path(name), bytes); }
    bool putAt(const QString &target, const QByteArray &bytes)
    {
        const SiteFiles::WriteResult r = SiteFiles::replaceIfChanged(target, bytes);
        if (r.outcome == SiteFiles::Outcome::Failed && m_result.message.isEmpty()) {
            m_result.exitCode = 1;
            m_result.message = r.error;
        }
        m_result.written += r.outcome == SiteFiles::Outcome::Written;
        m_result.unchanged += r.outcome == SiteFiles::Outcome::Unchanged;
        return r.outcome != SiteFiles::Outcome::Failed;
    }
    void fail(const QString &message)
    {
        if (m_result.message.isEmpty())
            m_result = {1, message, m_result.written, m_result.unchanged};
    }
    WebResult result() const { return m_result; }

private:
    QString m_folder;
    WebResult m_result;
};

QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The samples of the last 48 hours up to `end`, from the records of the days
// they fall on (each year's summaries say where those days start).
std::vector<TimedSample> recentSamples(const std::vector<YearSummary> &years,
                                       const std::map<int, QString> &files, std::int64_t from,
                                       std::int64_t end)
{
    std::vector<TimedSample> samples;
    const std::int32_t firstDay = std::int32_t(from / kSecondsPerDay);
    std::vector<DataRecord> block(kBlockRecords);
    for (const YearSummary &y : years) {
        const auto file = files.find(y.year);
        if (file == files.end() || y.days.empty() || y.days.back().day < firstDay)
            continue;
        const auto start =
            std::lower_bound(y.days.begin(), y.days.end(), firstDay,
                             [](const DaySummary &d, std::int32_t n) { return d.day < n; });
        std::int64_t next = start->firstRecord;
        while (next < y.records) {
            const std::size_t want =
                std::size_t(std::min<std::int64_t>(y.records - next, kBlockRecords));
            const std::size_t got = readRecordsAt(file->second, next, std::span(block).first(want));
            for (std::size_t i = 0; i < got; ++i) {
                const std::int64_t second = secondsOf(block[i].dayNumber, block[i].timeOfDay);
                if (second >= from && second <= end)
                    samples.push_back({second, block[i].temp, block[i].qnh});
            }
            next += std::int64_t(got);
            if (got < want)
                break;
        }
    }
    return samples;
}

QString hoursAlt(std::span<const TimedSample> samples, std::int64_t from, std::int64_t end)
{
    std::optional<float> low, high;
    std::optional<std::int32_t> qnhLow, qnhHigh;
    for (const TimedSample &s : samples) {
        if (isPlausibleTemp(s.temp)) {
            low = std::min(low.value_or(s.temp), s.temp);
            high = std::max(high.value_or(s.temp), s.temp);
        }
        if (isPlausibleQnh(s.qnh)) {
            qnhLow = std::min(qnhLow.value_or(s.qnh), s.qnh);
            qnhHigh = std::max(qnhHigh.value_or(s.qnh), s.qnh);
        }
    }
    const auto stamp = [](std::int64_t second) {
        return WebText::isoDate(std::int32_t(second / kSecondsPerDay)) + QLatin1Char(' ') +
               WebText::clock(float(second % kSecondsPerDay) / float(kSecondsPerDay));
    };
    QString alt =
        QStringLiteral("Temperatur och lufttryck från %1 till %2.").arg(stamp(from), stamp(end));
    if (low)
        alt += QStringLiteral(" Temperaturen låg mellan %1 och %2.")
                   .arg(WebText::temperature(*low), WebText::temperature(*high));
    if (qnhLow)
        alt += QStringLiteral(" Lufttrycket låg mellan %1 och %2.")
                   .arg(WebText::pressure(*qnhLow, 0), WebText::pressure(*qnhHigh, 0));
    return alt;
}

QString yearAlt(const YearSummary &y)
{
    const PeriodStats s = periodStats(y.days);
    QString alt =
        QStringLiteral("Årsdiagram %1 som i Kalviks fönster: en stapel per dag från dygnets "
                       "lägsta till högsta temperatur och linjer för dygnets högsta och lägsta "
                       "lufttryck.")
            .arg(y.year);
    if (s.high)
        alt += QStringLiteral(" Högst %1 den %2, lägst %3 den %4.")
                   .arg(WebText::temperature(s.high->value), WebText::shortDate(s.high->day),
                        WebText::temperature(s.low->value), WebText::shortDate(s.low->day));
    return alt + QStringLiteral(" Alla värden står i tabellerna nedan.");
}

} // namespace

QString cachePathFor(const QString &site)
{
    const QFileInfo info(QDir::cleanPath(QDir(site).absolutePath()));
    return info.absolutePath() + QLatin1Char('/') + info.fileName() + QStringLiteral(".cache");
}

WebResult runWeb(const WebOptions &options, const QDateTime &now)
{
    const FolderListing listing = listYearFiles(options.folder);
    if (!listing.error.isEmpty())
        return failed(listing.error);
    SiteFolder site;
    if (const QString why = site.open(options.out); !why.isEmpty())
        return failed(why);
    const QString cachePath = options.cache.isEmpty() ? cachePathFor(options.out) : options.cache;
    SiteFiles::removeLeftovers(options.out);
    SiteFiles::removeLeftovers(QFileInfo(cachePath).absolutePath());

    // Every year on disk, brought up to date; a year that went missing is dropped.
    std::vector<YearSummary> cached = readCache(cachePath);
    std::vector<YearSummary> years;
    SiteWriter writer(options.out);
    for (const auto &[year, path] : listing.files) {
        auto at = std::find_if(cached.begin(), cached.end(),
                               [&](const YearSummary &s) { return s.year == year; });
        YearSummary summary;
        if (at != cached.end())
            summary = std::move(*at);
        summary.year = year;
        if (const RefreshResult r = refreshYear(summary, path); !r.error.isEmpty())
            writer.fail(r.error);
        years.push_back(std::move(summary));
    }
    std::vector<int> yearNumbers;
    for (const YearSummary &y : years)
        yearNumbers.push_back(y.year);

    // The year pages; a chart is drawn again only when what it shows changed.
    for (YearSummary &y : years) {
        const QString png = QStringLiteral("%1.png").arg(y.year);
        const std::uint64_t key = yearChartKey(y);
        const QImage image = key != y.chartKey || !SiteFiles::isFile(writer.path(png))
                                 ? yearChartImage(y)
                                 : QImage();
        if (!image.isNull() && writer.put(png, pngBytes(image)))
            y.chartKey = key;
        const QSize size = image.isNull() ? QImageReader(writer.path(png)).size() : image.size();
        const Chart chart{png, int(size.width() / kYearChartScale),
                          int(size.height() / kYearChartScale), yearAlt(y)};
        writer.put(QStringLiteral("%1.html").arg(y.year),
                   yearPage({y.year, yearNumbers, y.days, chart}));
    }

    // klimat.html: the newest year over the band of the earlier ones.
    const YearSummary &newest = years.back();
    ClimatePage climate{newest.year, yearNumbers, 0, 0, {}, {}};
    ClimateBand band{};
    for (const YearSummary &y : years) {
        addToRecords(climate.records, y.days);
        if (y.year == newest.year)
            continue;
        addToBand(band, y.days);
        if (!y.days.empty()) {
            climate.earlierFrom = climate.earlierFrom ? climate.earlierFrom : y.year;
            climate.earlierTo = y.year;
        }
    }
    climate.chart = {
        QStringLiteral("klimat.svg"), kChartWidth, kChartHeight,
        QStringLiteral("Dygnets högsta och lägsta temperatur %1 över de tidigare årens "
                       "lägsta och högsta för samma kalenderdag. Rekorden står i tabellerna nedan.")
            .arg(newest.year)};
    writer.put(climate.chart.file, climateChart(band, newest.days, climate.chart.alt));
    writer.put(QStringLiteral("klimat.html"), climatePage(climate));

    // index.html
    NowPage page;
    page.now = now;
    page.years = yearNumbers;
    for (auto y = years.rbegin(); y != years.rend() && !(page.latest.temp && page.latest.qnh);
         ++y) {
        const LatestReadings l = latestReadings(y->days);
        if (!page.latest.temp)
            page.latest.temp = l.temp;
        if (!page.latest.qnh)
            page.latest.qnh = l.qnh;
    }
    const std::int32_t today = std::int32_t(DayNumber::fromDate(now.date()));
    for (const YearSummary &y : years) {
        if (const DaySummary *d = findDay(y.days, today))
            page.today = *d;
        if (const DaySummary *d = findDay(y.days, today - 1))
            page.yesterday = *d;
        if (y.year == now.date().year()) {
            page.month = periodStats(monthDays(y.days, y.year, now.date().month()));
            page.year = periodStats(y.days);
        }
    }
    std::int64_t end = -1;
    if (page.latest.temp)
        end = secondsOf(page.latest.temp->day, page.latest.temp->time);
    if (page.latest.qnh)
        end = std::max(end, secondsOf(page.latest.qnh->day, page.latest.qnh->time));
    page.stale = end < 0 || secondsOf(now) - end > kStaleAfterSeconds;
    if (end >= 0) {
        const std::int64_t from = end - kHoursChartSeconds;
        const std::vector<TimedSample> samples = recentSamples(years, listing.files, from, end);
        page.hours = {QStringLiteral("48-timmar.svg"), kChartWidth, kChartHeight,
                      hoursAlt(samples, from, end)};
        writer.put(page.hours.file, hoursChart(samples, from, end, page.hours.alt));
    }
    writer.put(QStringLiteral("index.html"), nowPage(page));

    // The cache last: what it says was drawn is on the site.
    writer.putAt(cachePath, cacheBytes(years));
    return writer.result();
}

#include "SampleYear.h"

#include "DayNumber.h"

#include <QDate>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int kSecondsPerMinute = 60;
constexpr std::int64_t kSecondsPerDay = 24 * 60 * 60;

// Monthly means of southern Stockholm: about -3 C in late January, +18 C in late July.
constexpr double kAnnualMean = 7.5;
constexpr double kAnnualSwing = 10.5;
constexpr double kColdestDay = 25.0; // day of the year
constexpr double kDaysPerYear = 365.25;
// The day's swing is small under winter cloud and large in summer sun.
constexpr double kDailySwingWinter = 1.5;
constexpr double kDailySwingSummer = 5.0;
constexpr double kWarmestHour = 15.0;
// Weather: deviations that last a few days.
constexpr double kWeatherSpread = 3.5; // C
constexpr double kWeatherDays = 3.0;
constexpr double kSensorNoise = 0.15; // C

constexpr double kMeanPressure = 1012.0;
constexpr double kPressureSpread = 11.0; // hPa
constexpr double kPressureDays = 2.0;
constexpr double kLowestPressure = 975.0;
constexpr double kHighestPressure = 1045.0;

} // namespace

// PCG32: small, fast and the same on every platform, unlike the standard
// library's distributions.
class SampleYearGenerator::Random
{
public:
    explicit Random(std::uint32_t seed)
    {
        next();
        m_state += seed;
        next();
    }

    std::uint32_t next()
    {
        const std::uint64_t old = m_state;
        m_state = old * 6364136223846793005ULL + 1442695040888963407ULL;
        const auto xorshifted = std::uint32_t(((old >> 18u) ^ old) >> 27u);
        const auto rot = std::uint32_t(old >> 59u);
        return (xorshifted >> rot) | (xorshifted << ((32 - rot) & 31));
    }

    // In (0, 1).
    double uniform() { return (double(next()) + 0.5) / 4294967296.0; }

    // Standard normal, Box-Muller.
    double normal()
    {
        if (m_hasSpare) {
            m_hasSpare = false;
            return m_spare;
        }
        const double r = std::sqrt(-2.0 * std::log(uniform()));
        const double a = 2.0 * std::numbers::pi * uniform();
        m_spare = r * std::sin(a);
        m_hasSpare = true;
        return r * std::cos(a);
    }

private:
    std::uint64_t m_state = 0;
    double m_spare = 0;
    bool m_hasSpare = false;
};

// A mean-reverting random walk (Ornstein-Uhlenbeck) sampled every step.
class SampleYearGenerator::Wander
{
public:
    Wander(double spread, double days, double stepDays, double start)
        : m_keep(std::exp(-stepDays / days)), m_kick(spread * std::sqrt(1.0 - m_keep * m_keep)),
          m_value(start)
    {}

    double step(Random &random)
    {
        m_value = m_keep * m_value + m_kick * random.normal();
        return m_value;
    }

private:
    double m_keep;
    double m_kick;
    double m_value;
};

namespace {

double seasonalMean(double dayOfYear)
{
    return kAnnualMean - kAnnualSwing * std::cos(2.0 * std::numbers::pi *
                                                 (dayOfYear - kColdestDay) / kDaysPerYear);
}

double dailySwing(double dayOfYear)
{
    const double summer =
        0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * (dayOfYear - kColdestDay) / kDaysPerYear);
    return kDailySwingWinter + (kDailySwingSummer - kDailySwingWinter) * summer;
}

double dailyCycle(double fractionOfDay)
{
    return std::cos(2.0 * std::numbers::pi * (fractionOfDay - kWarmestHour / 24.0));
}

// The station shows and stores tenths; +0.0f turns a rounded -0.0 into 0.0.
float tenths(double t)
{
    return float(std::round(t * 10.0) / 10.0) + 0.0f;
}

} // namespace

SampleYearGenerator::SampleYearGenerator(int year, int intervalSeconds, std::uint32_t seed)
    : m_interval(std::clamp(intervalSeconds, kMinSampleSeconds, kMaxSampleSeconds)),
      m_random(std::make_unique<Random>(seed))
{
    const QDate first(year, 1, 1);
    if (!first.isValid())
        return;
    m_firstDay = std::int32_t(DayNumber::fromDate(first));
    m_secondsInYear = std::int64_t(first.daysInYear()) * kSecondsPerDay;
    const double stepDays = double(m_interval) / kSecondsPerDay;
    m_weather = std::make_unique<Wander>(kWeatherSpread, kWeatherDays, stepDays,
                                         kWeatherSpread * m_random->normal());
    m_pressure = std::make_unique<Wander>(kPressureSpread, kPressureDays, stepDays,
                                          kPressureSpread * m_random->normal());
}

SampleYearGenerator::~SampleYearGenerator() = default;

std::size_t SampleYearGenerator::size() const
{
    return std::size_t((m_secondsInYear + m_interval - 1) / m_interval);
}

bool SampleYearGenerator::next(DataRecord &r)
{
    if (m_second >= m_secondsInYear)
        return false;
    const auto day = int(m_second / kSecondsPerDay);
    const double fraction = double(m_second % kSecondsPerDay) / kSecondsPerDay;
    const double dayOfYear = day + fraction;

    const double t = seasonalMean(dayOfYear) + dailySwing(dayOfYear) * dailyCycle(fraction) +
                     m_weather->step(*m_random) + kSensorNoise * m_random->normal();
    const double p =
        std::clamp(kMeanPressure + m_pressure->step(*m_random), kLowestPressure, kHighestPressure);

    r.dayNumber = m_firstDay + day;
    r.timeOfDay = float(fraction);
    r.qnh = std::int32_t(std::lround(p));
    r.temp = tenths(t);
    m_second += m_interval;
    return true;
}

std::vector<DataRecord> sampleYear(int year, int intervalMinutes, std::uint32_t seed)
{
    const int interval = std::clamp(intervalMinutes, kMinSampleInterval, kMaxSampleInterval);
    SampleYearGenerator generator(year, interval * kSecondsPerMinute, seed);
    std::vector<DataRecord> records;
    records.reserve(generator.size());
    for (DataRecord r; generator.next(r);)
        records.push_back(r);
    return records;
}

bool writeSampleYear(const QString &path, int year, int intervalSeconds, std::uint32_t seed,
                     QString *errorString, std::int32_t lastDay)
{
    // Written through one small buffer, so a year of seconds (half a gigabyte)
    // never sits in memory.
    constexpr std::size_t kBufferRecords = 1 << 14;
    SampleYearGenerator generator(year, intervalSeconds, seed);
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    std::vector<std::byte> bytes;
    bytes.reserve(kBufferRecords * kRecordSize);
    DataRecord r;
    bool more = true;
    while (ok && more) {
        bytes.clear();
        while (bytes.size() < kBufferRecords * kRecordSize && (more = generator.next(r)) &&
               (more = r.dayNumber <= lastDay))
            encodeRecord(r, bytes);
        ok = file.write(reinterpret_cast<const char *>(bytes.data()), qint64(bytes.size())) ==
             qint64(bytes.size());
    }
    ok = ok && file.commit();
    if (!ok && errorString)
        *errorString = file.errorString();
    return ok;
}

bool writeYearFile(const QString &path, std::span<const DataRecord> records, QString *errorString)
{
    std::vector<std::byte> bytes;
    bytes.reserve(records.size() * kRecordSize);
    for (const DataRecord &r : records)
        encodeRecord(r, bytes);

    // A reader never sees half a file: the new one replaces the old at commit.
    QSaveFile file(path);
    const bool ok = file.open(QIODevice::WriteOnly) &&
                    file.write(reinterpret_cast<const char *>(bytes.data()),
                               qint64(bytes.size())) == qint64(bytes.size()) &&
                    file.commit();
    if (!ok && errorString)
        *errorString = file.errorString();
    return ok;
}

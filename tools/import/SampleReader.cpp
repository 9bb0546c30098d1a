#include "SampleReader.h"

#include "Plausible.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace {

constexpr std::int64_t kDay = 86400;
constexpr std::int32_t kDayNumberOf1970 = 25569; // 1970-01-01 counted from 1899-12-30
constexpr Seconds kLowDefault = 6 * 3600;        // a day's low, when the file has no time
constexpr Seconds kHighDefault = 15 * 3600;
constexpr double kHpaPerKpa = 10.0;
constexpr double kHpaPerInHg = 33.8639;
constexpr qint64 kReadBlock = 1 << 20;
// A station file's header may follow a few blocks of station lines.
constexpr std::string_view kStationStart = "Stationsnamn";
constexpr std::string_view kStationHeader = "Datum;";

// Days since 1970-01-01 of a Gregorian date (H. Hinnant's days_from_civil).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = floorDiv(y, 400);
    const auto yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + std::int64_t(doe) - 719468;
}

int yearOfDays(std::int64_t days)
{
    days += 719468;
    const std::int64_t era = floorDiv(days, 146097);
    const auto doe = unsigned(days - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return int(std::int64_t(yoe) + era * 400 + (m <= 2));
}

bool leapYear(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '"'))
        s.remove_prefix(1);
    while (!s.empty() &&
           (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '"'))
        s.remove_suffix(1);
    return s;
}

// Reads exactly `width` digits.
bool digits(std::string_view &s, int width, int &value)
{
    if (int(s.size()) < width)
        return false;
    value = 0;
    for (int i = 0; i < width; ++i) {
        const char c = s[std::size_t(i)];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    s.remove_prefix(std::size_t(width));
    return true;
}

bool take(std::string_view &s, char c)
{
    if (s.empty() || s.front() != c)
        return false;
    s.remove_prefix(1);
    return true;
}

// yyyy-mm-dd (or with slashes) as days since 1970-01-01.
std::optional<std::int64_t> parseDate(std::string_view &s)
{
    int y = 0, m = 0, d = 0;
    if (!digits(s, 4, y))
        return std::nullopt;
    const char sep = s.empty() ? 0 : s.front();
    if ((sep != '-' && sep != '/') || !take(s, sep) || !digits(s, 2, m) || !take(s, sep) ||
        !digits(s, 2, d))
        return std::nullopt;
    static constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12 || d < 1 || d > kDays[std::size_t(m - 1)] + (m == 2 && leapYear(y)))
        return std::nullopt;
    return daysFromCivil(y, unsigned(m), unsigned(d));
}

struct ClockTime
{
    Seconds secondOfDay = 0;
    std::optional<int> offset; // seconds east of UTC, when written
};

// hh:mm[:ss[.fff]] and a zone (Z, +hh, +hhmm, +hh:mm) if written. Parts of a
// second are dropped, as the logger drops them.
std::optional<ClockTime> parseClock(std::string_view s)
{
    int h = 0, mi = 0, sec = 0;
    if (s.size() >= 2 && s[1] == ':')
        return std::nullopt;
    if (!digits(s, 2, h) || !take(s, ':') || !digits(s, 2, mi))
        return std::nullopt;
    if (take(s, ':')) {
        if (!digits(s, 2, sec))
            return std::nullopt;
        if (take(s, '.') || take(s, ','))
            while (!s.empty() && s.front() >= '0' && s.front() <= '9')
                s.remove_prefix(1);
    }
    if (h > 23 || mi > 59 || sec > 59)
        return std::nullopt;
    ClockTime t{h * 3600 + mi * 60 + sec, std::nullopt};
    s = trimmed(s);
    if (s.empty())
        return t;
    if (s == "Z" || s == "UTC") {
        t.offset = 0;
        return t;
    }
    const char sign = s.front();
    if (sign != '+' && sign != '-')
        return std::nullopt;
    s.remove_prefix(1);
    int oh = 0, om = 0;
    if (!digits(s, 2, oh))
        return std::nullopt;
    take(s, ':');
    if (!s.empty() && !digits(s, 2, om))
        return std::nullopt;
    if (!s.empty() || oh > 18 || om > 59)
        return std::nullopt;
    t.offset = (sign == '-' ? -1 : 1) * (oh * 3600 + om * 60);
    return t;
}

struct Stamp
{
    Seconds seconds = 0; // as written: civil, or an instant when offset is set
    std::optional<int> offset;
};

// A date and time in one cell ("2024-03-01T12:00+01:00", "2024-03-01 12:00"),
// or a date in one and the clock in another.
std::optional<Stamp> parseStamp(std::string_view dateCell, std::string_view timeCell)
{
    std::string_view s = dateCell.empty() ? timeCell : dateCell;
    const std::optional<std::int64_t> days = parseDate(s);
    if (!days)
        return std::nullopt;
    std::string_view clock = dateCell.empty() ? s : timeCell;
    if (dateCell.empty() && !clock.empty()) {
        if (clock.front() != 'T' && clock.front() != ' ')
            return std::nullopt;
        clock = trimmed(clock.substr(1));
    } else if (!dateCell.empty() && !trimmed(s).empty()) {
        return std::nullopt;
    }
    if (clock.empty())
        return std::nullopt;
    const std::optional<ClockTime> t = parseClock(clock);
    if (!t)
        return std::nullopt;
    return Stamp{*days * kDay + t->secondOfDay, t->offset};
}

enum class Cell { Empty, Number, Bad };

Cell parseNumber(std::string_view s, bool decimalComma, double &value)
{
    s = trimmed(s);
    if (s.empty())
        return Cell::Empty;
    if (s.front() == '+')
        s.remove_prefix(1);
    std::array<char, 32> copy{};
    if (decimalComma && s.find(',') != std::string_view::npos) {
        if (s.size() >= copy.size())
            return Cell::Bad;
        for (std::size_t i = 0; i < s.size(); ++i)
            copy[i] = s[i] == ',' ? '.' : s[i];
        s = std::string_view(copy.data(), s.size());
    }
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value))
        return Cell::Bad;
    return Cell::Number;
}

// A header name reduced to the word that says what the column holds:
// "Lufttemperatur (°C)" -> "lufttemperatur", "qnh_hpa" -> "qnh".
QString plainName(const QString &header, bool firstWord)
{
    QString name = header.trimmed().toLower();
    name.remove(QLatin1Char('"'));
    const qsizetype bracket = name.indexOf(QRegularExpression(QStringLiteral("[(\\[]")));
    if (bracket >= 0)
        name.truncate(bracket);
    name = name.trimmed();
    if (firstWord) {
        const qsizetype space = name.indexOf(QRegularExpression(QStringLiteral("[ _]")));
        if (space >= 0)
            name.truncate(space);
    }
    return name;
}

const QStringList kStampNames{QStringLiteral("datetime"), QStringLiteral("timestamp"),
                              QStringLiteral("tidpunkt"), QStringLiteral("date_time")};
const QStringList kDateNames{QStringLiteral("date"), QStringLiteral("datum")};
const QStringList kTimeNames{QStringLiteral("time"), QStringLiteral("tid"),
                             QStringLiteral("klockslag")};
const QStringList kTemperatureNames{QStringLiteral("temperature"), QStringLiteral("temp"),
                                    QStringLiteral("temperatur"), QStringLiteral("lufttemperatur")};
const QStringList kPressureNames{QStringLiteral("pressure"), QStringLiteral("qnh"),
                                 QStringLiteral("lufttryck"), QStringLiteral("barometer")};

// Which columns hold what, from the header row.
struct Layout
{
    char separator = ',';
    bool decimalComma = false;
    bool utc = false;
    int date = -1, time = -1, temperature = -1, pressure = -1;
    int high = -1, low = -1, highTime = -1, lowTime = -1;
    int needed = 0; // fields a row must have
};

void splitFields(std::string_view line, char separator, std::vector<std::string_view> &fields,
                 std::string &unquoted)
{
    fields.clear();
    if (line.find('"') == std::string_view::npos) {
        std::size_t start = 0;
        for (;;) {
            const std::size_t at = line.find(separator, start);
            if (at == std::string_view::npos) {
                fields.push_back(line.substr(start));
                return;
            }
            fields.push_back(line.substr(start, at - start));
            start = at + 1;
        }
    }
    // Quoted fields may hold the separator and doubled quotes.
    unquoted.clear();
    unquoted.reserve(line.size());
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    std::size_t begin = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                unquoted.push_back('"');
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (c == separator && !quoted) {
            spans.emplace_back(begin, unquoted.size() - begin);
            begin = unquoted.size();
        } else {
            unquoted.push_back(c);
        }
    }
    spans.emplace_back(begin, unquoted.size() - begin);
    for (const auto &[at, length] : spans)
        fields.push_back(std::string_view(unquoted).substr(at, length));
}

class Reader
{
public:
    Reader(const QString &path, const ReadSettings &settings, ZoneClock &zone,
           const std::function<void(const ImportedSample &)> &onSample)
        : m_name(QFileInfo(path).fileName()), m_settings(settings), m_zone(zone),
          m_onSample(onSample)
    {}

    // False when the file cannot go on (the error is in m_result).
    bool line(std::string_view text);
    FileRead finish();

private:
    bool header(std::string_view text);
    bool row();
    QString columnError(const QString &what) const;
    bool bad(const QString &what);
    bool deliver(const Stamp &stamp, float temp, std::int32_t qnh);
    int column(const QStringList &headers, const QString &chosen, const QStringList &usual,
               bool &missing) const;

    enum class State { First, StationBlock, Rows };

    QString m_name;
    const ReadSettings &m_settings;
    ZoneClock &m_zone;
    const std::function<void(const ImportedSample &)> &m_onSample;
    State m_state = State::First;
    Layout m_layout;
    qint64 m_lineNumber = 0;
    Seconds m_previous = std::numeric_limits<Seconds>::min();
    std::vector<std::string_view> m_fields;
    std::string m_unquoted;
    FileRead m_result;
};

QString Reader::columnError(const QString &what) const
{
    return QStringLiteral("%1, rad %2: %3").arg(m_name).arg(m_lineNumber).arg(what);
}

bool Reader::bad(const QString &what)
{
    const QString text = columnError(what);
    if (!m_settings.skipBadLines) {
        m_result.error = text;
        return false;
    }
    if (m_result.badLines++ == 0)
        m_result.firstBadLine = text;
    return true;
}

int Reader::column(const QStringList &headers, const QString &chosen, const QStringList &usual,
                   bool &missing) const
{
    if (!chosen.isEmpty()) {
        for (qsizetype i = 0; i < headers.size(); ++i)
            if (headers.at(i)
                    .trimmed()
                    .remove(QLatin1Char('"'))
                    .compare(chosen, Qt::CaseInsensitive) == 0)
                return int(i);
        missing = true;
        return -1;
    }
    for (const bool firstWord : {false, true})
        for (qsizetype i = 0; i < headers.size(); ++i)
            if (usual.contains(plainName(headers.at(i), firstWord)))
                return int(i);
    return -1;
}

bool Reader::header(std::string_view text)
{
    Layout &l = m_layout;
    l.separator = text.find('\t') != std::string_view::npos  ? '\t'
                  : text.find(';') != std::string_view::npos ? ';'
                                                             : ',';
    l.decimalComma = l.separator != ',';
    splitFields(text, l.separator, m_fields, m_unquoted);
    QStringList headers;
    for (const std::string_view f : m_fields)
        headers << QString::fromUtf8(f.data(), qsizetype(f.size()));

    const ImportColumns &chosen = m_settings.columns;
    bool missing = false;
    QString missingName;
    const auto find = [&](const QString &name, const QStringList &usual) {
        const bool before = missing;
        const int at = column(headers, name, usual, missing);
        if (missing && !before)
            missingName = name;
        return at;
    };
    l.time = find(chosen.time, kStampNames);
    if (l.time < 0 && chosen.time.isEmpty())
        l.time = find({}, kTimeNames);
    l.date = find(chosen.date,
                  chosen.date.isEmpty() && chosen.time.isEmpty() ? kDateNames : QStringList{});
    if (chosen.dailyExtremes()) {
        l.high = chosen.high.isEmpty() ? -1 : find(chosen.high, {});
        l.low = chosen.low.isEmpty() ? -1 : find(chosen.low, {});
        l.highTime = chosen.highTime.isEmpty() ? -1 : find(chosen.highTime, {});
        l.lowTime = chosen.lowTime.isEmpty() ? -1 : find(chosen.lowTime, {});
        if (l.date < 0) { // the date may stand in the one time column
            l.date = l.time;
            l.time = -1;
        }
    } else {
        if (l.time < 0) { // one column with the date and the time, named for the date
            l.time = l.date;
            l.date = -1;
        }
        l.temperature = find(chosen.temperature, kTemperatureNames);
        l.pressure = find(chosen.pressure, kPressureNames);
    }
    if (missing) {
        m_result.error = columnError(QStringLiteral("kolumnen \"%1\" finns inte").arg(missingName));
        return false;
    }
    if (l.time < 0 && l.date < 0) {
        m_result.error = columnError(QStringLiteral(
            "ingen kolumn med tid hittades (ange den med --time, och --date om datum och "
            "klockslag står i var sin)"));
        return false;
    }
    if (!chosen.dailyExtremes() && l.temperature < 0 && l.pressure < 0) {
        m_result.error = columnError(QStringLiteral(
            "varken temperatur eller lufttryck hittades (ange kolumnen med --temperature eller "
            "--pressure)"));
        return false;
    }
    if (l.date == l.time)
        l.date = -1;
    // The weather service writes its times in UTC and says so in the header.
    const int clockColumn = l.time >= 0 ? l.time : l.date;
    l.utc = m_settings.utc ||
            headers.at(clockColumn).contains(QLatin1String("UTC"), Qt::CaseInsensitive);
    for (const int c :
         {l.date, l.time, l.temperature, l.pressure, l.high, l.low, l.highTime, l.lowTime})
        l.needed = std::max(l.needed, c + 1);
    return true;
}

bool Reader::deliver(const Stamp &stamp, float temp, std::int32_t qnh)
{
    Seconds instant = 0;
    Seconds civil = 0;
    if (stamp.offset) {
        instant = stamp.seconds - *stamp.offset;
        civil = instant + m_zone.offsetAt(instant);
    } else if (m_layout.utc) {
        instant = stamp.seconds;
        civil = instant + m_zone.offsetAt(instant);
    } else {
        civil = stamp.seconds;
        instant = m_zone.instantOf(civil, m_previous);
    }
    m_previous = instant;
    const std::int64_t days = floorDiv(civil, kDay);
    const std::int64_t dayNumber = days + kDayNumberOf1970;
    if (dayNumber < 1 || dayNumber > std::numeric_limits<std::int32_t>::max())
        return bad(QStringLiteral("datumet kan inte stå i en årsfil"));
    ImportedSample sample;
    sample.instant = instant;
    sample.record = DataRecord{std::int32_t(dayNumber),
                               float(double(civil - days * kDay) / double(kDay)), qnh, temp};
    sample.year = yearOfDays(days);
    m_onSample(sample);
    ++m_result.samples;
    return true;
}

bool Reader::row()
{
    const Layout &l = m_layout;
    if (int(m_fields.size()) < l.needed)
        return bad(
            QStringLiteral("för få fält (%1, minst %2 behövs)").arg(m_fields.size()).arg(l.needed));
    const auto cell = [&](int c) {
        return c < 0 ? std::string_view() : trimmed(m_fields[std::size_t(c)]);
    };
    const auto cellText = [&](int c) {
        const std::string_view s = cell(c);
        return QString::fromUtf8(s.data(), qsizetype(s.size()));
    };

    const auto temperature = [&](int c, float &out) {
        double v = 0;
        switch (parseNumber(cell(c), l.decimalComma, v)) {
        case Cell::Empty:
            out = std::numeric_limits<float>::quiet_NaN();
            return true;
        case Cell::Bad:
            bad(QStringLiteral("\"%1\" är ingen temperatur").arg(cellText(c)));
            return false;
        case Cell::Number:
            break;
        }
        if (m_settings.temperatureUnit == TemperatureUnit::Fahrenheit)
            v = (v - 32.0) * 5.0 / 9.0;
        out = float(v);
        if (!isPlausibleTemp(out)) {
            bad(QStringLiteral("temperaturen %1 °C kan inte stämma").arg(v, 0, 'f', 1));
            return false;
        }
        return true;
    };

    if (l.high >= 0 || l.low >= 0) {
        std::string_view dateCell = cell(l.date);
        const std::optional<std::int64_t> days = parseDate(dateCell);
        if (!days)
            return bad(QStringLiteral("\"%1\" är inget datum").arg(cellText(l.date)));
        for (const auto &[valueColumn, timeColumn, usual] :
             {std::tuple{l.low, l.lowTime, kLowDefault},
              std::tuple{l.high, l.highTime, kHighDefault}}) {
            if (valueColumn < 0)
                continue;
            float t = 0;
            if (!temperature(valueColumn, t))
                return m_result.error.isEmpty();
            Stamp stamp{*days * kDay + usual, std::nullopt};
            if (!cell(timeColumn).empty()) {
                const std::optional<ClockTime> clock = parseClock(cell(timeColumn));
                if (!clock)
                    return bad(
                        QStringLiteral("\"%1\" är inget klockslag").arg(cellText(timeColumn)));
                stamp = Stamp{*days * kDay + clock->secondOfDay, clock->offset};
            }
            if (!deliver(stamp, t, 0))
                return false;
        }
        return true;
    }

    const std::optional<Stamp> stamp = parseStamp(cell(l.date), cell(l.time));
    if (!stamp) {
        const QString written =
            l.date >= 0 ? cellText(l.date) + QLatin1Char(' ') + cellText(l.time) : cellText(l.time);
        return bad(QStringLiteral("\"%1\" är ingen tid").arg(written));
    }
    float temp = std::numeric_limits<float>::quiet_NaN();
    if (l.temperature >= 0 && !temperature(l.temperature, temp))
        return m_result.error.isEmpty();
    std::int32_t qnh = 0;
    if (l.pressure >= 0) {
        double p = 0;
        const Cell kind = parseNumber(cell(l.pressure), l.decimalComma, p);
        if (kind == Cell::Bad)
            return bad(QStringLiteral("\"%1\" är inget lufttryck").arg(cellText(l.pressure)));
        if (kind == Cell::Number) {
            if (m_settings.pressureUnit == PressureUnit::Kilopascal)
                p *= kHpaPerKpa;
            else if (m_settings.pressureUnit == PressureUnit::InchOfMercury)
                p *= kHpaPerInHg;
            const double rounded = std::round(p);
            if (!(rounded >= kLowestPlausibleQnh && rounded <= kHighestPlausibleQnh))
                return bad(QStringLiteral("lufttrycket %1 hPa kan inte stämma").arg(p, 0, 'f', 1));
            qnh = std::int32_t(rounded);
        }
    }
    return deliver(*stamp, temp, qnh);
}

bool Reader::line(std::string_view text)
{
    ++m_lineNumber;
    if (m_lineNumber == 1 && text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    if (!text.empty() && text.back() == '\r')
        text.remove_suffix(1);
    if (trimmed(text).empty())
        return true;
    switch (m_state) {
    case State::First:
        if (text.starts_with(kStationStart)) {
            m_state = State::StationBlock;
            return true;
        }
        m_state = State::Rows;
        return header(text);
    case State::StationBlock:
        if (!text.starts_with(kStationHeader))
            return true;
        m_state = State::Rows;
        return header(text);
    case State::Rows:
        // A spreadsheet pads its export with rows of empty cells.
        if (text.find_first_not_of(std::string_view{&m_layout.separator, 1}) ==
            std::string_view::npos)
            return true;
        splitFields(text, m_layout.separator, m_fields, m_unquoted);
        return row();
    }
    return true;
}

FileRead Reader::finish()
{
    if (m_result.error.isEmpty() && m_state != State::Rows)
        m_result.error = QStringLiteral("%1: ingen rubrikrad hittades").arg(m_name);
    return m_result;
}

} // namespace

FileRead readSampleFile(const QString &path, const ReadSettings &settings, ZoneClock &zone,
                        const std::function<void(const ImportedSample &)> &onSample)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        FileRead failed;
        failed.error = QStringLiteral("Kan inte läsa %1: %2")
                           .arg(path, QFileInfo::exists(path) ? file.errorString()
                                                              : QStringLiteral("filen finns inte"));
        return failed;
    }
    Reader reader(path, settings, zone, onSample);
    std::string buffer;
    std::size_t used = 0; // bytes at the front of buffer already handed over
    for (;;) {
        buffer.erase(0, used);
        used = 0;
        const std::size_t kept = buffer.size();
        buffer.resize(kept + std::size_t(kReadBlock));
        const qint64 got = file.read(buffer.data() + kept, kReadBlock);
        if (got < 0) {
            FileRead failed;
            failed.error = QStringLiteral("Kan inte läsa %1: %2").arg(path, file.errorString());
            return failed;
        }
        buffer.resize(kept + std::size_t(got));
        const std::string_view text(buffer);
        for (;;) {
            const std::size_t end = text.find('\n', used);
            if (end == std::string_view::npos)
                break;
            if (!reader.line(text.substr(used, end - used)))
                return reader.finish();
            used = end + 1;
        }
        if (got == 0) {
            if (used < buffer.size() && !reader.line(text.substr(used)))
                return reader.finish();
            return reader.finish();
        }
    }
}

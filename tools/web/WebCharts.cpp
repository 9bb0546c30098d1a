#include "WebCharts.h"

#include "DataRow.h"
#include "DayNumber.h"
#include "Plausible.h"
#include "WebText.h"
#include "YearExport.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

constexpr QRect kPlot(52, 36, kChartWidth - 110, kChartHeight - 66);
constexpr int kSecondsPerDay = 86400;
constexpr int kBucketSeconds = 5 * 60;
const QColor kTempColor(0xc0, 0x1c, 0x28);
const QColor kLowColor(0x1c, 0x4f, 0xc0);
const QColor kQnhColor(0x9c, 0x00, 0x9e);
const QColor kGrid(0xd0, 0xd0, 0xd0);
const QColor kText(0x30, 0x30, 0x30);
const QColor kBand(0xd8, 0xd8, 0xd8);
const QColor kMean(0x60, 0x60, 0x60);

// A linear map of values onto pixel rows of the plot, with round steps.
struct Scale
{
    double low = 0, high = 1;
    double step = 1;
    double y(double v) const { return kPlot.bottom() - (v - low) / (high - low) * kPlot.height(); }
};

Scale scaleFor(double lowest, double highest, double step, double minimumSpan)
{
    if (lowest > highest) {
        lowest = 0;
        highest = minimumSpan;
    }
    Scale s;
    s.step = step;
    s.low = std::floor(lowest / step) * step;
    s.high = std::ceil(highest / step) * step;
    while (s.high - s.low < minimumSpan) {
        s.high += step;
        if (s.high - s.low < minimumSpan)
            s.low -= step;
    }
    return s;
}

class SvgChart
{
public:
    explicit SvgChart(const QString &description)
    {
        m_buffer.open(QIODevice::WriteOnly);
        m_svg.setOutputDevice(&m_buffer);
        m_svg.setSize(QSize(kChartWidth, kChartHeight));
        m_svg.setViewBox(QRect(0, 0, kChartWidth, kChartHeight));
        m_svg.setTitle(description);
        m_painter.begin(&m_svg);
        m_painter.setRenderHint(QPainter::Antialiasing);
        m_painter.fillRect(QRect(0, 0, kChartWidth, kChartHeight), Qt::white);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(17);
        m_painter.setFont(font);
    }
    QPainter &painter() { return m_painter; }
    QByteArray finish()
    {
        m_painter.end();
        return m_buffer.data();
    }

    void leftScale(const Scale &s, const QString &unit)
    {
        for (double v = s.low; v <= s.high + 1e-9; v += s.step) {
            const double y = s.y(v);
            m_painter.setPen(QPen(kGrid, 1));
            m_painter.drawLine(QPointF(kPlot.left(), y), QPointF(kPlot.right(), y));
            m_painter.setPen(kText);
            m_painter.drawText(QRectF(0, y - 11, kPlot.left() - 6, 22),
                               Qt::AlignRight | Qt::AlignVCenter, WebText::number(v, 0));
        }
        m_painter.drawText(QRectF(0, 0, kPlot.left() - 6, 20), Qt::AlignRight | Qt::AlignTop, unit);
    }

    void rightScale(const Scale &s, const QString &unit, const QColor &color)
    {
        m_painter.setPen(color);
        for (double v = s.low; v <= s.high + 1e-9; v += s.step)
            m_painter.drawText(QRectF(kPlot.right() + 6, s.y(v) - 11, 60, 22),
                               Qt::AlignLeft | Qt::AlignVCenter, WebText::number(v, 0));
        m_painter.drawText(QRectF(kPlot.right() + 6, 0, 60, 20), Qt::AlignLeft | Qt::AlignTop,
                           unit);
    }

    void bottomLabel(double x, const QString &text)
    {
        m_painter.setPen(QPen(kGrid, 1));
        m_painter.drawLine(QPointF(x, kPlot.top()), QPointF(x, kPlot.bottom()));
        m_painter.setPen(kText);
        m_painter.drawText(QRectF(x - 50, kPlot.bottom() + 4, 100, 22),
                           Qt::AlignHCenter | Qt::AlignTop, text);
    }

    void line(const std::vector<QPointF> &points, const QColor &color, qreal width,
              Qt::PenStyle style = Qt::SolidLine)
    {
        if (points.size() < 2) {
            if (points.size() == 1) {
                m_painter.setPen(Qt::NoPen);
                m_painter.setBrush(color);
                m_painter.drawEllipse(points.front(), width, width);
                m_painter.setBrush(Qt::NoBrush);
            }
            return;
        }
        m_painter.setPen(QPen(color, width, style, Qt::RoundCap, Qt::RoundJoin));
        m_painter.drawPolyline(points.data(), int(points.size()));
    }

private:
    QBuffer m_buffer;
    QSvgGenerator m_svg;
    QPainter m_painter;
};

} // namespace

QByteArray hoursChart(std::span<const TimedSample> samples, std::int64_t from, std::int64_t to,
                      const QString &description)
{
    // Five-minute means keep the picture the same size for any sampling rate.
    const std::size_t buckets =
        std::size_t(std::max<std::int64_t>(1, (to - from) / kBucketSeconds + 1));
    struct Bucket
    {
        double temp = 0, qnh = 0;
        int temps = 0, qnhs = 0;
    };
    std::vector<Bucket> sum(buckets);
    double lowT = std::numeric_limits<double>::max(), highT = -lowT, lowQ = lowT, highQ = -lowT;
    for (const TimedSample &s : samples) {
        if (s.second < from || s.second > to)
            continue;
        Bucket &b = sum[std::size_t((s.second - from) / kBucketSeconds)];
        if (isPlausibleTemp(s.temp)) {
            b.temp += s.temp;
            ++b.temps;
        }
        if (isPlausibleQnh(s.qnh)) {
            b.qnh += s.qnh;
            ++b.qnhs;
        }
    }
    for (const Bucket &b : sum) {
        if (b.temps) {
            lowT = std::min(lowT, b.temp / b.temps);
            highT = std::max(highT, b.temp / b.temps);
        }
        if (b.qnhs) {
            lowQ = std::min(lowQ, b.qnh / b.qnhs);
            highQ = std::max(highQ, b.qnh / b.qnhs);
        }
    }
    const Scale t = scaleFor(lowT, highT, 2, 6);
    const Scale q = scaleFor(lowQ, highQ, 5, 15);
    const auto x = [&](std::int64_t second) {
        return kPlot.left() +
               double(second - from) / double(std::max<std::int64_t>(1, to - from)) * kPlot.width();
    };

    SvgChart chart(description);
    chart.leftScale(t, QStringLiteral("°C"));
    chart.rightScale(q, QStringLiteral("hPa"), kQnhColor);
    constexpr int kTickSeconds = 6 * 3600;
    for (std::int64_t tick = (from + kTickSeconds - 1) / kTickSeconds * kTickSeconds; tick <= to;
         tick += kTickSeconds) {
        const int hour = int(tick % kSecondsPerDay / 3600);
        chart.bottomLabel(x(tick),
                          hour == 0 ? WebText::shortDate(std::int32_t(tick / kSecondsPerDay))
                                    : QStringLiteral("%1:00").arg(hour, 2, 10, QLatin1Char('0')));
    }
    // A line stops where no sample came for an hour: the logger was not running.
    constexpr std::size_t kGapBuckets = 3600 / kBucketSeconds;
    struct Line
    {
        std::vector<QPointF> points;
        std::size_t last = 0;
        QColor color;
        qreal width;
    };
    Line temps{{}, 0, kTempColor, 2}, qnhs{{}, 0, kQnhColor, 1.5};
    const auto add = [&](Line &line, std::size_t i, double y, double px) {
        if (!line.points.empty() && i - line.last > kGapBuckets) {
            chart.line(line.points, line.color, line.width);
            line.points.clear();
        }
        line.points.emplace_back(px, y);
        line.last = i;
    };
    for (std::size_t i = 0; i < buckets; ++i) {
        const double mid = x(from + std::int64_t(i) * kBucketSeconds + kBucketSeconds / 2);
        const double px = std::clamp(mid, double(kPlot.left()), double(kPlot.right()));
        if (sum[i].qnhs)
            add(qnhs, i, q.y(sum[i].qnh / sum[i].qnhs), px);
        if (sum[i].temps)
            add(temps, i, t.y(sum[i].temp / sum[i].temps), px);
    }
    chart.line(qnhs.points, qnhs.color, qnhs.width);
    chart.line(temps.points, temps.color, temps.width);
    return chart.finish();
}

QByteArray climateChart(const ClimateBand &band, std::span<const DaySummary> year,
                        const QString &description)
{
    double low = std::numeric_limits<double>::max(), high = -low;
    for (const CalendarBand &b : band) {
        if (b.years) {
            low = std::min<double>(low, b.lowestLow);
            high = std::max<double>(high, b.highestHigh);
        }
    }
    for (const DaySummary &d : year) {
        if (d.hasTemp()) {
            low = std::min<double>(low, d.tempLow);
            high = std::max<double>(high, d.tempHigh);
        }
    }
    const Scale t = scaleFor(low, high, 10, 20);
    const auto x = [](int index) {
        return kPlot.left() + (index + 0.5) * kPlot.width() / kCalendarDays;
    };
    const double dayWidth = double(kPlot.width()) / kCalendarDays;

    SvgChart chart(description);
    chart.leftScale(t, QStringLiteral("°C"));
    static const char *const months[] = {"jan", "feb", "mar", "apr", "maj", "jun",
                                         "jul", "aug", "sep", "okt", "nov", "dec"};
    for (int m = 1; m <= 12; ++m) {
        const int first = QDate(2000, m, 1).dayOfYear() - 1;
        chart.bottomLabel(kPlot.left() + first * dayWidth, {});
        chart.painter().drawText(QRectF(kPlot.left() + first * dayWidth, kPlot.bottom() + 4,
                                        QDate(2000, m, 1).daysInMonth() * dayWidth, 22),
                                 Qt::AlignHCenter | Qt::AlignTop, QLatin1String(months[m - 1]));
    }
    // The band is one shape per run of calendar days that have earlier years.
    QPainter &p = chart.painter();
    std::vector<QPointF> mean, top, bottom;
    const auto endRun = [&] {
        if (!top.empty()) {
            top.insert(top.end(), bottom.rbegin(), bottom.rend());
            p.setPen(Qt::NoPen);
            p.setBrush(kBand);
            p.drawPolygon(top.data(), int(top.size()));
            p.setBrush(Qt::NoBrush);
        }
        chart.line(mean, kMean, 1.5);
        mean.clear();
        top.clear();
        bottom.clear();
    };
    for (int i = 0; i < kCalendarDays; ++i) {
        const CalendarBand &b = band[std::size_t(i)];
        if (!b.years) {
            endRun();
            continue;
        }
        const double left = kPlot.left() + i * dayWidth, right = left + dayWidth;
        top.emplace_back(left, t.y(b.highestHigh));
        top.emplace_back(right, t.y(b.highestHigh));
        bottom.emplace_back(left, t.y(b.lowestLow));
        bottom.emplace_back(right, t.y(b.lowestLow));
        mean.emplace_back(x(i), t.y(b.mean()));
    }
    endRun();
    std::vector<QPointF> highs, lows;
    int previous = -2;
    for (const DaySummary &d : year) {
        if (!d.hasTemp())
            continue;
        const int i = calendarIndex(d.day);
        if (i != previous + 1) { // a gap in the year's days breaks its lines
            chart.line(highs, kTempColor, 1.5);
            chart.line(lows, kLowColor, 1.5);
            highs.clear();
            lows.clear();
        }
        previous = i;
        highs.emplace_back(x(i), t.y(d.tempHigh));
        lows.emplace_back(x(i), t.y(d.tempLow));
    }
    chart.line(highs, kTempColor, 1.5);
    chart.line(lows, kLowColor, 1.5);
    return chart.finish();
}

namespace {

// Two records a day carry a day's extremes: all the curves take from a day.
std::vector<DataRecord> extremeRecords(const YearSummary &summary)
{
    std::vector<DataRecord> records;
    records.reserve(summary.days.size() * 2);
    for (const DaySummary &d : summary.days) {
        if (!d.hasTemp() && !d.hasQnh())
            continue;
        const float nan = std::numeric_limits<float>::quiet_NaN();
        records.push_back({d.day, 0, d.hasQnh() ? d.qnhHigh : 0, d.hasTemp() ? d.tempHigh : nan});
        records.push_back({d.day, 0, d.hasQnh() ? d.qnhLow : 0, d.hasTemp() ? d.tempLow : nan});
    }
    return records;
}

// The heading shows the last record's QNH; a damaged one reads as none.
DataRecord headingRecord(const YearSummary &summary)
{
    DataRecord last = summary.lastRecord;
    if (!isPlausibleQnh(last.qnh))
        last.qnh = 0;
    return last;
}

} // namespace

QImage yearChartImage(const YearSummary &summary)
{
    const std::vector<DataRecord> records = extremeRecords(summary);
    const std::int32_t start = std::int32_t(DayNumber::fromDate(QDate(summary.year, 1, 1)));
    const ChartData data{pressureCurve(records, start), temperatureCurve(records, start),
                         headingRecord(summary)};
    return yearChart(data, QString::number(summary.year), ChartView::Both, kYearChartScale);
}

std::uint64_t yearChartKey(const YearSummary &summary)
{
    const std::vector<DataRecord> records = extremeRecords(summary);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(QByteArrayView(reinterpret_cast<const char *>(records.data()),
                                qsizetype(records.size() * sizeof(DataRecord))));
    hash.addData(lastQnhCaption(headingRecord(summary)).toUtf8());
    hash.addData(QByteArray::number(summary.year));
    std::uint64_t key = 0;
    std::memcpy(&key, hash.result().constData(), sizeof key);
    return key | 1; // 0 stays "nothing drawn yet"
}

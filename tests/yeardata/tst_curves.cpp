#include "Curves.h"

#include <QStringList>
#include <QTest>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

using Records = std::vector<DataRecord>;
using Segments = std::vector<Segment>;
using Floats = std::vector<float>;
using Series = std::vector<std::int32_t>;
Q_DECLARE_METATYPE(Records)
Q_DECLARE_METATYPE(Segments)
Q_DECLARE_METATYPE(Floats)
Q_DECLARE_METATYPE(Series)

namespace {

constexpr std::int32_t kStart2004 = 37987; // 2004-01-01
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr float Inf = std::numeric_limits<float>::infinity();
constexpr float FltMax = std::numeric_limits<float>::max();
constexpr std::uint32_t Blue = CurveColor::Blue, Red = CurveColor::Red;
constexpr std::uint32_t Purple = CurveColor::Purple, Green = CurveColor::DarkGreen;

// Day x of 2004 with these temperatures (QNH 1013).
Records temps(std::int32_t x, const Floats &values, std::int32_t start = kStart2004)
{
    Records out;
    for (float t : values)
        out.push_back({start + x, 0.5f, 1013, t});
    return out;
}

// Day x of 2004 with these pressures (temperature 5.0).
Records qnh(std::int32_t x, const Series &values, std::int32_t start = kStart2004)
{
    Records out;
    for (std::int32_t p : values)
        out.push_back({start + x, 0.5f, p, 5.0f});
    return out;
}

Records operator+(Records a, const Records &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Segment bar(float x, float y1, float y2, std::uint32_t rgb)
{
    return {x, y1, x, y2, rgb};
}

// As text, so that a failure shows every line.
QStringList text(const Segments &segments)
{
    QStringList out;
    for (const Segment &s : segments)
        out << QStringLiteral("(%1,%2)-(%3,%4) #%5")
                   .arg(s.x1)
                   .arg(s.y1)
                   .arg(s.x2)
                   .arg(s.y2)
                   .arg(s.rgb, 6, 16, QLatin1Char('0'));
    return out;
}

Floats descending(Floats values)
{
    std::ranges::sort(values, std::greater<>());
    return values;
}

// A long day whose extremes lie away from its ends.
Floats manySamples(int n)
{
    Floats out(n, 1.5f);
    out[n / 3] = -6.5f;
    out[n / 2] = 9.5f;
    return out;
}

} // namespace

class TestCurves : public QObject
{
    Q_OBJECT

private slots:
    void temperatureBars_data()
    {
        QTest::addColumn<Records>("records");
        QTest::addColumn<std::int32_t>("yearStart");
        QTest::addColumn<Segments>("bars");
        QTest::addColumn<Floats>("lastDay");

        const std::int32_t s = kStart2004;
        QTest::newRow("above zero")
            << temps(5, {1.4f, 2.6f}) << s << Segments{bar(5, 39, 37, Red)} << Floats{2.6f, 1.4f};
        QTest::newRow("crossing zero, 43.5 to even")
            << temps(5, {-3.5f, 2.0f}) << s << Segments{bar(5, 44, 40, Blue), bar(5, 40, 38, Red)}
            << Floats{2.0f, -3.5f};
        QTest::newRow("rounds onto the zero line")
            << temps(5, {-0.4f, -0.2f}) << s << Segments{bar(5, 40, 40, Red)}
            << Floats{-0.2f, -0.4f};
        QTest::newRow("single reading below zero")
            << temps(5, {-5.0f}) << s << Segments{bar(5, 45, 45, Blue)} << Floats{-5.0f};
        QTest::newRow("halves to even")
            << temps(5, {2.5f, 3.5f}) << s << Segments{bar(5, 38, 36, Red)} << Floats{3.5f, 2.5f};
        QTest::newRow("-0.5 and 0.5 to even 40")
            << temps(5, {-0.5f, 0.5f}) << s << Segments{bar(5, 40, 40, Red)} << Floats{0.5f, -0.5f};
        QTest::newRow("3.0 then 0.0")
            << temps(5, {3.0f, 0.0f}) << s << Segments{bar(5, 40, 37, Red)} << Floats{3.0f, 0.0f};
        QTest::newRow("not-a-number skipped")
            << temps(5, {NaN, 1.0f, Inf, -1.4f, -Inf}) << s
            << Segments{bar(5, 41, 40, Blue), bar(5, 40, 39, Red)} << Floats{1.0f, -1.4f};
        QTest::newRow("day without a reading has no bar")
            << temps(5, {NaN, Inf}) + temps(6, {4.0f}) + temps(7, {NaN}) << s
            << Segments{bar(6, 36, 36, Red)} << Floats{};
        QTest::newRow("-2.0 then 0.0, and the days after")
            << temps(5, {-2.0f, 0.0f}) + temps(6, {1.0f}) << s
            << Segments{bar(5, 42, 40, Blue), bar(6, 39, 39, Red)} << Floats{1.0f};
        QTest::newRow("one date in two runs")
            << temps(5, {1.0f}) + temps(6, {2.0f}) + temps(5, {3.0f}) << s
            << Segments{bar(5, 39, 39, Red), bar(6, 38, 38, Red), bar(5, 37, 37, Red)}
            << Floats{3.0f};
        QTest::newRow("1 January, 1 March, leap 31 December")
            << temps(0, {1.0f}) + temps(60, {1.0f}) + temps(365, {1.0f}) << s
            << Segments{bar(0, 39, 39, Red), bar(60, 39, 39, Red), bar(365, 39, 39, Red)}
            << Floats{1.0f};
        for (int n : {48, 1440})
            QTest::newRow(qPrintable(QStringLiteral("%1 samples").arg(n)))
                << temps(4, {1.0f}) + temps(5, manySamples(n)) << s
                << Segments{bar(4, 39, 39, Red), bar(5, 46, 40, Blue), bar(5, 40, 30, Red)}
                << descending(manySamples(n));
        QTest::newRow("empty") << Records{} << s << Segments{} << Floats{};
        QTest::newRow("int32 limits") << temps(0, {1.0f}, kMin) + temps(0, {1.0f}, kMax) << kMax
                                      << Segments{bar(0, 39, 39, Red)} << Floats{1.0f};
        // The area is x 0..365, y 0..80 with a margin of 10.
        QTest::newRow("wholly outside the diagram left out")
            << temps(-11, {1.0f}) + temps(376, {1.0f}) + temps(5, {60.0f}) + temps(6, {-60.0f}) +
                   temps(-10, {49.5f}) + temps(7, {-65.0f, 65.0f})
            << s << Segments{bar(-10, -10, -10, Red), bar(7, 105, 40, Blue), bar(7, 40, -25, Red)}
            << Floats{65.0f, -65.0f};
        QTest::newRow("float limits")
            << temps(5, {-FltMax, FltMax}) << s
            << Segments{bar(5, FltMax, 40, Blue), bar(5, 40, -FltMax, Red)}
            << Floats{FltMax, -FltMax};
    }

    void temperatureBars()
    {
        QFETCH(Records, records);
        QFETCH(std::int32_t, yearStart);
        QFETCH(Segments, bars);
        QFETCH(Floats, lastDay);

        const TemperatureCurve curve = temperatureCurve(records, yearStart);
        QCOMPARE(text(curve.segments), text(bars));
        QCOMPARE(curve.lastDayValues, lastDay);
    }

    void pressurePolylines_data()
    {
        QTest::addColumn<Records>("records");
        QTest::addColumn<Segments>("lines");
        QTest::addColumn<Series>("series");
        QTest::addColumn<Floats>("lastDay");

        const auto line = [](float x1, float y1, float x2, float y2, std::uint32_t rgb) {
            return Segment{x1, y1, x2, y2, rgb};
        };
        const std::int32_t s = kStart2004;

        QTest::newRow("two days") << qnh(1, {1010, 1015, 1012}) + qnh(2, {1020})
                                  << Segments{line(1, 38, 2, 33, Purple), line(1, 43, 2, 33, Green)}
                                  << Series{s + 1, 1010, s + 2, 1020} << Floats{1020};
        QTest::newRow("0 first, inside and last")
            << qnh(1, {0, 1010, 0, 1012, 0}) + qnh(2, {0, 1020, 0})
            << Segments{line(1, 41, 2, 33, Purple), line(1, 43, 2, 33, Green)}
            << Series{s + 1, 1010, s + 2, 1020} << Floats{1020};
        QTest::newRow("day without a reading is passed over")
            << qnh(1, {1000}) + qnh(2, {0, 0}) + qnh(3, {1020}) + qnh(4, {0})
            << Segments{line(1, 53, 3, 33, Purple), line(1, 53, 3, 33, Green)}
            << Series{s + 1, 1000, s + 3, 1020} << Floats{};
        QTest::newRow("single day")
            << qnh(1, {1010, 1012}) << Segments{} << Series{s + 1, 1010} << Floats{1012, 1010};
        QTest::newRow("empty") << Records{} << Segments{} << Series{} << Floats{};
        QTest::newRow("wholly outside the diagram left out")
            << qnh(1, {1100}) + qnh(2, {1100, 1010}) << Segments{line(1, -47, 2, 43, Green)}
            << Series{s + 1, 1100, s + 2, 1010} << Floats{1100, 1010};
        QTest::newRow("one date in two runs")
            << qnh(1, {1000}) + qnh(2, {1010}) + qnh(1, {1020})
            << Segments{line(1, 53, 2, 43, Purple), line(2, 43, 1, 33, Purple),
                        line(1, 53, 2, 43, Green), line(2, 43, 1, 33, Green)}
            << Series{s + 1, 1000, s + 2, 1010, s + 1, 1020} << Floats{1020};

        for (int perDay : {48, 1440}) {
            Series day(perDay, 1010);
            day[perDay / 2] = 1030;
            day[perDay / 3] = 990;
            day[perDay - 1] = 0;
            QTest::newRow(qPrintable(QStringLiteral("%1 samples a day").arg(perDay)))
                << qnh(1, day) + qnh(2, day) + qnh(3, day)
                << Segments{line(1, 23, 2, 23, Purple), line(2, 23, 3, 23, Purple),
                            line(1, 63, 2, 63, Green), line(2, 63, 3, 63, Green)}
                << Series{s + 1, 990, s + 2, 990, s + 3, 990}
                << descending(Floats(day.begin(), day.end() - 1));
        }

        const float xMin = float(std::int64_t(kMin) - s), xMax = float(std::int64_t(kMax) - s);
        // Lines from the far vertices run through the day inside the diagram, so they stay.
        QTest::newRow("int32 limits")
            << qnh(0, {kMin, kMax}, kMin) + qnh(5, {1013}) + qnh(0, {kMax}, kMax)
            << Segments{line(xMin, float(1053.0 - kMax), 5, 40, Purple),
                        line(5, 40, xMax, float(1053.0 - kMax), Purple),
                        line(xMin, float(1053.0 - kMin), 5, 40, Green),
                        line(5, 40, xMax, float(1053.0 - kMax), Green)}
            << Series{kMin, kMin, s + 5, 1013, kMax, kMax} << Floats{float(kMax)};
        QTest::newRow("passes by a corner") << qnh(-100, {1003}) + qnh(50, {853}) << Segments{}
                                            << Series{s - 100, 1003, s + 50, 853} << Floats{853};
    }

    void pressurePolylines()
    {
        QFETCH(Records, records);
        QFETCH(Segments, lines);
        QFETCH(Series, series);
        QFETCH(Floats, lastDay);

        const PressureCurve curve = pressureCurve(records, kStart2004);
        QCOMPARE(text(curve.segments), text(lines));
        QCOMPARE(curve.series, series);
        QCOMPARE(curve.lastDayValues, lastDay);
    }
};

QTEST_APPLESS_MAIN(TestCurves)
#include "tst_curves.moc"

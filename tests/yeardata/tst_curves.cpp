#include "Curves.h"

#include <QTest>

#include <limits>

using Records = std::vector<DataRecord>;
Q_DECLARE_METATYPE(Records)

namespace {

constexpr std::int32_t s = 37987; // 2004-01-01
using F = std::numeric_limits<float>;
using I = std::numeric_limits<std::int32_t>;
constexpr float NaN = F::quiet_NaN(), Inf = F::infinity();

// Records on day x after start: temperatures at QNH 1013, then pressures at 5.0 C.
Records on(std::int32_t x, const std::vector<float> &temps,
           const std::vector<std::int32_t> &qnhs = {}, std::int32_t start = s)
{
    Records out;
    for (float t : temps)
        out.push_back({start + x, 0.5f, 1013, t});
    for (std::int32_t p : qnhs)
        out.push_back({start + x, 0.5f, p, 5.0f});
    return out;
}
Records operator+(Records a, const Records &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// "(x1,y1)-(x2,y2)#rgb ... | last day's values [| series]"
template <typename... Lists>
QString text(const std::vector<Segment> &segments, const Lists &...lists)
{
    QStringList out;
    for (const Segment &g : segments)
        out << QString::asprintf("(%g,%g)-(%g,%g)#%06x", g.x1, g.y1, g.x2, g.y2, g.rgb);
    const auto append = [&](const auto &values) {
        out << "|";
        for (auto v : values)
            out << QString::number(v);
    };
    (append(lists), ...);
    return out.join(' ');
}

} // namespace

class TestCurves : public QObject
{
    Q_OBJECT

private slots:
    void curves_data()
    {
        QTest::addColumn<Records>("records");
        QTest::addColumn<QString>("curve"); // a pressure curve's text has its series too
        const auto row = [](const char *name, const Records &r, const char *curve) {
            QTest::newRow(name) << r << QString(curve);
        };
        row("empty", {}, "|");
        row("halves to even, the rounded value sets the colour",
            on(5, {2.5f, 3.5f}) + on(6, {-0.5f, 0.5f}),
            "(5,38)-(5,36)#ff0000 (6,40)-(6,40)#ff0000 | 0.5 -0.5");
        row("0.0 at either end", on(5, {-2.0f, 0.0f}) + on(6, {3.0f, 0.0f}),
            "(5,42)-(5,40)#0000ff (6,40)-(6,37)#ff0000 | 3 0");
        row("NaN and infinities skipped", on(4, {NaN, Inf}) + on(5, {NaN, 1, Inf, -1.4f, -Inf}),
            "(5,41)-(5,40)#0000ff (5,40)-(5,39)#ff0000 | 1 -1.4");
        row("a day too long to keep keeps its extremes",
            on(5, std::vector<float>(kMaxKeptDayValues, 2.0f)) + on(5, {-1, 3}),
            "(5,41)-(5,40)#0000ff (5,40)-(5,37)#ff0000 | 3 -1");
        row("one date in two runs", on(5, {1}) + on(6, {2}) + on(5, {3}),
            "(5,39)-(5,39)#ff0000 (6,38)-(6,38)#ff0000 (5,37)-(5,37)#ff0000 | 3");
        // The area is x 0..365, y 0..80 with a margin of 10.
        row("outside the diagram left out, float limits kept",
            on(-11, {1}) + on(376, {1}) + on(5, {60}) + on(6, {-60}) + on(-10, {49.5f}) +
                on(7, {-65, 65}) + on(8, {-F::max(), F::max()}),
            "(-10,-10)-(-10,-10)#ff0000 (7,105)-(7,40)#0000ff (7,40)-(7,-25)#ff0000 "
            "(8,3.40282e+38)-(8,40)#0000ff (8,40)-(8,-3.40282e+38)#ff0000 | 3.40282e+38 "
            "-3.40282e+38");
        row("0 is no reading", on(1, {}, {0, 1010, 0, 1012, 0}) + on(2, {}, {0, 1020, 0, 1025}),
            "(1,41)-(2,28)#9c009e (1,43)-(2,33)#007400 | 1025 1020 | 37988 1010 37989 1020");
        row("day without a reading passed over",
            on(1, {}, {1000}) + on(2, {}, {0, 0}) + on(3, {}, {1030, 990, 1020}) + on(4, {}, {0}),
            "(1,53)-(3,23)#9c009e (1,53)-(3,63)#007400 | | 37988 1000 37990 990");
        row("passes by a corner", on(-100, {}, {1003}) + on(50, {}, {853}),
            "| 853 | 37887 1003 38037 853");
        row("int32 limits, far lines through the diagram kept",
            on(0, {}, {I::min(), I::max()}, I::min()) + on(5, {}, {1013}) +
                on(0, {}, {I::max()}, I::max()),
            "(-2.14752e+09,-2.14748e+09)-(5,40)#9c009e (5,40)-(2.14745e+09,-2.14748e+09)#9c009e "
            "(-2.14752e+09,2.14748e+09)-(5,40)#007400 (5,40)-(2.14745e+09,-2.14748e+09)#007400 | "
            "2.14748e+09 | -2147483648 -2147483648 37992 1013 2147483647 2147483647");
    }
    void curves()
    {
        QFETCH(Records, records);
        QFETCH(QString, curve);
        const auto [t, p] = std::pair(temperatureCurve(records, s), pressureCurve(records, s));
        const auto asText = [&](const TemperatureCurve &t, const PressureCurve &p) {
            return curve.count('|') == 2 ? text(p.segments, p.lastDayValues, p.series)
                                         : text(t.segments, t.lastDayValues);
        };
        QCOMPARE(asText(t, p), curve);
        // Read a record at a time, as from a file, every day is split between blocks.
        TemperatureCurveBuilder temperature(s);
        PressureCurveBuilder pressure(s);
        for (const DataRecord &r : records) {
            temperature.add({&r, 1});
            pressure.add({&r, 1});
        }
        QCOMPARE(asText(temperature.finish(), pressure.finish()), curve);
    }
};

QTEST_APPLESS_MAIN(TestCurves)
#include "tst_curves.moc"

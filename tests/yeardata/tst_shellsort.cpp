#include "ShellSort.h"

#include <QRandomGenerator>
#include <QStringList>
#include <QTest>

#include <algorithm>
#include <functional>
#include <limits>
#include <vector>

using Floats = std::vector<float>;
Q_DECLARE_METATYPE(Floats)

namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

// As text, so that a NaN equals a NaN and a failure shows the whole array.
QStringList text(const Floats &values)
{
    QStringList out;
    for (float v : values)
        out << QString::number(v);
    return out;
}

} // namespace

class TestShellSort : public QObject
{
    Q_OBJECT

private slots:
    void sortsDescending_data();
    void sortsDescending();
    void agreesWithStdSort();
};

void TestShellSort::sortsDescending_data()
{
    QTest::addColumn<Floats>("input");
    QTest::addColumn<Floats>("expected");

    QTest::newRow("1 3 2") << Floats{1, 3, 2} << Floats{3, 2, 1};
    QTest::newRow("single element") << Floats{-7.5f} << Floats{-7.5f};
    QTest::newRow("empty") << Floats{} << Floats{};
    // 0 is an ordinary value: never replaced, never an error.
    QTest::newRow("5 0 0") << Floats{5, 0, 0} << Floats{5, 0, 0};
    QTest::newRow("0 -2") << Floats{0, -2} << Floats{0, -2};
    QTest::newRow("-2 0") << Floats{-2, 0} << Floats{0, -2};
    QTest::newRow("3 0") << Floats{3, 0} << Floats{3, 0};
    QTest::newRow("0 5") << Floats{0, 5} << Floats{5, 0};
    QTest::newRow("all zeros") << Floats{0, 0, 0, 0} << Floats{0, 0, 0, 0};
    QTest::newRow("zeros among negatives") << Floats{-3, 0, -1, 0, -2} << Floats{0, 0, -1, -2, -3};
    // A NaN compares as less-or-equal both ways, so it moves whichever side it is on.
    QTest::newRow("NaN then 1") << Floats{NaN, 1} << Floats{1, NaN};
    QTest::newRow("1 then NaN") << Floats{1, NaN} << Floats{NaN, 1};
    // 31 values use the gaps 13, 4, 1; 365 use 364 down to 1.
    Floats ascending31(31), descending31(31);
    for (int i = 0; i < 31; ++i) {
        ascending31[i] = float(i);
        descending31[30 - i] = float(i);
    }
    QTest::newRow("31 ascending") << ascending31 << descending31;
    Floats ascending365(365), descending365(365);
    for (int i = 0; i < 365; ++i) {
        ascending365[i] = float(i % 7) - 3;
        descending365[i] = float(i % 7) - 3;
    }
    std::ranges::sort(descending365, std::greater<>());
    QTest::newRow("365 repeating") << ascending365 << descending365;
}

void TestShellSort::sortsDescending()
{
    QFETCH(Floats, input);
    QFETCH(Floats, expected);
    shellSortArray(input);
    QCOMPARE(text(input), text(expected));
}

void TestShellSort::agreesWithStdSort()
{
    QRandomGenerator random(20040101);
    for (int round = 0; round < 300; ++round) {
        const int n = random.bounded(1, 2001);
        // Half the rounds draw from few values, so that equal values and zeros are common.
        const bool fewValues = round % 2 == 0;
        Floats values(n);
        for (float &v : values)
            v = fewValues ? float(random.bounded(-3, 4)) : float(random.bounded(-400.0) + 200.0);
        Floats expected = values;
        std::ranges::sort(expected, std::greater<>());
        shellSortArray(values);
        if (values != expected)
            QFAIL(qPrintable(QStringLiteral("round %1, %2 values").arg(round).arg(n)));
    }
}

QTEST_APPLESS_MAIN(TestShellSort)
#include "tst_shellsort.moc"

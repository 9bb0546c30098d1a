#include "DutyCycleMeter.h"
#include "SensorReader.h"
#include "SimulatedSmt160.h"

#include <QTest>

#include <cmath>

using namespace smt160;

Q_DECLARE_METATYPE(SimulatedSignal)
Q_DECLARE_METATYPE(smt160::MeterOutcome)

namespace {

constexpr double dutyCycleAt(double celsius)
{
    return 0.320 + 0.00470 * celsius;
}

// Frequencies are no whole number of reads per period, or nothing would average.
constexpr SimulatedSignal kConditions[] = {
    {.frequencyHz = 3900.0, .readNs = 700, .readJitterNs = 900},
    {.frequencyHz = 1700.0, .readJitterNs = 400, .shortPauses = {1'300'000, 40'000, 40'000}},
    // Pauses that swallow edges, or a whole pulse, must not bias the mean.
    {.frequencyHz = 2050.0, .readJitterNs = 200, .shortPauses = {2'100'000, 300'000, 300'000}},
    {.frequencyHz = 3950.0, .readJitterNs = 200, .shortPauses = {300'000, 45'000, 50'000}},
};

} // namespace

class TestDutyCycleMeter : public QObject
{
    Q_OBJECT

private slots:
    void measures_data()
    {
        QTest::addColumn<SimulatedSignal>("signal");
        QTest::addColumn<MeterOutcome>("outcome");
        QTest::addColumn<double>("celsius"); // of a valid outcome

        unsigned seed = 1;
        for (const double t : {-40.0, -0.3, 21.3, 125.0}) {
            for (SimulatedSignal signal : kConditions) {
                signal.dutyCycle = dutyCycleAt(t);
                signal.seed = seed++;
                QTest::addRow("%+.1f C at %.0f Hz", t, signal.frequencyHz)
                    << signal << MeterOutcome::Valid << t;
            }
        }
        const auto fails = [](const char *name, SimulatedSignal signal, MeterOutcome outcome) {
            QTest::newRow(name) << signal << outcome << 0.0;
        };
        fails("stuck high", {.dutyCycle = 1.0}, MeterOutcome::NoEdgeHigh);
        fails("stuck low", {.dutyCycle = 0.0}, MeterOutcome::NoEdgeLow);
        // "No signal" is still decided quickly, whatever the pauses reset: also
        // with long pauses more often than here, so that some come before the decision.
        const Pauses often{.everyNs = 8'000'000, .minNs = 2'000'000, .maxNs = 5'000'000};
        for (unsigned seed = 1; seed <= 20; ++seed) {
            for (const Pauses &longPauses : {kMachineLongPauses, often}) {
                for (const bool high : {true, false}) {
                    QTest::addRow("stuck %s, pauses every %d ms, seed %u", high ? "high" : "low",
                                  int(longPauses.everyNs / 1'000'000), seed)
                        << SimulatedSignal{.dutyCycle = high ? 1.0 : 0.0,
                                           .readJitterNs = 500,
                                           .shortPauses = kMachineShortPauses,
                                           .longPauses = longPauses,
                                           .seed = seed}
                        << (high ? MeterOutcome::NoEdgeHigh : MeterOutcome::NoEdgeLow) << 0.0;
                }
            }
        }
        // Every third period 25 % longer than the others (the median) is still
        // averaged in; a little more is left out. Reads 1 us apart time them exactly.
        QTest::newRow("periods 25 % long, at the tolerance")
            << SimulatedSignal{.longEvery = 3, .longPeriod = 1.25} << MeterOutcome::Valid
            << (1.5 / 3.25 - 0.320) / 0.00470;
        QTest::newRow("periods 25.2 % long, beyond it")
            << SimulatedSignal{.longEvery = 3, .longPeriod = 1.252} << MeterOutcome::Valid
            << (0.5 - 0.320) / 0.00470;
        fails("300 Hz", {.frequencyHz = 300.0}, MeterOutcome::FrequencyOutOfRange);
        fails("10 kHz", {.frequencyHz = 10'000.0}, MeterOutcome::FrequencyOutOfRange);
        fails("duty 0.05", {.dutyCycle = 0.05}, MeterOutcome::DutyCycleOutOfRange);
        fails("duty 0.96", {.dutyCycle = 0.96}, MeterOutcome::DutyCycleOutOfRange);
        fails("long pause in every period", {.shortPauses = {400'000, 150'000, 150'000}},
              MeterOutcome::TooFewPeriods);
        fails("read fails", {.failAfterNs = 5'000'000}, MeterOutcome::ReadFailed);
    }

    void measures()
    {
        QFETCH(SimulatedSignal, signal);
        QFETCH(MeterOutcome, outcome);
        QFETCH(double, celsius);
        const MeterSettings settings;
        SimulatedSmt160 sensor(signal);

        const Measurement m = DutyCycleMeter(settings).measure(sensor);
        const Reading reading = readingFrom(m);

        QCOMPARE(m.outcome, outcome);
        QCOMPARE(reading.reason.empty(), m.valid());
        // A line without edges is given up within the edge timeout, not the window.
        const bool noEdge =
            outcome == MeterOutcome::NoEdgeHigh || outcome == MeterOutcome::NoEdgeLow;
        const std::int64_t limit = noEdge ? 2 * settings.edgeTimeoutNs : settings.windowNs;
        const std::int64_t slack = 2 * (signal.readNs + signal.readJitterNs +
                                        signal.shortPauses.maxNs + signal.longPauses.maxNs);
        QVERIFY(sensor.elapsedNs() <= limit + slack);
        QCOMPARE(std::isnan(reading.celsius), !m.valid());
        QVERIFY2(!m.valid() || std::abs(reading.celsius - celsius) < 0.1,
                 qPrintable(QString::number(reading.celsius)));
        QVERIFY(!m.valid() || sensor.elapsedNs() >= limit); // whole periods over the full window
    }

    void readsThroughPauses_data()
    {
        QTest::addColumn<double>("frequencyHz");
        for (const double hz : {1000.0, 1500.0, 2000.0, 3000.0, 4000.0})
            QTest::addRow("%.0f Hz", hz) << hz;
    }

    // The pauses of this machine class: at least 19 of 20 readings within 0.2 C.
    void readsThroughPauses()
    {
        QFETCH(double, frequencyHz);
        const double temperatures[] = {-44.0, -12.7, 0.0, 21.3, 58.6, 129.0};
        constexpr int kRuns = 20;
        int good = 0;
        QString misses;
        for (int run = 0; run < kRuns; ++run) {
            const double t = temperatures[run % std::size(temperatures)];
            SimulatedSmt160 sensor({.dutyCycle = dutyCycleAt(t),
                                    .frequencyHz = frequencyHz * (1.0 + 0.0037 * run),
                                    .readJitterNs = 500,
                                    .shortPauses = kMachineShortPauses,
                                    .longPauses = kMachineLongPauses,
                                    .seed = unsigned(100 + run)});
            const Reading reading = readingFrom(DutyCycleMeter().measure(sensor));
            if (std::abs(reading.celsius - t) <= 0.2)
                ++good;
            else
                misses += QStringLiteral(" %1 C: %2").arg(t).arg(reading.celsius);
        }
        QVERIFY2(good >= kRuns - 1, qPrintable(QString::number(good) + misses));
    }
};

QTEST_GUILESS_MAIN(TestDutyCycleMeter)
#include "tst_dutycyclemeter.moc"

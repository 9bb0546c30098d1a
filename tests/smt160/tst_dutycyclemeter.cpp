#include "DutyCycleMeter.h"
#include "SensorReader.h"
#include "SimulatedSmt160.h"

#include <QTest>

#include <cmath>

using namespace smt160;

Q_DECLARE_METATYPE(SimulatedSignal)
Q_DECLARE_METATYPE(smt160::MeterOutcome)

class TestDutyCycleMeter : public QObject
{
    Q_OBJECT

private slots:
    void measures_data();
    void measures();
};

void TestDutyCycleMeter::measures_data()
{
    QTest::addColumn<SimulatedSignal>("signal");
    QTest::addColumn<MeterOutcome>("outcome");
    QTest::addColumn<double>("celsius"); // of a valid outcome

    // Frequencies are no whole number of reads per period, or nothing would average.
    const SimulatedSignal conditions[] = {
        {.frequencyHz = 3900.0, .readNs = 700, .readJitterNs = 900},
        {.frequencyHz = 1700.0, .readJitterNs = 400, .gapEveryNs = 1'300'000, .gapNs = 40'000},
        // Gaps that swallow edges bias any period they are kept in.
        {.frequencyHz = 2050.0, .readJitterNs = 200, .gapEveryNs = 2'100'000, .gapNs = 300'000},
    };
    unsigned seed = 1;
    for (const double t : {-40.0, -0.3, 21.3, 40.0}) {
        for (SimulatedSignal signal : conditions) {
            signal.dutyCycle = 0.320 + 0.00470 * t;
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
    fails("300 Hz", {.frequencyHz = 300.0}, MeterOutcome::FrequencyOutOfRange);
    fails("10 kHz", {.frequencyHz = 10'000.0}, MeterOutcome::FrequencyOutOfRange);
    fails("duty 0.05", {.dutyCycle = 0.05}, MeterOutcome::DutyCycleOutOfRange);
    fails("duty 0.96", {.dutyCycle = 0.96}, MeterOutcome::DutyCycleOutOfRange);
    fails("gap each period", {.gapEveryNs = 400'000, .gapNs = 20'000}, MeterOutcome::TooFewPeriods);
    fails("read fails", {.failAfterNs = 5'000'000}, MeterOutcome::ReadFailed);
}

void TestDutyCycleMeter::measures()
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
    const bool noEdge = outcome == MeterOutcome::NoEdgeHigh || outcome == MeterOutcome::NoEdgeLow;
    const std::int64_t limit = noEdge ? 2 * settings.edgeTimeoutNs : settings.windowNs;
    QVERIFY(sensor.elapsedNs() <= limit + 2 * (signal.readNs + signal.readJitterNs + signal.gapNs));
    QCOMPARE(std::isnan(reading.celsius), !m.valid());
    QVERIFY2(!m.valid() || std::abs(reading.celsius - celsius) < 0.1,
             qPrintable(QString::number(reading.celsius)));
    QVERIFY(!m.valid() || sensor.elapsedNs() >= limit); // whole periods over the full window
}

QTEST_GUILESS_MAIN(TestDutyCycleMeter)
#include "tst_dutycyclemeter.moc"

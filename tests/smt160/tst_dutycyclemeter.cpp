#include "DutyCycleMeter.h"
#include "SensorFormula.h"
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
    void decodesTemperature_data();
    void decodesTemperature();
    void rejectsNoSignal_data();
    void rejectsNoSignal();
    void stopsOnReadFailure();
};

void TestDutyCycleMeter::decodesTemperature_data()
{
    QTest::addColumn<double>("celsius");
    QTest::addColumn<SimulatedSignal>("signal");

    struct Condition
    {
        const char *name;
        SimulatedSignal signal;
    };
    const Condition conditions[] = {
        // Not a whole number of reads per period: with a fixed ratio every edge
        // would fall at the same point between two reads and nothing averages.
        {"clean 1.13 kHz", {.frequencyHz = 1130.0}},
        {"4 kHz, uneven reads", {.frequencyHz = 4000.0, .readNs = 700, .readJitterNs = 900}},
        {"2.5 kHz, period jitter", {.frequencyHz = 2500.0, .periodJitter = 0.05}},
        // Short gaps now and then: only the periods they break are lost.
        {"1.7 kHz, short gaps",
         {.frequencyHz = 1700.0, .readJitterNs = 400, .gapEveryNs = 1'300'000, .gapNs = 40'000}},
        // Gaps long enough to swallow edges bias any period they are kept in.
        {"2.05 kHz, edges lost in gaps",
         {.frequencyHz = 2050.0, .readJitterNs = 200, .gapEveryNs = 2'100'000, .gapNs = 300'000}},
    };
    const double temperatures[] = {-40.0, -27.5, -10.0, -0.3, 0.0, 12.6, 21.3, 33.3, 40.0};
    unsigned seed = 1;
    for (const double t : temperatures) {
        for (const Condition &c : conditions) {
            SimulatedSignal signal = c.signal;
            signal.dutyCycle = dutyCycleFromTemperature(t);
            signal.seed = seed++;
            QTest::addRow("%+.1f C, %s", t, c.name) << t << signal;
        }
    }
}

void TestDutyCycleMeter::decodesTemperature()
{
    QFETCH(double, celsius);
    QFETCH(SimulatedSignal, signal);
    const MeterSettings settings;
    SimulatedSmt160 sensor(signal);

    const Measurement m = DutyCycleMeter(settings).measure(sensor);
    const Reading reading = readingFrom(m);

    QCOMPARE(m.outcome, MeterOutcome::Valid);
    QVERIFY2(std::abs(reading.celsius - celsius) < 0.1,
             qPrintable(QString::number(reading.celsius, 'f', 3)));
    QVERIFY(reading.reason.empty());
    // Whole periods over the window, and not a read longer.
    const std::int64_t elapsed = sensor.nowNs() - sensor.startNs();
    const std::int64_t longestRead = signal.readNs + signal.readJitterNs + signal.gapNs;
    QVERIFY(elapsed >= settings.windowNs);
    QVERIFY(elapsed <= settings.windowNs + 2 * longestRead);
    QVERIFY(std::abs(m.frequencyHz - signal.frequencyHz) < signal.frequencyHz * 0.01);
}

void TestDutyCycleMeter::rejectsNoSignal_data()
{
    QTest::addColumn<SimulatedSignal>("signal");
    QTest::addColumn<MeterOutcome>("outcome");
    QTest::addColumn<bool>("atOnce"); // within the edge timeout, not the window

    using Stuck = SimulatedSignal::Stuck;
    QTest::newRow("stuck high") << SimulatedSignal{.stuck = Stuck::High} << MeterOutcome::NoEdgeHigh
                                << true;
    QTest::newRow("stuck low") << SimulatedSignal{.stuck = Stuck::Low} << MeterOutcome::NoEdgeLow
                               << true;
    QTest::newRow("150 Hz, long low half")
        << SimulatedSignal{.dutyCycle = 0.2, .frequencyHz = 150.0} << MeterOutcome::NoEdgeLow
        << true;
    QTest::newRow("300 Hz") << SimulatedSignal{.frequencyHz = 300.0}
                            << MeterOutcome::FrequencyOutOfRange << false;
    QTest::newRow("10 kHz") << SimulatedSignal{.frequencyHz = 10'000.0}
                            << MeterOutcome::FrequencyOutOfRange << false;
    QTest::newRow("duty cycle 0.05")
        << SimulatedSignal{.dutyCycle = 0.05} << MeterOutcome::DutyCycleOutOfRange << false;
    QTest::newRow("duty cycle 0.96")
        << SimulatedSignal{.dutyCycle = 0.96} << MeterOutcome::DutyCycleOutOfRange << false;
    QTest::newRow("every period broken by a gap")
        << SimulatedSignal{.gapEveryNs = 400'000, .gapNs = 20'000} << MeterOutcome::TooFewPeriods
        << false;
}

void TestDutyCycleMeter::rejectsNoSignal()
{
    QFETCH(SimulatedSignal, signal);
    QFETCH(MeterOutcome, outcome);
    QFETCH(bool, atOnce);
    const MeterSettings settings;
    SimulatedSmt160 sensor(signal);

    const Measurement m = DutyCycleMeter(settings).measure(sensor);
    const Reading reading = readingFrom(m);

    QCOMPARE(m.outcome, outcome);
    QVERIFY(std::isnan(reading.celsius));
    QVERIFY(!reading.reason.empty());
    const std::int64_t elapsed = sensor.nowNs() - sensor.startNs();
    const std::int64_t limit = atOnce ? 2 * settings.edgeTimeoutNs : settings.windowNs;
    QVERIFY(elapsed <= limit + 2 * (signal.readNs + signal.gapNs));
}

void TestDutyCycleMeter::stopsOnReadFailure()
{
    // A source that answers for a while and then fails, as an unplugged card would.
    class FailingSource : public SampleSource
    {
    public:
        std::optional<Sample> read() override
        {
            if (++m_reads > 5000)
                return std::nullopt;
            return Sample{.high = (m_reads / 250) % 2 == 0, .timeNs = m_reads * 1000};
        }

    private:
        std::int64_t m_reads = 0;
    } source;

    const Measurement m = DutyCycleMeter().measure(source);

    QCOMPARE(m.outcome, MeterOutcome::ReadFailed);
    QVERIFY(std::isnan(readingFrom(m).celsius));
}

QTEST_GUILESS_MAIN(TestDutyCycleMeter)
#include "tst_dutycyclemeter.moc"

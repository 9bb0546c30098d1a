#include "DataTableModel.h"
#include "KalvikHarness.h"
#include "LibrarySensor.h"

#include <QLabel>
#include <QtTest>

// The 30-second reading and the port-address answer, through the window
// with the sensor's test double.
class tst_Cycle : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void tickShowsCorrectedReadingAndTime_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<float>("reading");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("caption");
        // The texts themselves are temperatureText's; here the correction and the locale.
        QTest::newRow("comma") << "sv_SE" << 22.4f << "21,3 C" << "21,3 C  14:05:33";
        QTest::newRow("no sensor") << "C" << std::numeric_limits<float>::quiet_NaN() << "--.- C"
                                   << "--.- C  14:05:33";
    }

    void tickShowsCorrectedReadingAndTime()
    {
        QFETCH(QString, locale);
        QFETCH(float, reading);
        QFETCH(QString, label);
        QFETCH(QString, caption);
        QLocale::setDefault(QLocale(locale));
        Harness h;
        h.start();
        h.sensor->reading = reading;
        h.sensor->calls.clear();
        h.window->Cycle_Timer();
        QCOMPARE(h.sensor->calls, std::vector<SensorCall>({{"GetTemp", 889, 11}}));
        QCOMPARE(h.window->lblTempC->text(), label);
        QCOMPARE(h.window->windowTitle(), caption);
    }

    void portAnswer_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("portAdr");
        QTest::addColumn<int>("gamePortAdr");
        QTest::addColumn<int>("parPortAdr");
        QTest::addColumn<QString>("immediate"); // the call the answer makes at once
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("nextTick"); // the call of the next tick
        QTest::addColumn<int>("messages");
        // clang-format off
        // How each kind of answer reaches the sensor; the answers themselves are
        // read by interpretPortAnswer. The double reads 22.4: 22.4 as it is,
        // 21.3 after the correction.
        QTest::newRow("208 hex") << "208" << 208 << 520 << 889 << "GetTemp 520 16" << "22.4 C" << "GetTempGame 520 16" << 0;
        QTest::newRow("521") << "521" << 521 << 520 << 521 << "GetTemp 521 11" << "21.3 C" << "GetTemp 521 11" << 0;
        // Not above 520: stored as a parallel port, but read on the game port.
        QTest::newRow("209") << "209" << 209 << 520 << 209 << "GetTempGame 520 16" << "21.3 C" << "GetTempGame 520 16" << 0;
        QTest::newRow("not a number") << "abc" << 889 << 520 << 889 << "" << "21.3 C" << "GetTemp 889 11" << 1;
        QTest::newRow("cancel") << QString() << 889 << 520 << 889 << "" << "21.3 C" << "GetTemp 889 11" << 0;
        // clang-format on
    }

    void portAnswer()
    {
        QFETCH(QString, answer);
        QFETCH(int, portAdr);
        QFETCH(int, gamePortAdr);
        QFETCH(int, parPortAdr);
        QFETCH(QString, immediate);
        QFETCH(QString, label);
        QFETCH(QString, nextTick);
        QFETCH(int, messages);
        Harness h;
        h.start();
        h.sensor->calls.clear();
        h.dialogs->inputs.push_back(answer);
        h.window->mnuPortAdr_Click();

        QCOMPARE(h.dialogs->inputTitle, QStringLiteral("GamePortAdress"));
        QVERIFY(h.dialogs->inputPrompt.startsWith(QStringLiteral("V\u00e4lj GamePortAdress 201 - 208 Hex\n")));
        QCOMPARE(h.window->PortAdr, portAdr);
        QCOMPARE(h.window->GamePortAdr, gamePortAdr);
        QCOMPARE(h.window->ParPortAdr, parPortAdr);
        QCOMPARE(calls(h), immediate.isEmpty() ? QStringList() : QStringList(immediate));
        QCOMPARE(h.window->lblTempC->text(), label);
        QCOMPARE(h.dialogs->messages.size(), messages);
        // The uncorrected game-port reading sets the label only; a whole tick writes the caption.
        const bool gamePortReading = immediate.startsWith(QLatin1String("GetTemp "))
            && immediate.endsWith(QLatin1String(" 16"));
        const bool tick = !immediate.isEmpty() && !gamePortReading;
        QCOMPARE(h.window->windowTitle(),
                 tick ? QStringLiteral("21.3 C  14:05:33") : QStringLiteral("Kalvik"));
        if (messages)
            QVERIFY(h.dialogs->messages.first().contains(answer));

        h.sensor->calls.clear();
        h.window->Cycle_Timer();
        QCOMPARE(calls(h), QStringList(nextTick));
    }

    void tickWithTheTableOpenChangesOnlyTheTemperature()
    {
        Harness h;
        QVERIFY(writeYearFile(h.yearFile(2026), sampleYear(2026, 60, 3)));
        h.start();
        h.window->mnuData_Click();
        const QImage diagram = h.window->diagram->keptImage();
        const QString qnh = h.window->Label1[1]->text();
        const int rows = h.window->tableModel()->rowCount();
        h.sensor->reading = 5.0f;
        h.window->Cycle_Timer();
        QCOMPARE(h.window->lblTempC->text(), QStringLiteral("3.9 C"));
        QVERIFY(h.window->List1->isVisible());
        QCOMPARE(h.window->tableModel()->rowCount(), rows);
        QCOMPARE(h.window->Label1[1]->text(), qnh);
        QCOMPARE(h.window->diagram->keptImage(), diagram);
    }

    void tickDuringThePortDialogUsesThePortsAsTheyStand()
    {
        Harness h;
        h.start();
        h.sensor->calls.clear();
        h.dialogs->whileOpen = [&h] { h.window->Cycle_Timer(); };
        h.dialogs->inputs.push_back(QStringLiteral("520"));
        h.window->mnuPortAdr_Click();
        QCOMPARE(calls(h), QStringList({"GetTemp 889 11", "GetTemp 520 16"}));
        QCOMPARE(h.window->lblTempC->text(), QStringLiteral("22.4 C"));
        QCOMPARE(h.window->windowTitle(), QStringLiteral("21.3 C  14:05:33"));
    }

    void noReadingShowsTheSensorsReasonUntilAReadingArrives()
    {
        // Through the real loader and the library's double, which tells why.
        QTemporaryDir folder;
        QVERIFY(QFile::copy(SMT160_DOUBLE_PATH, folder.filePath("libSMT160.so")));
        const auto tell = [&](const char *file, const QByteArray &text) {
            QFile f(folder.filePath(QLatin1String(file)));
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text) == text.size());
        };
        tell("smt160-reading.txt", "nan");
        tell("smt160-reason.txt", "ingen signal från givaren");
        KalvikEnvironment env;
        env.programFolder = folder.path();
        env.sensor = std::make_unique<LibrarySensor>(folder.path());
        env.dialogs = std::make_unique<FakeDialogs>();
        frmKalvik window(std::move(env));
        window.Form_Load();
        window.Form_Activate();
        QCOMPARE(window.lblTempC->text(), QStringLiteral("--.- C"));
        QCOMPARE(window.lblTempC->toolTip(), QStringLiteral("ingen signal från givaren"));
        tell("smt160-reading.txt", "3.4e38"); // no SMT160 gives that
        window.Cycle_Timer();
        QCOMPARE(window.lblTempC->text(), QStringLiteral("--.- C"));
        QCOMPARE(window.lblTempC->toolTip(), QStringLiteral("orimligt värde från givaren"));
        tell("smt160-reading.txt", "20.0");
        window.Cycle_Timer();
        QCOMPARE(window.lblTempC->text(), QStringLiteral("18.9 C"));
        QCOMPARE(window.lblTempC->toolTip(), QString());
    }

private:
    static QStringList calls(const Harness &h)
    {
        QStringList out;
        for (const SensorCall &c : h.sensor->calls)
            out << QStringLiteral("%1 %2 %3").arg(c.function).arg(c.port).arg(c.arg);
        return out;
    }
};

QTEST_MAIN(tst_Cycle)
#include "tst_cycle.moc"

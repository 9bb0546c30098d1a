#include "DataTableModel.h"
#include "KalvikHarness.h"
#include "LibrarySensor.h"
#include "PortAnswer.h"

#include <QLabel>
#include <QtTest>

// The 30-second reading and the port-address answer, through the window
// with the sensor's test double.
class tst_Cycle : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void portAnswer_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QList<int>>("ports"); // PortAdr, GamePortAdr and ParPortAdr afterwards
        QTest::addColumn<QStringList>("immediate"); // the calls the answer makes at once
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("caption"); // a whole tick writes it
        QTest::addColumn<QString>("nextTick");
        // clang-format off
        // How each kind of answer reaches the sensor; the answers themselves are
        // read by interpretPortAnswer. The double reads 22.4, shown as 21.3
        // after the correction. A tick at 14:05:33 while the dialog is
        // open reads the ports as they stood; the answer comes at 14:06:03.
        QTest::newRow("208 hex") << "208" << QList<int>{208, 520, 889} << QStringList{"GetTemp 520 16"} << "21.3 C" << "21.3 C  14:05:33" << "GetTempGame 520 16";
        // The highest game port: still the game port, corrected at once as at every tick.
        QTest::newRow("520") << "520" << QList<int>{520, 520, 889} << QStringList{"GetTemp 520 16"} << "21.3 C" << "21.3 C  14:05:33" << "GetTempGame 520 16";
        QTest::newRow("521") << "521" << QList<int>{521, 520, 521} << QStringList{"GetTemp 521 11"} << "21.3 C" << "21.3 C  14:06:03" << "GetTemp 521 11";
        // Not above 520: stored as a parallel port, but read on the game port.
        QTest::newRow("209") << "209" << QList<int>{209, 520, 209} << QStringList{"GetTempGame 520 16"} << "21.3 C" << "21.3 C  14:06:03" << "GetTempGame 520 16";
        QTest::newRow("not a number") << "abc" << QList<int>{889, 520, 889} << QStringList() << "21.3 C" << "21.3 C  14:05:33" << "GetTemp 889 11";
        QTest::newRow("cancel") << QString() << QList<int>{889, 520, 889} << QStringList() << "21.3 C" << "21.3 C  14:05:33" << "GetTemp 889 11";
        // clang-format on
    }

    void portAnswer()
    {
        QFETCH(QString, answer);
        QFETCH(QList<int>, ports);
        QFETCH(QStringList, immediate);
        QFETCH(QString, label);
        QFETCH(QString, caption);
        QFETCH(QString, nextTick);
        Harness h;
        h.start();
        h.sensor->calls.clear();
        h.dialogs->input = answer;
        h.dialogs->whileOpen = [&h] {
            h.window->Cycle_Timer();
            h.clock = h.clock.addSecs(30);
        };
        h.window->mnuPortAdr_Click();

        QVERIFY(h.dialogs->inputPrompt.startsWith(u"V\u00e4lj GamePortAdress 201 - 208 Hex\n"));
        QCOMPARE(QList<int>({h.window->PortAdr, h.window->GamePortAdr, h.window->ParPortAdr}),
                 ports);
        // The tick while the dialog was open, then what the answer reads at once.
        QCOMPARE(h.sensor->calls, QStringList{"GetTemp 889 11"} + immediate);
        QCOMPARE(h.window->lblTempC->text(), label);
        QCOMPARE(h.window->windowTitle(), caption);
        const bool refused = answer == QLatin1String("abc");
        QCOMPARE(h.dialogs->messages,
                 refused ? QStringList(invalidPortAnswerMessage(answer)) : QStringList());

        h.sensor->calls.clear();
        h.window->Cycle_Timer();
        QCOMPARE(h.sensor->calls, QStringList(nextTick));
    }

    // In the user's locale; the texts themselves are temperatureText's.
    void tickWithTheTableOpenChangesOnlyTheTemperature()
    {
        QLocale::setDefault(QLocale(QStringLiteral("sv_SE")));
        Harness h;
        QVERIFY(writeYearFile(h.yearFile(2026), sampleYear(2026, 60, 3)));
        h.start();
        h.window->mnuData_Click();
        const QImage diagram = h.window->diagram->keptImage();
        const QString qnh = h.window->Label1[1]->text();
        const int rows = h.window->tableModel()->rowCount();
        h.sensor->reading = 5.0f;
        h.window->Cycle_Timer();
        QCOMPARE(h.window->lblTempC->text(), QStringLiteral("3,9 C"));
        QCOMPARE(h.window->windowTitle(), QStringLiteral("3,9 C  14:05:33"));
        QVERIFY(h.window->List1->isVisible());
        QCOMPARE(h.window->tableModel()->rowCount(), rows);
        QCOMPARE(h.window->Label1[1]->text(), qnh);
        QCOMPARE(h.window->diagram->keptImage(), diagram);
    }

    void noReadingShowsTheSensorsReasonUntilAReadingArrives()
    {
        // Through the real loader and the library's double, which tells why.
        QTemporaryDir folder;
        QVERIFY(QFile::copy(SMT160_DOUBLE_PATH, folder.filePath("libSMT160.so")));
        const auto tell = [&](const char *file, const QByteArray &text) {
            QFile f(folder.filePath(QLatin1String(file)));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(text) == text.size());
        };
        tell("smt160-reading.txt", "nan");
        tell("smt160-reason.txt", "ingen signal från givaren");
        Harness h(QDateTime(QDate(2026, 3, 14), QTime(14, 5)), folder.path(),
                  std::make_unique<LibrarySensor>(folder.path()));
        h.start();
        QCOMPARE(h.window->lblTempC->text(), QStringLiteral("--.- C"));
        QCOMPARE(h.window->lblTempC->toolTip(), QStringLiteral("ingen signal från givaren"));
        tell("smt160-reading.txt", "20.0");
        h.window->Cycle_Timer();
        QCOMPARE(h.window->lblTempC->text(), QStringLiteral("18.9 C"));
        QCOMPARE(h.window->lblTempC->toolTip(), QString());
    }
};

QTEST_MAIN(tst_Cycle)
#include "tst_cycle.moc"

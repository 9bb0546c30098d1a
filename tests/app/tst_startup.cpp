#include "KalvikHarness.h"
#include "LibrarySensor.h"

#include <QLabel>
#include <QtTest>

class tst_Startup : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void firstReadingIsCorrectedAndShown_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<float>("reading");
        QTest::addColumn<QString>("label");
        QTest::newRow("point") << "C" << 22.4f << "21.3 C";
        QTest::newRow("comma") << "sv_SE" << 22.4f << "21,3 C";
        QTest::newRow("below zero") << "C" << -2.9f << "-4.0 C";
        QTest::newRow("no sensor") << "C" << std::numeric_limits<float>::quiet_NaN() << "--.- C";
    }

    void firstReadingIsCorrectedAndShown()
    {
        QFETCH(QString, locale);
        QFETCH(float, reading);
        QFETCH(QString, label);
        QLocale::setDefault(QLocale(locale));
        Harness h;
        h.sensor->reading = reading;
        h.start();
        QCOMPARE(h.sensor->calls, std::vector<SensorCall>({{"GetTemp", 889, 11}}));
        QCOMPARE(h.window->lblTempC->text(), label);
        // The caption waits for the first tick.
        QCOMPARE(h.window->windowTitle(), QStringLiteral("Kalvik"));
    }

    void startUpWorkRunsOnce()
    {
        Harness h(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 0)));
        h.window->Form_Load();
        // Activation may arrive both from the window system and from the
        // start-up fallback; the year goes into the title only once.
        h.window->Form_Activate();
        QCoreApplication::processEvents();
        h.window->activateWindow();
        h.window->Form_Activate();
        QCOMPARE(h.window->lblSthlm->text(),
                 QStringLiteral("Temperaturstatestik f\u00f6r S\u00f6dra Stockholm   2026"));
        QCOMPARE(h.sensor->calls.size(), std::size_t(1));
        QCOMPARE(h.window->GamePortAdr, 520);
        QCOMPARE(h.window->ParPortAdr, 889);
        QCOMPARE(h.window->PortAdr, 889);
        QCOMPARE(h.window->DataFileName, h.dir.path() + QStringLiteral("/T_2026.dat"));
        QCOMPARE(h.window->Cycle->interval(), 30000);
        QVERIFY(h.window->Cycle->isActive());
    }

    void newYearsFileIsCreatedEmptyWithoutMessages()
    {
        Harness h;
        h.start();
        QVERIFY(QFileInfo::exists(h.yearFile(2026)));
        QCOMPARE(QFileInfo(h.yearFile(2026)).size(), 0);
        QCOMPARE(h.dialogs->messages, QStringList());
        QCOMPARE(h.window->Label1[1]->text(), QStringLiteral("QNH 0"));
    }

    void missingLibraryIsReportedOnceAndStartUpGoesOn()
    {
        QTemporaryDir folder;
        auto dialogs = std::make_unique<FakeDialogs>();
        FakeDialogs *seen = dialogs.get();
        KalvikEnvironment env;
        env.programFolder = folder.path();
        env.sensor = std::make_unique<LibrarySensor>(folder.path());
        env.dialogs = std::move(dialogs);
        env.now = [] { return QDateTime(QDate(2025, 6, 1), QTime(12, 0)); };
        {
            QVERIFY(writeYearFile(folder.filePath("T_2025.dat"),
                                  std::vector<DataRecord>{sample(QDate(2025, 6, 1), 0.5f, 1013, 12.0f)}));
        }
        frmKalvik window(std::move(env));
        window.Form_Load();
        window.Form_Activate();
        window.Cycle_Timer();
        QCOMPARE(seen->messages.size(), 1);
        QVERIFY(seen->messages.first().contains(QStringLiteral("libSMT160.so")));
        QCOMPARE(window.lblTempC->text(), QStringLiteral("--.- C"));
        // The year was still drawn and listed.
        QCOMPARE(window.Label1[1]->text(), QStringLiteral("QNH 1013"));
    }

    void escapeHidesTheTableWhateverHasTheFocus()
    {
        Harness h;
        h.start();
        QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
        h.window->mnuData_Click();
        QVERIFY(h.window->List1->isVisible());
        h.window->List1->setFocus();
        QTest::keyClick(h.window->List1, Qt::Key_A);
        QVERIFY(h.window->List1->isVisible());
        QTest::keyClick(h.window->List1, Qt::Key_Escape);
        QVERIFY(!h.window->List1->isVisible());
        QTest::keyClick(h.window.get(), Qt::Key_Escape);
        QVERIFY(!h.window->List1->isVisible());
    }

    void exitClosesTheWindow()
    {
        Harness h;
        h.start();
        QVERIFY(h.window->isVisible());
        h.window->mnuExit_Click();
        QVERIFY(!h.window->isVisible());
    }
};

QTEST_MAIN(tst_Startup)
#include "tst_startup.moc"

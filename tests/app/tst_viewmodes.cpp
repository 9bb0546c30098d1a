#include "DataTableModel.h"
#include "KalvikHarness.h"

#include <QLabel>
#include <QtTest>

// The three views and opening another year's file, through the window.
class tst_ViewModes : public QObject
{
    Q_OBJECT

private:
    // Two days: bars at x 0 (column 0) and the pressure line from x 1 to x 3.
    static std::vector<DataRecord> twoDays(int year)
    {
        const QDate jan1(year, 1, 1);
        return {sample(jan1, 0.1f, 0, 10.0f), sample(jan1.addDays(1), 0.1f, 1020, 30.0f),
                sample(jan1.addDays(3), 0.1f, 1020, 30.0f)};
    }
    static QColor at(const Harness &h, int x, int y)
    {
        return QColor(h.window->diagram->keptImage().pixel(x, y));
    }
    static bool hasBar(const Harness &h) { return at(h, 0, 126) == QColor(255, 0, 0); }     // y 30
    static bool hasPressure(const Harness &h) { return at(h, 3, 139) == QColor(0, 116, 0); } // y 33
    static int visiblePressureLabels(const Harness &h)
    {
        int n = 0;
        for (QLabel *l : h.window->Label1)
            n += l->isVisible();
        return n;
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void views_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("bars");
        QTest::addColumn<bool>("pressure");
        QTest::addColumn<int>("labels");
        QTest::addColumn<bool>("tableShown");
        QTest::newRow("Bara Temp") << "mnuTemp" << true << false << 0 << true;
        QTest::newRow("Bara Tryck") << "mnuQNH" << false << true << 9 << true;
        QTest::newRow("Visa Temp o Tryck") << "mnuVisaAllt" << true << true << 9 << false;
    }

    void views()
    {
        QFETCH(QString, item);
        QFETCH(bool, bars);
        QFETCH(bool, pressure);
        QFETCH(int, labels);
        QFETCH(bool, tableShown);
        Harness h;
        QVERIFY(writeYearFile(h.yearFile(2026), twoDays(2026)));
        h.start();
        QVERIFY(hasBar(h) && hasPressure(h));
        h.window->mnuData_Click();
        h.window->findChild<QAction *>(item)->trigger();
        QCOMPARE(hasBar(h), bars);
        QCOMPARE(hasPressure(h), pressure);
        QCOMPARE(visiblePressureLabels(h), labels);
        QCOMPARE(h.window->List1->isVisible(), tableShown);
        QCOMPARE(h.window->tableModel()->rowCount(), 3);
        QVERIFY(!QApplication::overrideCursor());
    }

    void bareTempTwiceDrawsTheSamePicture()
    {
        Harness h;
        QVERIFY(writeYearFile(h.yearFile(2026), sampleYear(2026, 30, 5)));
        h.start();
        h.window->mnuTemp_Click();
        const QImage once = h.window->diagram->keptImage();
        h.window->mnuTemp_Click();
        QCOMPARE(h.window->diagram->keptImage(), once);
    }

    void openShowsTheChosenYear_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("messages");
        const QString start = QStringLiteral("Temperaturstatestik f\u00f6r S\u00f6dra Stockholm   ");
        QTest::newRow("folder with a 2") << "Data2/T_2004.dat" << start + "2004" << QStringList();
        QTest::newRow("the 1900s") << "Data/T_1999.dat" << start + "1999" << QStringList();
        QTest::newRow("no year in the name")
            << "Data/data.dat" << start + "2026"
            << QStringList({"Fel i Sub GetQNHRecordData", "Fel i Sub GetRecordData"});
    }

    void openShowsTheChosenYear()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, title);
        QFETCH(QStringList, messages);
        Harness h;
        QVERIFY(writeYearFile(h.yearFile(2026), twoDays(2026)));
        const QString path = h.dir.filePath(chosen);
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        const int year = chosen.endsWith(QLatin1String("1999.dat")) ? 1999 : 2004;
        QVERIFY(writeYearFile(path, twoDays(year)));
        const QByteArray bytes = fileBytes(path);
        h.start();
        h.window->mnuTemp_Click(); // pressure labels hidden, and they stay so

        h.dialogs->files.push_back(path);
        h.window->mnuOpen_Click();
        QCOMPARE(h.dialogs->lastOpen.title, QStringLiteral("   \u00d6ppna datafil"));
        QCOMPARE(h.dialogs->lastOpen.startPath, h.yearFile(2026));
        QCOMPARE(h.window->DataFileName, path);
        QCOMPARE(h.window->lblSthlm->text(), title);
        QCOMPARE(h.dialogs->messages, messages);
        QCOMPARE(visiblePressureLabels(h), 0);
        QVERIFY(!QApplication::overrideCursor());
        if (messages.isEmpty()) {
            QCOMPARE(hasBar(h), true);
            QCOMPARE(hasPressure(h), true);
            QCOMPARE(h.window->YearStartDay, std::int32_t(DayNumber::fromDate(QDate(year, 1, 1))));
        }
        QCOMPARE(h.window->tableModel()->rowCount(), 3);
        QCOMPARE(fileBytes(path), bytes);
    }

    void cancelChangesNothing()
    {
        Harness h;
        QVERIFY(writeYearFile(h.yearFile(2026), twoDays(2026)));
        h.start();
        const QImage picture = h.window->diagram->keptImage();
        const QString title = h.window->lblSthlm->text();
        h.window->mnuOpen_Click();
        QCOMPARE(h.dialogs->openCount, 1);
        QCOMPARE(h.window->DataFileName, h.yearFile(2026));
        QCOMPARE(h.window->diagram->keptImage(), picture);
        QCOMPARE(h.window->lblSthlm->text(), title);
        QCOMPARE(h.window->tableModel()->rowCount(), 3);
    }

    void openingAnEmptyYearClearsQuietly()
    {
        Harness h;
        QVERIFY(writeYearFile(h.yearFile(2026), twoDays(2026)));
        h.start();
        const QString empty = h.dir.filePath(QStringLiteral("T_2027.dat"));
        QVERIFY(writeYearFile(empty, std::vector<DataRecord>()));
        h.dialogs->files.push_back(empty);
        h.window->mnuOpen_Click();
        QCOMPARE(h.dialogs->messages, QStringList());
        QVERIFY(!hasBar(h) && !hasPressure(h));
        QCOMPARE(h.window->tableModel()->rowCount(), 0);
        QCOMPARE(h.window->Label1[1]->text(), QStringLiteral("QNH 0"));
    }
};

QTEST_MAIN(tst_ViewModes)
#include "tst_viewmodes.moc"

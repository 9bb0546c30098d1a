#include "DataTableModel.h"
#include "KalvikHarness.h"

#include <QLabel>
#include <QtTest>

// The year drawn onto the diagram, the three views and opening another
// year's file, through the window.
class tst_Diagram : public QObject
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
    static QColor at(const Harness &h, int x, int y) { return keptPixel(h, x, y); }
    static const inline QColor red{255, 0, 0}, blue{0, 0, 255}, purple{156, 0, 158},
        green{0, 116, 0}, cream{239, 239, 222};
    static bool hasBar(const Harness &h) { return at(h, 0, 126) == red; }        // y 30
    static bool hasPressure(const Harness &h) { return at(h, 3, 139) == green; } // y 33
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

    void startUpPaintsTitleAndEmptyDiagramUnderTheWaitPointerBeforeReading()
    {
        if (QGuiApplication::platformName() == QLatin1String("offscreen"))
            QSKIP("offscreen exposes a window only after it has been activated");
        Harness h;
        QVERIFY(writeYearFile(h.yearFile(2026), twoDays(2026)));
        struct PaintWatch : QObject
        {
            Harness *h;
            bool seen = false;
            bool eventFilter(QObject *, QEvent *e) override
            {
                const QCursor *cursor = QApplication::overrideCursor();
                if (e->type() == QEvent::Paint && cursor && cursor->shape() == Qt::WaitCursor)
                    seen = seen || (h->window->lblSthlm->text().endsWith(" 2026") && !hasBar(*h));
                return false;
            }
        } watch;
        watch.h = &h;
        h.window->lblSthlm->installEventFilter(&watch);
        // Activation follows the window's first exposure; a loaded X server
        // can take longer than the load's own event pass to expose it.
        h.window->Form_Load();
        QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
        h.window->Form_Activate();
        QVERIFY(watch.seen && hasBar(h));
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

    void openShowsTheChosenYear()
    {
        // The year comes from the file's name, not from the digits in its folder.
        const QString chosen = QStringLiteral("Data2/T_2004.dat");
        const int year = 2004;
        Harness h;
        QVERIFY(writeYearFile(h.yearFile(2026), twoDays(2026)));
        const QString path = h.dir.filePath(chosen);
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QVERIFY(writeYearFile(path, twoDays(year)));
        const QByteArray bytes = fileBytes(path);
        h.start();
        h.window->mnuTemp_Click(); // pressure labels hidden, and they stay so

        h.dialogs->files.push_back(path);
        h.window->mnuOpen_Click();
        QCOMPARE(h.dialogs->lastOpen.title, QStringLiteral("   \u00d6ppna datafil"));
        QCOMPARE(h.dialogs->lastOpen.startPath, h.yearFile(2026));
        QCOMPARE(h.window->DataFileName, path);
        QCOMPARE(h.window->lblSthlm->text(),
                 QStringLiteral("Temperaturstatestik f\u00f6r S\u00f6dra Stockholm   2004"));
        QCOMPARE(h.dialogs->messages, QStringList());
        QCOMPARE(visiblePressureLabels(h), 0);
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(hasBar(h), true);
        QCOMPARE(hasPressure(h), true);
        QCOMPARE(h.window->YearStartDay, std::int32_t(DayNumber::fromDate(QDate(year, 1, 1))));
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

    void barsAndPressureLinesAtTheirPixels()
    {
        Harness h;
        const QDate jan1(2026, 1, 1);
        // Temperatures high in the diagram so that the bars stay clear of
        // the pressure vertices below them.
        const std::vector<DataRecord> records{
            sample(jan1, 0.1f, 0, 1.4f), // x 0: bar y 39..37
            sample(jan1, 0.2f, 0, 2.6f),
            sample(jan1.addDays(1), 0.1f, 1010, 30.0f), // x 1: QNH 1010, 1015, 1012
            sample(jan1.addDays(1), 0.2f, 1015, 30.0f),
            sample(jan1.addDays(1), 0.3f, 1012, 30.0f),
            sample(jan1.addDays(2), 0.1f, 1020, 30.0f), // x 2: QNH 1020
            sample(jan1.addDays(10), 0.1f, 0, -3.5f),   // x 10: blue 44..40, red 40..38
            sample(jan1.addDays(10), 0.2f, 0, 2.0f),
        };
        QVERIFY(writeYearFile(h.yearFile(2026), records));
        const QByteArray before = fileBytes(h.yearFile(2026));
        h.start();
        QCOMPARE(h.dialogs->messages, QStringList());
        QCOMPARE(h.window->YearStartDay, std::int32_t(DayNumber::fromDate(jan1)));

        // Column = 1.989 x, row = 4.2 y. x 0: red from y 37 to 39 (rows 155..164).
        // x 10 (column 20): blue from y 44 (row 185) to the 0 C line, red on to
        // y 38 (row 160). Highest QNH 1015 at x 1 (column 2, row 160) to 1020 at
        // x 2 (column 4, row 139); lowest 1010 (row 181) to 1020, drawn last.
        const struct
        {
            int x, y;
            QColor color;
        } pixels[] = {{0, 155, red},    {0, 164, red},    {0, 154, cream},  {0, 165, cream},
                      {20, 185, blue},  {20, 169, blue},  {20, 168, red},   {20, 160, red},
                      {20, 159, cream}, {19, 175, cream}, {2, 160, purple}, {2, 181, green},
                      {4, 139, green}};
        for (const auto &p : pixels)
            QCOMPARE(at(h, p.x, p.y), p.color);
        QCOMPARE(h.window->QNHSeries,
                 std::vector<std::int32_t>(
                     {h.window->YearStartDay + 1, 1010, h.window->YearStartDay + 2, 1020}));
        QCOMPARE(fileBytes(h.yearFile(2026)), before);
    }

    void openingANameWithoutAYearChangesNothing()
    {
        // Four digits of a year, but not ending in .dat.
        const QString name = QStringLiteral("T_2004.txt");
        Harness h;
        QVERIFY(writeYearFile(h.yearFile(2026), sampleYear(2026, 720, 1)));
        h.start();
        QVERIFY(writeYearFile(h.dir.filePath(name), sampleYear(2004, 360, 2)));
        const QString title = h.window->lblSthlm->text(), qnh = h.window->Label1[1]->text();
        const QImage diagram = h.window->diagram->keptImage();
        const int rows = h.window->tableModel()->rowCount();
        h.window->mnuData_Click();

        h.dialogs->files.push_back(h.dir.filePath(name));
        h.window->mnuOpen_Click();
        QCOMPARE(h.dialogs->messages,
                 QStringList{name + QStringLiteral(": namnet måste sluta på ett årtal och .dat, "
                                                   "till exempel T_2026.dat")});
        QCOMPARE(h.window->DataFileName, h.yearFile(2026));
        QCOMPARE(h.window->lblSthlm->text(), title);
        QCOMPARE(h.window->diagram->keptImage(), diagram);
        QCOMPARE(h.window->tableModel()->rowCount(), rows);
        QCOMPARE(h.window->Label1[1]->text(), qnh);
        QVERIFY(h.window->List1->isVisible());
    }
};

QTEST_MAIN(tst_Diagram)
#include "tst_diagram.moc"

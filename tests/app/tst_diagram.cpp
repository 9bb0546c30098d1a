#include "DataTableModel.h"
#include "KalvikHarness.h"

#include <QLabel>
#include <QtTest>

// The year drawn onto the diagram, the three views and opening another
// year's file, through the window.
class tst_Diagram : public QObject
{
    Q_OBJECT

    // Two days: bars at x 0 (column 0) and the pressure line from x 1 to x 3.
    static std::vector<DataRecord> twoDays(int year)
    {
        const QDate jan1(year, 1, 1);
        return {sample(jan1, 0.1f, 0, 10.0f), sample(jan1.addDays(1), 0.1f, 1020, 30.0f),
                sample(jan1.addDays(3), 0.1f, 1020, 30.0f)};
    }
    static QColor at(const Harness &h, int x, int y)
    {
        return QColor(h.diagram()->keptImage().pixel(x, y));
    }
    static const inline QColor red{255, 0, 0}, blue{0, 0, 255}, purple{156, 0, 158},
        green{0, 116, 0}, cream{239, 239, 222};
    static bool hasBar(const Harness &h) { return at(h, 0, 126) == red; }        // y 30
    static bool hasPressure(const Harness &h) { return at(h, 3, 139) == green; } // y 33
    static int visiblePressureLabels(const Harness &h)
    {
        const auto labels = h.window->findChildren<QLabel *>(QRegularExpression("^Label1_"));
        return int(std::ranges::count_if(labels, &QLabel::isVisible));
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void views_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("pressure"); // the nine labels of its scale
        QTest::addColumn<bool>("tableShown");
        QTest::newRow("Bara Temp") << "mnuTemp" << false << true;
        QTest::newRow("Bara Tryck") << "mnuQNH" << true << true;
        QTest::newRow("Visa Temp o Tryck") << "mnuVisaAllt" << true << false;
    }

    // The curves each view draws are the end-to-end test's.
    void views()
    {
        QFETCH(QString, item);
        QFETCH(bool, pressure);
        QFETCH(bool, tableShown);
        Harness h;
        QVERIFY(writeYearFile(h.yearFile(2026), twoDays(2026)));
        h.start();
        h.window->mnuData_Click();
        h.window->findChild<QAction *>(item)->trigger();
        QCOMPARE(visiblePressureLabels(h), pressure ? 9 : 0);
        QCOMPARE(h.list()->isVisible(), tableShown);
        QCOMPARE(h.window->tableModel()->rowCount(), 3);
        QVERIFY(!QApplication::overrideCursor());
    }

    void open_data()
    {
        QTest::addColumn<QString>("chosen"); // empty: Cancel
        QTest::addColumn<int>("year");       // of the records in it; 0: none
        QTest::addColumn<QString>("title");  // the year in the title afterwards
        QTest::addColumn<QString>("message");
        // The year comes from the file's name, not from the digits in its folder.
        QTest::newRow("another year") << "Data2/T_2004.dat" << 2004 << "2004" << QString();
        QTest::newRow("an empty year") << "T_2027.dat" << 0 << "2027" << QString();
        QTest::newRow("upper-case .DAT") << "T_2004.DAT" << 2004 << "2004" << QString();
        QTest::newRow("cancel") << "" << 0 << "2026" << QString();
        // Four digits of a year, but not ending in .dat: refused before anything changes.
        QTest::newRow("no year in the name")
            << "T_2004.txt" << 2004 << "2026"
            << "T_2004.txt: namnet måste sluta på ett årtal och .dat, till exempel T_2026.dat";
    }

    void open()
    {
        QFETCH(QString, chosen);
        QFETCH(int, year);
        QFETCH(QString, title);
        QFETCH(QString, message);
        Harness h;
        QVERIFY(writeYearFile(h.yearFile(2026), twoDays(2026)));
        const QString path = h.dir.filePath(chosen);
        if (!chosen.isEmpty()) {
            QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
            QVERIFY(writeYearFile(path, year ? twoDays(year) : std::vector<DataRecord>()));
            h.dialogs->file = path;
        }
        const QByteArray own = fileBytes(h.yearFile(2026)), bytes = fileBytes(path);
        h.start();
        h.window->mnuTemp_Click(); // pressure labels hidden, and they stay so
        h.window->mnuData_Click();
        const QImage before = h.diagram()->keptImage();
        h.window->mnuOpen_Click();

        const bool opened = title != QLatin1String("2026"), empty = opened && !year;
        QCOMPARE(h.dialogs->lastOpen.startPath, h.yearFile(2026));
        QCOMPARE(h.dialogs->messages, message.isEmpty() ? QStringList() : QStringList(message));
        QCOMPARE(h.window->dataFileName(), opened ? path : h.yearFile(2026));
        QCOMPARE(h.label("lblSthlm")->text(),
                 QStringLiteral("Temperaturstatestik f\u00f6r S\u00f6dra Stockholm   ") + title);
        if (opened) // both curves, the pressure labels still hidden
            QVERIFY(hasBar(h) == !empty && hasPressure(h) == !empty);
        else
            QCOMPARE(h.diagram()->keptImage(), before);
        QCOMPARE(visiblePressureLabels(h), 0);
        QCOMPARE(h.list()->isVisible(), !opened);
        QCOMPARE(h.window->tableModel()->rowCount(), empty ? 0 : 3);
        QCOMPARE(h.label("Label1_1")->text(), empty ? "QNH 0" : "QNH 1020");
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(fileBytes(h.yearFile(2026)), own);
        QCOMPARE(fileBytes(path), bytes);
        // The read-out's dates follow the year shown.
        h.window->picDiagram_MouseDown(4, 0, 0.0f, 0.0f);
        QCOMPARE(h.label("lblXCord")->text(), QDate(title.toInt(), 1, 1).toString(Qt::ISODate));
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
        h.start();

        // Column = 1.989 x, row = 4.2 y. x 0: red from y 37 to 39 (rows 155..164).
        // x 10 (column 20): blue from y 44 (row 185) to the 0 C line, red on to
        // y 38 (row 160). Highest QNH 1015 at x 1 (column 2, row 160) to 1020 at
        // x 2 (column 4, row 139); lowest 1010 (row 181) to 1020, drawn last.
        const std::pair<QPoint, QColor> pixels[] = {
            {{0, 155}, red},    {{0, 164}, red},    {{0, 154}, cream},  {{0, 165}, cream},
            {{20, 185}, blue},  {{20, 169}, blue},  {{20, 168}, red},   {{20, 160}, red},
            {{20, 159}, cream}, {{19, 175}, cream}, {{2, 160}, purple}, {{2, 181}, green},
            {{4, 139}, green}};
        for (const auto &[pixel, color] : pixels)
            QCOMPARE(at(h, pixel.x(), pixel.y()), color);

        // A bar across the pressure value "1013" at the right edge lies over its
        // digits, as over the grid; the rest of the picture stays as it was.
        const auto shown = [&h] {
            return h.diagram()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        };
        const QImage keptBefore = h.diagram()->keptImage(), shownBefore = shown();
        std::vector<DataRecord> crossing = records;
        crossing.push_back(sample(jan1.addDays(355), 0.1f, 0, -3.0f)); // column 706, the "0"
        crossing.push_back(sample(jan1.addDays(355), 0.2f, 0, 3.0f));
        QVERIFY(writeYearFile(h.yearFile(2026), crossing));
        h.window->mnuVisaAllt_Click();
        const QImage kept = h.diagram()->keptImage();
        QImage expected = shownBefore;
        int digitPixelsCrossed = 0;
        for (int y = 0; y < kept.height(); ++y) {
            for (int x = 0; x < kept.width(); ++x) {
                if (kept.pixel(x, y) == keptBefore.pixel(x, y))
                    continue;
                const QColor under(shownBefore.pixel(x, y));
                digitPixelsCrossed += under != cream && under != QColor(255, 128, 128);
                expected.setPixel(x, y, kept.pixel(x, y));
            }
        }
        QVERIFY(digitPixelsCrossed > 0);
        QCOMPARE(shown(), expected);
    }
};

QTEST_MAIN(tst_Diagram)
#include "tst_diagram.moc"

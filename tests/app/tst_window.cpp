#include "KalvikHarness.h"

#include <QAbstractButton>
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QtTest>

// The window as it is built and shown, and its start-up.
class tst_Window : public QObject
{
    Q_OBJECT

    Harness h;

private slots:
    void initTestCase()
    {
        h.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
    }

    void elementGeometry_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect"); // pixels in the client area, or the diagram's inner area
        QTest::addColumn<QColor>("text");
        const QColor yellow(255, 255, 192), purple(156, 0, 158), navy(0, 0, 128);
        QTest::newRow("Label1_2") << "Label1_2" << QRect(696, 28, 31, 15) << purple;
        QTest::newRow("Label1_8") << "Label1_8" << QRect(702, 324, 31, 15) << purple;
        QTest::newRow("Label1_1") << "Label1_1" << QRect(52, 16, 89, 15) << yellow;
        QTest::newRow("lblXCord") << "lblXCord" << QRect(214, 0, 145, 19) << navy;
        QTest::newRow("lblVertical_8") << "lblVertical_8" << QRect(12, 358, 31, 16) << yellow;
        QTest::newRow("lblTempC") << "lblTempC" << QRect(46, 422, 113, 25) << QColor(0, 255, 0);
        QTest::newRow("lblSthlm") << "lblSthlm" << QRect(200, 418, 525, 29) << yellow;
        // Month names keep their place and widen to their text.
        QTest::newRow("lblMonth_4") << "lblMonth_4" << QRect(242, 376, 0, 15) << yellow;
    }

    void elementGeometry()
    {
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        QFETCH(QColor, text);
        auto *label = h.window->findChild<QLabel *>(name);
        QVERIFY2(label, qPrintable(name));
        QCOMPARE(label->pos(), rect.topLeft());
        QCOMPARE(label->height(), rect.height());
        if (rect.width())
            QCOMPARE(label->width(), rect.width());
        else
            QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(label->text()));
        QCOMPARE(label->palette().color(QPalette::WindowText), text);
        QVERIFY(label->isVisible());
    }

    void fixedSizesAndHiddenTable()
    {
        QCOMPARE(h.window->centralWidget()->size(), QSize(792, 459));
        QCOMPARE(h.window->picDiagram->geometry(), QRect(52, 30, 730, 340));
        QCOMPARE(h.window->diagram->mapTo(h.window->picDiagram, QPoint(0, 0)), QPoint(2, 2));
        QCOMPARE(h.window->diagram->size(), QSize(726, 336));
        QCOMPARE(h.window->List1->geometry(), QRect(404, 10, 319, 316));
        QVERIFY(!h.window->List1->isVisible());
        QCOMPARE(h.window->Image1[1]->geometry(), QRect(730, 418, 32, 32));
    }

    void menuTree()
    {
        QStringList tree;
        for (QAction *entry : h.window->menuBar()->actions()) {
            tree << entry->text();
            if (entry->menu()) {
                for (QAction *item : entry->menu()->actions())
                    tree << QStringLiteral("  %1 %2 %3")
                                .arg(item->objectName(), item->text(), item->shortcut().toString());
            }
        }
        QCOMPARE(tree, QStringList(
                           {"&Arkiv", "  mnuExit Avsluta Ctrl+Q", "  mnuOpen \u00d6ppna Ctrl+O",
                            "Konfig", "  mnuPortAdr PortAdress Ctrl+P", "Visa",
                            "  mnuVisaAllt Visa Temp o Tryck Ctrl+A", "  mnuTemp Bara Temp Ctrl+T",
                            "  mnuQNH Bara Tryck Ctrl+H", "DataTabell"}));
    }

    void screenshotShowsTealCreamGridAndZeroLine()
    {
        const QImage shot = h.window->centralWidget()->grab().toImage();
        const QPoint inner(54, 32);
        const QColor cream(239, 239, 222), black(0, 0, 0);
        QCOMPARE(QColor(shot.pixel(5, 300)), QColor(0, 128, 128));
        QCOMPARE(QColor(shot.pixel(inner + QPoint(100, 100))), cream);
        for (int x : {0, 333, 725}) // the 0 C line, solid light red on row 168
            QCOMPARE(QColor(shot.pixel(inner + QPoint(x, 168))), QColor(255, 128, 128));
        // Dotted lines: the +30 C line from its right end, the start of July from the top.
        QCOMPARE(QColor(shot.pixel(inner + QPoint(724, 42))), black);
        QCOMPARE(QColor(shot.pixel(inner + QPoint(723, 42))), cream);
        QCOMPARE(QColor(shot.pixel(inner + QPoint(362, 2))), black);
        QCOMPARE(QColor(shot.pixel(inner + QPoint(362, 3))), cream);
    }

    void drawingSurvivesRepaintsAndClearKeepsTheGrid()
    {
        DiagramCanvas *d = h.window->diagram;
        const QImage empty = d->keptImage();
        const Segment bar{100, 10, 100, 70, 0x0000FF};
        d->drawSegments(std::span(&bar, 1));
        d->repaint();
        QCOMPARE(QColor(d->grab().toImage().pixel(199, 100)), QColor(0, 0, 255));
        d->clear();
        QCOMPARE(d->keptImage(), empty);
    }

    // The first reading blocks the window: the title with the year, the
    // temperature as it stands and the empty diagram are on screen by then,
    // under the wait pointer.
    void startUpPaintsBeforeTheFirstReading()
    {
        Harness h;
        QVERIFY(writeYearFile(h.yearFile(2026), sampleYear(2026, 60, 3)));
        h.sensor->reading = 1.1f; // shows 0.0 C after the correction, as before it
        h.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
        const auto shot = [&h] {
            return QGuiApplication::primaryScreen()->grabWindow(h.window->winId()).toImage();
        };
        const auto area = [&h](QWidget *w) {
            return QRect(w->mapTo(h.window.get(), QPoint()), w->size());
        };
        const QImage grid = h.window->diagram->keptImage();
        QImage during;
        bool waiting = false;
        h.sensor->whileReading = [&] {
            during = shot();
            waiting = QApplication::overrideCursor() &&
                      QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        };
        h.start();
        QVERIFY(waiting && !QApplication::overrideCursor());
        QVERIFY(h.window->diagram->keptImage() != grid); // the year's curves came after
        h.window->repaint();
        const QImage after = shot();
        for (QWidget *label : {static_cast<QWidget *>(h.window->lblTempC),
                               static_cast<QWidget *>(h.window->lblSthlm)})
            QVERIFY2(during.copy(area(label)) == after.copy(area(label)),
                     qPrintable(label->objectName()));
        QVERIFY(during.copy(area(h.window->diagram)) != after.copy(area(h.window->diagram)));
    }

    // With no year file: created empty, quietly. Activation may arrive both
    // from the window system and from the start-up fallback; the work runs once.
    void startUpWorkRunsOnce()
    {
        Harness h(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 0)));
        h.window->Form_Load();
        h.window->Form_Activate();
        QCoreApplication::processEvents();
        h.window->activateWindow();
        h.window->Form_Activate();
        QCOMPARE(h.window->lblSthlm->text(),
                 QStringLiteral("Temperaturstatestik f\u00f6r S\u00f6dra Stockholm   2026"));
        QCOMPARE(h.sensor->calls, std::vector<SensorCall>({{"GetTemp", 889, 11}}));
        QCOMPARE(h.window->lblTempC->text(), QStringLiteral("21.3 C"));
        QCOMPARE(h.window->windowTitle(), QStringLiteral("Kalvik")); // until the first tick
        QCOMPARE(h.window->Cycle->interval(), 30000);
        QVERIFY(h.window->Cycle->isActive());
        QCOMPARE(QFileInfo(h.yearFile(2026)).size(), 0);
        QVERIFY(QFileInfo::exists(h.yearFile(2026)));
        QCOMPARE(h.dialogs->messages, QStringList());
        QCOMPARE(h.window->Label1[1]->text(), QStringLiteral("QNH 0"));
    }

    void missingLibraryIsReportedOnceAndStartUpGoesOn()
    {
        Harness h(QDateTime(QDate(2025, 6, 1), QTime(12, 0)));
        h.sensor->error = QStringLiteral("libSMT160.so saknas");
        h.sensor->reading = std::numeric_limits<float>::quiet_NaN();
        QVERIFY(writeYearFile(h.yearFile(2025), std::vector<DataRecord>{
                                                    sample(QDate(2025, 6, 1), 0.5f, 1013, 12.0f)}));
        h.start();
        h.window->Cycle_Timer();
        QCOMPARE(h.dialogs->messages, QStringList(h.sensor->error));
        QCOMPARE(h.window->lblTempC->text(), QStringLiteral("--.- C"));
        QCOMPARE(h.window->Label1[1]->text(), QStringLiteral("QNH 1013")); // the year was still read
    }

    void yearFileThatCannotBeReadGivesOneBoxWithItsReason_data()
    {
        QTest::addColumn<QString>("setup");  // what stands where this year's file should be
        QTest::addColumn<QString>("reason"); // %1: the file's path
        QTest::newRow("no folder") << "gone"
                                   << "Kan inte skapa %1: mappen finns inte";
        QTest::newRow("a link to nowhere") << "link"
                                           << "Kan inte öppna %1: filen finns inte";
    }
    void yearFileThatCannotBeReadGivesOneBoxWithItsReason()
    {
        QFETCH(QString, setup);
        QFETCH(QString, reason);
        QTemporaryDir base;
        const QString folder = setup == QLatin1String("gone") ? base.filePath("gone") : base.path();
        const QString path = folder + QStringLiteral("/T_2026.dat");
        if (setup == QLatin1String("link"))
            QVERIFY(QFile::link(base.filePath("nowhere"), path));
        Harness h(QDateTime(QDate(2026, 3, 14), QTime(14, 5)), folder);
        h.start();
        const QString box = QStringLiteral("Fel i Sub GetQNHRecordData\n") + reason.arg(path);
        QCOMPARE(h.dialogs->messages, QStringList{box});
        h.window->mnuVisaAllt_Click(); // a new redraw tells it again, once
        QCOMPARE(h.dialogs->messages, QStringList({box, box}));
        h.window->mnuTemp_Click();
        QCOMPARE(h.dialogs->messages.last(),
                 QStringLiteral("Fel i Sub GetRecordData\n") + reason.arg(path));
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

    void dialogsSpeakSwedish_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::newRow("port") << "port";
        QTest::newRow("open") << "open";
    }
    void dialogsSpeakSwedish()
    {
        QFETCH(QString, dialog);
        static bool installed = false;
        if (!std::exchange(installed, true))
            installSwedishTranslations(*QCoreApplication::instance());
        QStringList texts; // every text the open dialog shows, tooltips too
        QTimer::singleShot(0, [&texts] {
            QWidget *box = QApplication::activeModalWidget();
            QVERIFY(box);
            texts << box->windowTitle();
            for (QWidget *w : box->findChildren<QWidget *>()) {
                if (!w->isVisibleTo(box))
                    continue;
                texts << w->toolTip();
                if (auto *button = qobject_cast<QAbstractButton *>(w))
                    texts << button->text();
                if (auto *label = qobject_cast<QLabel *>(w))
                    texts << label->text();
                if (auto *header = qobject_cast<QHeaderView *>(w))
                    for (int i = 0; header->model() && i < header->count(); ++i)
                        texts << header->model()->headerData(i, header->orientation()).toString();
            }
            box->close();
        });
        QtUserDialogs dialogs;
        if (dialog == QLatin1String("port"))
            dialogs.inputText(nullptr, QStringLiteral("GamePortAdress"), QStringLiteral("?"));
        else
            dialogs.openFileName(nullptr, {QStringLiteral("   Öppna datafil"),
                                           QStringLiteral("Data (*.dat)"), QDir::tempPath(),
                                           QStringLiteral("dat")});
        static const QRegularExpression english(QStringLiteral(
            "\\b(Cancel|Open|Look|File|Files|Back|Forward|Parent|Directory|Create|New|Folder|"
            "List|Detail|View|Name|Size|Type|Date|Modified|Computer|Yes|No|Save|Close|Recent)\\b"));
        QVERIFY(!texts.isEmpty());
        QStringList found = texts.filter(english);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QStringLiteral(" | "))));
        if (dialog == QLatin1String("port"))
            QVERIFY(texts.contains(QStringLiteral("Avbryt")));
    }
};

QTEST_MAIN(tst_Window)
#include "tst_window.moc"

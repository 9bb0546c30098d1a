#include "KalvikHarness.h"
#include "ReferencePicture.h"

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

    // Every element's place, size, colours and font, and the grid's dotted
    // lines from their ends, as the window is built; the table hidden until asked.
    void layout()
    {
        QVERIFY(matchesReference(h.client(), "layout"));
        h.list()->show();
        QVERIFY(matchesReference(h.client(), "layout with the table"));
        h.list()->hide();
    }

    void menuTree()
    {
        QStringList tree;
        for (QAction *entry : h.window->menuBar()->actions()) {
            tree << entry->text();
            if (entry->menu())
                for (QAction *item : entry->menu()->actions())
                    tree << QStringLiteral("  %1 %2 %3")
                                .arg(item->objectName(), item->text(), item->shortcut().toString());
        }
        QCOMPARE(tree, QStringList(
                           {"&Arkiv", "  mnuExit Avsluta Ctrl+Q", "  mnuOpen \u00d6ppna Ctrl+O",
                            "Konfig", "  mnuPortAdr PortAdress Ctrl+P", "Visa",
                            "  mnuVisaAllt Visa Temp o Tryck Ctrl+A", "  mnuTemp Bara Temp Ctrl+T",
                            "  mnuQNH Bara Tryck Ctrl+H", "DataTabell"}));
    }

    // The first reading blocks the window: the title with the year, the
    // temperature as it stands and the empty diagram are on screen by then,
    // under the wait pointer.
    void startUpPaintsBeforeTheFirstReading()
    {
        Harness h;
        h.sensor->reading = 1.1f; // shows 0.0 C after the correction, as before it
        h.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
        const auto shot = [&h] {
            return QGuiApplication::primaryScreen()->grabWindow(h.window->winId()).toImage();
        };
        QImage during;
        bool waiting = false;
        h.sensor->whileReading = [&] {
            during = shot();
            waiting = QApplication::overrideCursor() &&
                      QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        };
        QVERIFY(h.start(sampleYear(2026, 60, 3)));
        QVERIFY(waiting && !QApplication::overrideCursor());
        h.window->repaint();
        const QImage after = shot();
        // The labels as they stand now; the diagram still without the curves.
        for (QWidget *w : std::initializer_list<QWidget *>{h.label("lblTempC"), h.label("lblSthlm"),
                                                           h.diagram()}) {
            const QRect area(w->mapTo(h.window.get(), QPoint()), w->size());
            QVERIFY2((during.copy(area) == after.copy(area)) == (w != h.diagram()),
                     qPrintable(w->objectName()));
        }
    }

    // Without the sensor library and this year's file: the library's error is
    // told once, the missing file not at all. Activation may arrive both
    // from the window system and from the start-up fallback; the work runs once.
    void startUpRunsOnceAndGoesOnWithoutTheLibrary()
    {
        Harness h(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 0)));
        h.sensor->error = QStringLiteral("libSMT160.so saknas");
        h.sensor->reading = std::numeric_limits<float>::quiet_NaN();
        h.start();
        QCoreApplication::processEvents();
        h.window->activateWindow();
        h.window->Form_Activate();
        QCOMPARE(h.sensor->calls, QStringList(QStringLiteral("GetTemp 889 11")));
        QCOMPARE(h.window->windowTitle(), QStringLiteral("Kalvik")); // until the first tick
        QCOMPARE(h.find<QTimer>("Cycle")->interval(), 30000);
        QVERIFY(h.find<QTimer>("Cycle")->isActive());
        QCOMPARE(h.label("Label1_1")->text(), QStringLiteral("QNH 0"));
        h.window->Cycle_Timer();
        QCOMPARE(h.label("lblTempC")->text(), QStringLiteral("--.- C"));
        QCOMPARE(h.dialogs->messages, QStringList(h.sensor->error));
    }

    // An installed window finds this year's file in the station's data folder
    // and makes nothing beside the program; a build run in place keeps it there.
    void startUpYearFileFolder_data()
    {
        QTest::addColumn<bool>("dataFolder");
        QTest::newRow("beside the program") << false;
        QTest::newRow("the data folder") << true;
    }
    void startUpYearFileFolder()
    {
        QFETCH(bool, dataFolder);
        QTemporaryDir program, data;
        Harness h(QDateTime(QDate(2026, 3, 14), QTime(14, 5)), program.path(), nullptr,
                  dataFolder ? data.path() : QString());
        const QString expected =
            (dataFolder ? data : program).filePath(QStringLiteral("T_2026.dat"));
        QVERIFY(writeYearFile(expected, sampleYear(2026, 60, 3)));
        h.start();
        QCOMPARE(h.window->dataFileName(), expected);
        QVERIFY(h.dialogs->messages.isEmpty());
        QCOMPARE(QDir(program.path()).entryList(QDir::Files).isEmpty(), dataFolder);
    }

    // A file that cannot be read, or holds what no station wrote, gives one box
    // per redraw with the reason; the heading passes over a damaged QNH.
    void yearFileGivesOneBoxPerRedrawWithItsReason_data()
    {
        QTest::addColumn<QString>("file");   // no folder, a link to nowhere, or damaged
        QTest::addColumn<QString>("reason"); // %1: the file's path
        QTest::addColumn<QString>("heading");
        // clang-format off
        QTest::newRow("no folder") << "no folder" << "Kan inte skapa %1: mappen finns inte" << "QNH 0";
        QTest::newRow("a link to nowhere") << "link" << "Kan inte öppna %1: filen finns inte" << "QNH 0";
        QTest::newRow("damaged records") << "damaged" << "%1: 2 poster med orimliga värden hoppades över, den första är post 2 (2026-04-12)" << "QNH 1005";
        // clang-format on
    }
    void yearFileGivesOneBoxPerRedrawWithItsReason()
    {
        QFETCH(QString, file);
        QFETCH(QString, reason);
        QFETCH(QString, heading);
        QTemporaryDir base;
        const QString folder = file == "no folder" ? base.filePath("gone") : base.path();
        const QString path = folder + QStringLiteral("/T_2026.dat");
        if (file == "link")
            QVERIFY(QFile::link(base.filePath("nowhere"), path));
        const QDate april12(2026, 4, 12);
        if (file == "damaged")
            QVERIFY(writeYearFile(
                path, std::vector<DataRecord>{sample(april12, 0.1f, 1005, 4.0f),
                                              sample(april12, 0.2f, 971689267, 9.7e37f),
                                              sample(april12.addDays(1), 0.1f, 1091, 5.0f)}));
        Harness h(QDateTime(QDate(2026, 3, 14), QTime(14, 5)), folder);
        h.start();
        const QString box = QStringLiteral("Fel i Sub GetQNHRecordData\n") + reason.arg(path);
        QCOMPARE(h.dialogs->messages, QStringList{box});
        QCOMPARE(h.label("Label1_1")->text(), heading);
        h.window->mnuVisaAllt_Click(); // a new redraw tells it again, once
        QCOMPARE(h.dialogs->messages, QStringList({box, box}));
        h.window->mnuTemp_Click();
        QCOMPARE(h.dialogs->messages.last(),
                 QStringLiteral("Fel i Sub GetRecordData\n") + reason.arg(path));
    }

    void tableCommandAndEscape_data()
    {
        QTest::addColumn<QString>("keyboard"); // what has the keyboard when Esc comes
        QTest::newRow("the table") << "table";
        QTest::newRow("the window") << "window";
        QTest::newRow("the menu bar, after a menu closed with Esc") << "closed menu";
        QTest::newRow("the menu bar, after Alt+A, Right three times and Return") << "keys";
    }

    // DataTabell shows and hides the table; Esc hides it, whatever has the
    // keyboard, once an open menu has taken its own Esc.
    void tableCommandAndEscape()
    {
        QFETCH(QString, keyboard);
        Harness h; // a new window: no element has had the keyboard yet
        h.window->show();
        h.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
        QMenuBar *bar = h.window->menuBar();
        QWidget *list = h.list();
        QAction *data = h.find<QAction>("mnuData");
        QMenu *arkiv = h.find<QMenu>("mnuArkiv");
        const auto click = [bar](QAction *entry) {
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(entry).center());
        };
        if (keyboard != QLatin1String("keys"))
            data->trigger();
        if (keyboard == QLatin1String("table")) {
            data->trigger();
            QVERIFY(!list->isVisible());
            data->trigger();
            list->setFocus();
            QTest::keyClick(list, Qt::Key_A);
        } else if (keyboard == QLatin1String("closed menu")) {
            click(arkiv->menuAction());
            QTRY_VERIFY(arkiv->isVisible());
            QTest::keyClick(arkiv, Qt::Key_Escape);
            QVERIFY(!arkiv->isVisible() && list->isVisible());
            click(data);
            QVERIFY(!list->isVisible());
            click(data);
        } else if (keyboard == QLatin1String("keys")) {
            QTest::keyClick(h.window.get(), Qt::Key_A, Qt::AltModifier);
            QTRY_VERIFY(arkiv->isVisible());
            for (int i = 0; i < 3; ++i)
                QTest::keyClick(QApplication::activePopupWidget()
                                    ? QApplication::activePopupWidget()
                                    : QApplication::focusWidget(),
                                Qt::Key_Right);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        QVERIFY(list->isVisible());
        QWidget *focus = QApplication::focusWidget();
        QCOMPARE(focus, keyboard == QLatin1String("table")    ? list
                        : keyboard == QLatin1String("window") ? nullptr
                                                              : static_cast<QWidget *>(bar));
        QTest::keyClick(focus ? focus : h.window.get(), Qt::Key_Escape);
        QVERIFY(!list->isVisible());
    }

    // Qt's own texts in the open dialog (tooltips, the views' headers) come
    // from its Swedish catalogue; the input and message boxes show only ours.
    void openDialogSpeaksSwedish()
    {
        installSwedishTranslations(*QCoreApplication::instance());
        QStringList texts; // every text the open dialog shows, tooltips too
        QTimer::singleShot(0, [&texts] {
            QWidget *box = QApplication::activeModalWidget();
            QVERIFY(box);
            texts << box->windowTitle();
            for (QWidget *w : box->findChildren<QWidget *>()) {
                if (!w->isVisibleTo(box))
                    continue;
                texts << w->toolTip() << w->property("text").toString();
                if (auto *header = qobject_cast<QHeaderView *>(w))
                    for (int i = 0; header->model() && i < header->count(); ++i)
                        texts << header->model()->headerData(i, header->orientation()).toString();
            }
            box->close();
        });
        QtUserDialogs().openFileName(nullptr, {QStringLiteral("   Öppna datafil"),
                                               QStringLiteral("Data (*.dat)"), QDir::tempPath(),
                                               QStringLiteral("dat")});
        static const QRegularExpression english(QStringLiteral(
            "\\b(Cancel|Open|Look|File|Files|Back|Forward|Parent|Directory|Create|New|Folder|"
            "List|Detail|View|Name|Size|Type|Date|Modified|Computer|Yes|No|Save|Close|Recent)\\b"));
        QVERIFY(texts.contains(QStringLiteral("Avbryt")));
        const QStringList found = texts.filter(english);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QStringLiteral(" | "))));
    }
};

QTEST_MAIN(tst_Window)
#include "tst_window.moc"

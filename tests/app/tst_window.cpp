#include "DataColumns.h"
#include "KalvikHarness.h"
#include "ReferencePicture.h"

#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QtTest>

// The window as it is built and shown, and its start-up.
class tst_Window : public QObject
{
    Q_OBJECT

    // file: "good", "damaged", or a "link" to nowhere; in a "gone" folder;
    // reason: the box's, %1 the file's path; empty: no box.
    static constexpr DataTable<QString, bool, QString, QString> kYearFiles{"file", "dataFolder",
                                                                           "reason", "heading"};

    Harness h;

private slots:
    // Every element's place, size, colours and font, and the grid's dotted lines, as built.
    void layout() { QVERIFY(matchesReference(h.client(), "layout")); }

    void menuTree()
    {
        QStringList tree;
        for (QAction *entry : h.window->menuBar()->actions()) {
            tree << entry->text();
            for (QAction *item : entry->menu() ? entry->menu()->actions() : QList<QAction *>())
                tree << QStringLiteral("  %1 %2 %3")
                            .arg(item->objectName(), item->text(), item->shortcut().toString());
        }
        QCOMPARE(tree, QStringList(
                           {"&Arkiv", "  mnuExit Avsluta Ctrl+Q", "  mnuOpen \u00d6ppna Ctrl+O",
                            "Konfig", "  mnuPortAdr PortAdress Ctrl+P", "Visa",
                            "  mnuVisaAllt Visa Temp o Tryck Ctrl+A", "  mnuTemp Bara Temp Ctrl+T",
                            "  mnuQNH Bara Tryck Ctrl+H", "DataTabell"}));
    }

    // The first reading blocks the window: the title, the temperature as it stands and the
    // empty diagram are on screen by then, under the wait pointer.
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
        const auto area = [&h](QWidget *w) {
            return QRect(w->mapTo(h.window.get(), QPoint()), w->size());
        };
        for (QWidget *label : {h.label("lblTempC"), h.label("lblSthlm")})
            QCOMPARE(during.copy(area(label)), after.copy(area(label)));
        QVERIFY(during.copy(area(h.diagram())) != after.copy(area(h.diagram())));
    }

    // Without the library and this year's file: the library's error is told once, the missing
    // file not at all; while no reading stands, the tooltip gives the sensor's reason. The
    // window system and the start-up fallback may both activate; the work runs once.
    void startUpRunsOnceAndGoesOnWithoutTheLibrary()
    {
        Harness h(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 0)));
        h.sensor->error = QStringLiteral("libSMT160.so saknas");
        h.sensor->reason = QStringLiteral("ingen signal från givaren");
        h.sensor->reading = std::numeric_limits<float>::quiet_NaN();
        h.start();
        QCoreApplication::processEvents();
        h.window->activateWindow();
        h.window->Form_Activate();
        QCOMPARE(h.sensor->calls, QStringList(QStringLiteral("GetTemp 889 11")));
        QCOMPARE(h.window->windowTitle(), QStringLiteral("Kalvik")); // until the first tick
        const QTimer *cycle = h.find<QTimer>("Cycle");
        QCOMPARE(std::pair(cycle->interval(), cycle->isActive()), std::pair(30000, true));
        QCOMPARE(h.label("lblTempC")->toolTip(), h.sensor->reason);
        h.window->Cycle_Timer();
        QCOMPARE(h.label("lblTempC")->text(), QStringLiteral("--.- C"));
        QCOMPARE(h.label("lblTempC")->toolTip(), h.sensor->reason);
        h.sensor->reading = 20.0f;
        h.window->Cycle_Timer();
        QCOMPARE(h.label("lblTempC")->text() + h.label("lblTempC")->toolTip(), "18.9 C");
        QCOMPARE(h.dialogs->messages, QStringList(h.sensor->error));
    }

    void yearFileAtStartUp_data()
    {
        kYearFiles.addColumns();
        // clang-format off
        QTest::newRow("beside the program") << "good" << false << "" << "QNH 1005";
        QTest::newRow("in the data folder") << "good" << true << "" << "QNH 1005";
        QTest::newRow("no folder") << "gone" << false << "Kan inte skapa %1: mappen finns inte" << "QNH 0";
        QTest::newRow("a link to nowhere") << "link" << false << "Kan inte öppna %1: filen finns inte" << "QNH 0";
        QTest::newRow("damaged records") << "damaged" << false << "%1: 2 poster med orimliga värden hoppades över, den första är post 2 (2026-04-12)" << "QNH 1005";
        // clang-format on
    }

    // Installed, this year's file is in the data folder and nothing is made beside the program;
    // a build run in place keeps it there. A file unreadable or holding what no station wrote
    // gives one box per redraw with the reason; the heading passes over a damaged QNH.
    void yearFileAtStartUp()
    {
        const auto [file, dataFolder, reason, heading] = kYearFiles.row();
        QTemporaryDir program, data;
        const QString folder = dataFolder       ? data.path()
                               : file == "gone" ? program.filePath("gone")
                                                : program.path();
        const QString path = QDir(folder).filePath(QStringLiteral("T_2026.dat"));
        const QDate april12(2026, 4, 12);
        std::vector<DataRecord> records{sample(april12, 0.1f, 1005, 4.0f)};
        if (file == "damaged")
            records.insert(records.end(), {sample(april12, 0.2f, 971689267, 9.7e37f),
                                           sample(april12.addDays(1), 0.1f, 1091, 5.0f)});
        QVERIFY(file == "link" ? QFile::link(program.filePath("nowhere"), path)
                               : file == "gone" || writeYearFile(path, records));
        Harness h(QDateTime(QDate(2026, 3, 14), QTime(14, 5)), dataFolder ? program.path() : folder,
                  dataFolder ? data.path() : QString());
        h.start();
        QCOMPARE(h.window->dataFileName(), path);
        QVERIFY(!dataFolder || QDir(program.path()).isEmpty());
        const QStringList box =
            reason.isEmpty() ? QStringList()
                             : QStringList("Fel i Sub GetQNHRecordData\n" + reason.arg(path));
        QCOMPARE(h.dialogs->messages, box);
        QCOMPARE(h.label("Label1_1")->text(), heading);
        h.window->mnuVisaAllt_Click(); // a new redraw tells it again, once
        QCOMPARE(h.dialogs->messages, box + box);
        h.window->mnuTemp_Click();
        QCOMPARE(h.dialogs->messages,
                 box + box + QStringList(box).replaceInStrings("GetQNH", "Get"));
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
        if (keyboard != "keys")
            data->trigger();
        if (keyboard == "table") {
            data->trigger();
            QVERIFY(!list->isVisible());
            data->trigger();
            list->setFocus();
            QTest::keyClick(list, Qt::Key_A);
        } else if (keyboard == "closed menu") {
            click(arkiv->menuAction());
            QTRY_VERIFY(arkiv->isVisible());
            QTest::keyClick(arkiv, Qt::Key_Escape);
            QVERIFY(!arkiv->isVisible() && list->isVisible());
            click(data);
            QVERIFY(!list->isVisible());
            click(data);
        } else if (keyboard == "keys") {
            QTest::keyClick(h.window.get(), Qt::Key_A, Qt::AltModifier);
            QTRY_VERIFY(arkiv->isVisible());
            for (int i = 0; i < 3; ++i) // from menu to menu, the last to DataTabell
                QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Right);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        QVERIFY(list->isVisible());
        QWidget *focus = QApplication::focusWidget();
        QCOMPARE(focus, keyboard == "table" ? list : keyboard == "window" ? nullptr : bar);
        QTest::keyClick(focus ? focus : h.window.get(), Qt::Key_Escape);
        QVERIFY(!list->isVisible());
    }

    // The open dialog's Qt texts (tooltips, headers) from Qt's Swedish catalogue; our buttons too.
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
        QtUserDialogs().openFileName(nullptr,
                                     {"   Öppna datafil", "Data (*.dat)", QDir::tempPath(), "dat"});
        static const QRegularExpression english(QStringLiteral(
            "\\b(Cancel|Open|Look|File|Files|Back|Forward|Parent|Directory|Create|New|Folder|"
            "List|Detail|View|Name|Size|Type|Date|Modified|Computer|Yes|No|Save|Close|Recent)\\b"));
        QVERIFY(texts.contains(QStringLiteral("Avbryt")));
        QCOMPARE(texts.filter(english), QStringList());
    }
};

QTEST_MAIN(tst_Window)
#include "tst_window.moc"

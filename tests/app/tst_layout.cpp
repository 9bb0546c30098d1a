#include "DiagramCanvas.h"
#include "KalvikHarness.h"

#include <QAction>
#include <QLabel>
#include "DataListBox.h"
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

// The window as it stands right after it is built and shown.
class tst_Layout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        h.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
    }

    void elementGeometry_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QColor>("text");
        QTest::addColumn<bool>("visible");
        // Rectangles in pixels relative to the parent: the client area, or
        // the diagram's inner area for the elements that lie on it.
        const QColor yellow(255, 255, 192), purple(156, 0, 158), navy(0, 0, 128);
        QTest::newRow("Label1_2") << "Label1_2" << QRect(696, 28, 31, 15) << purple << true;
        QTest::newRow("Label1_8") << "Label1_8" << QRect(702, 324, 31, 15) << purple << true;
        QTest::newRow("Label1_1") << "Label1_1" << QRect(52, 16, 89, 15) << yellow << true;
        QTest::newRow("lblXCord") << "lblXCord" << QRect(214, 0, 145, 19) << navy << true;
        QTest::newRow("lblYCord") << "lblYCord" << QRect(356, 0, 77, 17) << navy << true;
        QTest::newRow("lblVertical_0") << "lblVertical_0" << QRect(18, 22, 27, 16) << yellow << true;
        QTest::newRow("lblVertical_3") << "lblVertical_3" << QRect(22, 190, 25, 16) << yellow << true;
        QTest::newRow("lblVertical_8") << "lblVertical_8" << QRect(12, 358, 31, 16) << yellow << true;
        QTest::newRow("lblRubrik_0") << "lblRubrik_0" << QRect(48, 404, 105, 17) << yellow << true;
        QTest::newRow("lblTempC") << "lblTempC" << QRect(46, 422, 113, 25) << QColor(0, 255, 0) << true;
        QTest::newRow("lblSthlm") << "lblSthlm" << QRect(200, 418, 525, 29) << yellow << true;
    }

    void elementGeometry()
    {
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        QFETCH(QColor, text);
        QFETCH(bool, visible);
        auto *label = h.window->findChild<QLabel *>(name);
        QVERIFY2(label, qPrintable(name));
        QCOMPARE(label->geometry(), rect);
        QCOMPARE(label->palette().color(QPalette::WindowText), text);
        QCOMPARE(label->isVisible(), visible);
    }

    void monthNamesStartAtTheirDayAndFitTheirText_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("left");
        QTest::newRow("Jan") << 1 << 58;
        QTest::newRow("April") << 4 << 242;
        QTest::newRow("Dec") << 12 << 732;
    }

    void monthNamesStartAtTheirDayAndFitTheirText()
    {
        QFETCH(int, index);
        QFETCH(int, left);
        QLabel *label = h.window->lblMonth[index];
        QCOMPARE(label->objectName(), QStringLiteral("lblMonth_%1").arg(index));
        QCOMPARE(label->geometry().topLeft(), QPoint(left, 376));
        QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(label->text()));
    }

    void clientAreaAndDiagramHaveTheirFixedSizes()
    {
        QCOMPARE(h.window->centralWidget()->size(), QSize(792, 459));
        QCOMPARE(h.window->picDiagram->geometry(), QRect(52, 30, 730, 340));
        QCOMPARE(h.window->diagram->size(), QSize(726, 336));
        QCOMPARE(h.window->diagram->mapTo(h.window->picDiagram, QPoint(0, 0)), QPoint(2, 2));
        QCOMPARE(h.window->List1->geometry(), QRect(404, 10, 319, 316));
        QVERIFY(!h.window->List1->isVisible());
        QCOMPARE(h.window->Image1[0]->geometry(), QRect(168, 420, 32, 32));
        QCOMPARE(h.window->Image1[1]->geometry(), QRect(730, 418, 32, 32));
        QCOMPARE(h.window->windowTitle(), QStringLiteral("Kalvik"));
    }

    void menuTreeAndShortcuts_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QKeySequence>("shortcut");
        QTest::newRow("mnuExit") << "mnuArkiv" << "mnuExit" << "Avsluta" << QKeySequence("Ctrl+Q");
        QTest::newRow("mnuOpen") << "mnuArkiv" << "mnuOpen" << "Öppna" << QKeySequence("Ctrl+O");
        QTest::newRow("mnuPortAdr") << "mnuConfig" << "mnuPortAdr" << "PortAdress" << QKeySequence("Ctrl+P");
        QTest::newRow("mnuVisaAllt") << "mnuVisa" << "mnuVisaAllt" << "Visa Temp o Tryck" << QKeySequence("Ctrl+A");
        QTest::newRow("mnuTemp") << "mnuVisa" << "mnuTemp" << "Bara Temp" << QKeySequence("Ctrl+T");
        QTest::newRow("mnuQNH") << "mnuVisa" << "mnuQNH" << "Bara Tryck" << QKeySequence("Ctrl+H");
    }

    void menuTreeAndShortcuts()
    {
        QFETCH(QString, menu);
        QFETCH(QString, action);
        QFETCH(QString, text);
        QFETCH(QKeySequence, shortcut);
        auto *m = h.window->findChild<QMenu *>(menu);
        QVERIFY(m);
        auto *a = h.window->findChild<QAction *>(action);
        QVERIFY(a);
        QVERIFY(m->actions().contains(a));
        QCOMPARE(a->text(), text);
        QCOMPARE(a->shortcut(), shortcut);
    }

    void menuBarOrder()
    {
        QStringList bar;
        for (QAction *a : h.window->menuBar()->actions())
            bar << a->text();
        QCOMPARE(bar, QStringList({"&Arkiv", "Konfig", "Visa", "DataTabell"}));
        // DataTabell is a command of its own: it opens no drop-down list.
        QVERIFY(!h.window->mnuData->menu());
        QCOMPARE(h.window->mnuArkiv->actions().first(), h.window->mnuExit);
    }

    void screenshotShowsTealCreamGridAndZeroLine()
    {
        const QImage shot = h.window->centralWidget()->grab().toImage();
        QCOMPARE(shot.size(), QSize(792, 459));
        const QPoint inner(54, 32); // the diagram's inner area in the client area
        QCOMPARE(QColor(shot.pixel(5, 300)), QColor(0, 128, 128));
        QCOMPARE(QColor(shot.pixel(inner + QPoint(100, 100))), QColor(239, 239, 222));
        // The 0 C line is solid light red on row 168 of the inner area.
        for (int x : {0, 1, 333, 725})
            QCOMPARE(QColor(shot.pixel(inner + QPoint(x, 168))), QColor(255, 128, 128));
        // The +30 C line is dotted: one pixel on, one off, from its right end.
        QCOMPARE(QColor(shot.pixel(inner + QPoint(724, 42))), QColor(0, 0, 0));
        QCOMPARE(QColor(shot.pixel(inner + QPoint(723, 42))), QColor(239, 239, 222));
        QCOMPARE(QColor(shot.pixel(inner + QPoint(300, 42))), QColor(0, 0, 0));
        // The start of July: a dotted vertical line at column 362.
        QCOMPARE(QColor(shot.pixel(inner + QPoint(362, 2))), QColor(0, 0, 0));
        QCOMPARE(QColor(shot.pixel(inner + QPoint(362, 3))), QColor(239, 239, 222));
    }

    void clearKeepsGridAndErasesDrawing()
    {
        DiagramCanvas *d = h.window->diagram;
        const QImage before = d->keptImage();
        const Segment bar{10, 30, 10, 50, 0xFF0000};
        d->drawSegments(std::span(&bar, 1));
        QCOMPARE(QColor(d->keptImage().pixel(20, 168)), QColor(255, 0, 0));
        d->clear();
        QCOMPARE(d->keptImage(), before);
    }

    void diagramKeepsItsCurvesWhenRepainted()
    {
        DiagramCanvas *d = h.window->diagram;
        const Segment bar{100, 10, 100, 70, 0x0000FF};
        d->drawSegments(std::span(&bar, 1));
        d->repaint();
        const QImage shot = d->grab().toImage();
        QCOMPARE(QColor(shot.pixel(199, 100)), QColor(0, 0, 255));
        d->clear();
    }

private:
    Harness h;
};

QTEST_MAIN(tst_Layout)
#include "tst_layout.moc"

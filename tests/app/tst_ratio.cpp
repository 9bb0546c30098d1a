#include "KalvikHarness.h"
#include "ReferencePicture.h"

#include <QtTest>

#include <cmath>

// The diagram at the screen's pixel ratio (QT_SCALE_FACTOR 1, 1.25, 1.5, 2): bars, pressure lines
// and the read-out in device pixels; the year 2024 (366 days) unless KALVIK_TEST_YEAR says other.
class tst_Ratio : public QObject
{
    Q_OBJECT

    const int kYear = qEnvironmentVariable("KALVIK_TEST_YEAR", QStringLiteral("2024")).toInt();
    const int kDays = QDate(kYear, 1, 1).daysInYear();
    Harness h{QDateTime(QDate(kYear, 6, 1), QTime(12, 0))};
    DiagramCanvas *d = nullptr;
    qreal r = 1;
    int w = 1; // every line's width in device pixels

    void mouse(QEvent::Type type, QPoint device, Qt::MouseButtons held)
    {
        const QPointF at = (QPointF(device) + QPointF(0.5, 0.5)) / r;
        QMouseEvent event(type, at, d->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(d, &event);
    }

private slots:
    void initTestCase()
    {
        // Even days a red bar from 3 to 17 C, odd days a blue one from -17 to
        // -3 C, so no two bars of one colour touch; QNH 1012 (y 41) every day.
        std::vector<DataRecord> records;
        for (QDate day(kYear, 1, 1); day.year() == kYear; day = day.addDays(1)) {
            const float sign = day.dayOfYear() % 2 ? 1.0f : -1.0f;
            records.push_back(sample(day, 0.25f, 1012, sign * 3.0f));
            records.push_back(sample(day, 0.75f, 1012, sign * 17.0f));
        }
        QVERIFY(h.start(records));
        QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
        d = h.diagram();
        r = d->pixelRatio();
        w = std::max(1, int(std::lround(r)));
    }

    // Each bar one width on its column and the pressure line one width, in device pixels 1:1.
    void keptAtTheScreensRatio()
    {
        QCOMPARE(r, qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble());
        QCOMPARE(h.diagramPicture(), d->keptImage());
        QVERIFY(
            matchesReference(d->keptImage(), QStringLiteral("ratio %1 year %2").arg(r).arg(kYear)));
    }

    void everyColumnOfABarReadsItsDay()
    {
        const QImage before = h.diagramPicture();
        for (int k = 0; k < kDays; ++k) {
            const int c = d->scaleMap().column(k);
            // The last day reaches to the right edge, past its bar in a year of 365 days.
            const int end = k < kDays - 1 ? c + w : d->keptImage().width();
            for (int x = c; x < end; ++x) {
                const QPoint at(x, DiagramScaleMap::toPixel(d->scaleMap().transformY(28)));
                mouse(QEvent::MouseButtonPress, at, Qt::LeftButton);
                const QString date = h.label("lblXCord")->text();
                if (k == 100 && x == c) { // the cross-hair lies on the pointer's columns
                    const QImage on = h.diagramPicture();
                    for (int i = 0; i < w; ++i)
                        QVERIFY(on.pixel(x + i, 0) != before.pixel(x + i, 0));
                    QCOMPARE(on.pixel(x - 1, 0), before.pixel(x - 1, 0));
                    QCOMPARE(on.pixel(x + w, 0), before.pixel(x + w, 0));
                }
                mouse(QEvent::MouseButtonRelease, at, Qt::NoButton);
                QCOMPARE(date, QDate(kYear, 1, 1).addDays(k).toString(Qt::ISODate));
            }
        }
        QCOMPARE(h.diagramPicture(), before);
        QVERIFY(!d->hasXorLines());
    }

    void followsTheScreenWithTheCurvesOfTheView()
    {
        h.window->mnuTemp_Click();
        const QImage temperature = d->keptImage();
        d->setPixelRatio(3); // as if it had been on a screen of ratio 3
        QCOMPARE(d->keptImage().width(), 2178);
        d->repaint(); // back on this screen: drawn afresh, curves from the file
        QCoreApplication::processEvents();
        QCOMPARE(d->pixelRatio(), r);
        QCOMPARE(d->keptImage(), temperature);
    }
};

QTEST_MAIN(tst_Ratio)
#include "tst_ratio.moc"

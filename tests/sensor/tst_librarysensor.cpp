#include "LibrarySensor.h"

#include <QFile>
#include <QLibrary>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

class TestLibrarySensor : public QObject
{
    Q_OBJECT

private slots:
    void callsReachTheLibraryInTheProgramFolder();
    void returnsTheLibrarysReading_data();
    void returnsTheLibrarysReading();
    void missingLibraryGivesNaNAndMessage();
    void triesLoadingOnlyOnce();
    void missingFunctionIsNamed();

private:
    static void skipIfSystemHasSmt160();
};

// A program folder holding a copy of `library` as libSMT160.so.
static void install(const QTemporaryDir &folder, const char *library)
{
    QVERIFY(QFile::copy(QString::fromLocal8Bit(library), folder.filePath("libSMT160.so")));
}

static QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestLibrarySensor::skipIfSystemHasSmt160()
{
    QLibrary system(QStringLiteral("SMT160"));
    if (system.load()) {
        system.unload();
        QSKIP("an SMT160 library is on the system's search path");
    }
}

void TestLibrarySensor::callsReachTheLibraryInTheProgramFolder()
{
    QTemporaryDir folder;
    install(folder, SMT160_DOUBLE_PATH);
    LibrarySensor sensor(folder.path());

    QCOMPARE(sensor.getTemp(889, 11), 22.4f);
    QCOMPARE(sensor.getTempGame(520, 16), 22.4f);
    QCOMPARE(sensor.getTemp(513, 16), 22.4f);
    QCOMPARE(sensor.loadError(), QString());
    QCOMPARE(readAll(folder.filePath("smt160-calls.log")),
             QByteArray("GetTemp 889 11\nGetTempGame 520 16\nGetTemp 513 16\n"));
}

void TestLibrarySensor::returnsTheLibrarysReading_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<float>("expected");
    QTest::newRow("below zero") << QByteArray("-2.9\n") << -2.9f;
    QTest::newRow("no sensor") << QByteArray("nan") << std::numeric_limits<float>::quiet_NaN();
}

void TestLibrarySensor::returnsTheLibrarysReading()
{
    QFETCH(QByteArray, file);
    QFETCH(float, expected);
    QTemporaryDir folder;
    install(folder, SMT160_DOUBLE_PATH);
    QFile reading(folder.filePath("smt160-reading.txt"));
    QVERIFY(reading.open(QIODevice::WriteOnly));
    reading.write(file);
    reading.close();

    LibrarySensor sensor(folder.path());
    QCOMPARE(sensor.getTempGame(513, 16), expected);
}

void TestLibrarySensor::missingLibraryGivesNaNAndMessage()
{
    skipIfSystemHasSmt160();
    QTemporaryDir folder;
    LibrarySensor sensor(folder.path());

    QVERIFY(std::isnan(sensor.getTemp(889, 11)));
    QVERIFY(std::isnan(sensor.getTempGame(520, 16)));
    QVERIFY2(sensor.loadError().contains(QStringLiteral("libSMT160.so")),
             qPrintable(sensor.loadError()));
    QVERIFY(sensor.loadError().contains(folder.path()));
}

void TestLibrarySensor::triesLoadingOnlyOnce()
{
    skipIfSystemHasSmt160();
    QTemporaryDir folder;
    LibrarySensor sensor(folder.path());
    QVERIFY(std::isnan(sensor.getTemp(889, 11)));

    install(folder, SMT160_DOUBLE_PATH);
    QVERIFY(std::isnan(sensor.getTemp(889, 11)));
    QVERIFY(!QFile::exists(folder.filePath("smt160-calls.log")));
}

void TestLibrarySensor::missingFunctionIsNamed()
{
    QTemporaryDir folder;
    install(folder, SMT160_PARTIAL_PATH);
    LibrarySensor sensor(folder.path());

    QCOMPARE(sensor.getTemp(889, 11), 5.0f);
    QVERIFY(std::isnan(sensor.getTempGame(520, 16)));
    const QString error = sensor.loadError();
    QVERIFY2(error.contains(QStringLiteral("funktionen GetTempGame")), qPrintable(error));
    QVERIFY(error.contains(QStringLiteral("libSMT160.so")));
}

QTEST_GUILESS_MAIN(TestLibrarySensor)
#include "tst_librarysensor.moc"

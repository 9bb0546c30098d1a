#include "LibrarySensor.h"

#include <QFile>
#include <QLibrary>
#include <QTemporaryDir>
#include <QTest>

class TestLibrarySensor : public QObject
{
    Q_OBJECT

private slots:
    void callsTheLibraryInTheProgramFolder();
    void missingLibraryStaysMissing();
    void missingFunctionIsNamed();
    void loadFailureSaysWhereAndWhyInSwedish_data();
    void loadFailureSaysWhereAndWhyInSwedish();
};

void TestLibrarySensor::callsTheLibraryInTheProgramFolder()
{
    QTemporaryDir folder;
    QVERIFY(QFile::copy(SMT160_DOUBLE_PATH, folder.filePath("libSMT160.so")));
    LibrarySensor sensor(folder.path());

    QCOMPARE(sensor.getTemp(889, 11), 22.4f);
    QCOMPARE(sensor.getTempGame(520, 16), 22.4f);
    QCOMPARE(sensor.loadError(), QString());
    QFile log(folder.filePath("smt160-calls.log"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll(), QByteArray("GetTemp 889 11\nGetTempGame 520 16\n"));
}

void TestLibrarySensor::missingLibraryStaysMissing()
{
    if (QLibrary system(QStringLiteral("SMT160")); system.load())
        QSKIP("an SMT160 library is on the system's search path");
    QTemporaryDir folder;
    LibrarySensor sensor(folder.path());

    QVERIFY(qIsNaN(sensor.getTemp(889, 11)));
    const QString error = sensor.loadError();
    QVERIFY2(error.contains("libSMT160.so") && error.contains(folder.path()), qPrintable(error));
    // A library that appears later is not loaded during this run.
    QVERIFY(QFile::copy(SMT160_DOUBLE_PATH, folder.filePath("libSMT160.so")));
    QVERIFY(qIsNaN(sensor.getTempGame(520, 16)));
    QVERIFY(!QFile::exists(folder.filePath("smt160-calls.log")));
}

void TestLibrarySensor::missingFunctionIsNamed()
{
    QTemporaryDir folder;
    QVERIFY(QFile::copy(SMT160_PARTIAL_PATH, folder.filePath("libSMT160.so")));
    LibrarySensor sensor(folder.path());

    QCOMPARE(sensor.getTemp(889, 11), 5.0f);
    QVERIFY(qIsNaN(sensor.getTempGame(520, 16)));
    QVERIFY2(sensor.loadError().contains("funktionen GetTempGame"), qPrintable(sensor.loadError()));
}

void TestLibrarySensor::loadFailureSaysWhereAndWhyInSwedish_data()
{
    QTest::addColumn<QByteArray>("content"); // of libSMT160.so in the folder; null: none
    QTest::addColumn<QString>("own");        // what the message says of that file
    QTest::newRow("missing") << QByteArray() << "finns inte";
    QTest::newRow("not a library")
        << QByteArray("inget bibliotek") << "kan inte laddas: filen är inget bibliotek";
}

void TestLibrarySensor::loadFailureSaysWhereAndWhyInSwedish()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, own);
    if (QLibrary system(QStringLiteral("SMT160")); system.load())
        QSKIP("an SMT160 library is on the system's search path");
    QTemporaryDir folder;
    QFile file(folder.filePath("libSMT160.so"));
    QVERIFY(content.isNull() || (file.open(QIODevice::WriteOnly) && file.write(content) > 0));
    file.close();
    LibrarySensor sensor(folder.path());
    QVERIFY(qIsNaN(sensor.getTemp(889, 11)));
    QCOMPARE(sensor.loadError(),
             QStringLiteral("Sensorbiblioteket libSMT160.so kunde inte laddas, så temperaturen kan "
                            "inte läsas.\n%1: %2\nsystemets bibliotekssökväg: finns inte")
                 .arg(file.fileName(), own));
    QCOMPARE(sensor.lastReason(), QStringLiteral("sensorbiblioteket kan inte användas"));
}

QTEST_GUILESS_MAIN(TestLibrarySensor)
#include "tst_librarysensor.moc"

#include "LibrarySensor.h"

#include <QFile>
#include <QLibrary>
#include <QTemporaryDir>
#include <QTest>

#include <limits>
#include <sys/stat.h>
#include <unistd.h>

class TestLibrarySensor : public QObject
{
    Q_OBJECT

private slots:
    void callsTheLibraryInTheProgramFolder();
    void missingFunctionIsNamed();
    void loadFailureSaysWhereAndWhyInSwedish_data();
    void loadFailureSaysWhereAndWhyInSwedish();
    void loadsOnlyWhatNobodyElseCanReplace_data();
    void loadsOnlyWhatNobodyElseCanReplace();
    void impossibleReadingIsNoReading_data();
    void impossibleReadingIsNoReading();
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
    // A library that appears later is not loaded during this run.
    QVERIFY(file.remove() || content.isNull());
    QVERIFY(QFile::copy(SMT160_DOUBLE_PATH, file.fileName()));
    QVERIFY(qIsNaN(sensor.getTempGame(520, 16)));
    QVERIFY(!QFile::exists(folder.filePath("smt160-calls.log")));
}

void TestLibrarySensor::loadsOnlyWhatNobodyElseCanReplace_data()
{
    QTest::addColumn<int>("fileMode");
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<bool>("otherOwner");
    QTest::addColumn<QString>("refusal"); // empty: loaded

    QTest::newRow("own file, own folder") << 0755 << 0700 << false << "";
    QTest::newRow("shared folder with the sticky bit") << 0755 << 01777 << false << "";
    QTest::newRow("group may write the file") << 0775 << 0755 << false << "filen %1 är skrivbar";
    QTest::newRow("others may write the folder")
        << 0755 << 0777 << false
        << "mappen %2 är skrivbar för andra än ägaren (och saknar sticky-biten)";
    QTest::newRow("another user's file")
        << 0755 << 0755 << true << "filen %1 ägs av en annan användare";
}

void TestLibrarySensor::loadsOnlyWhatNobodyElseCanReplace()
{
    QFETCH(int, fileMode);
    QFETCH(int, folderMode);
    QFETCH(bool, otherOwner);
    QFETCH(QString, refusal);
    if (otherOwner && ::geteuid() != 0)
        QSKIP("only root can give a file to another user");
    QTemporaryDir folder;
    const QString path = folder.filePath("libSMT160.so");
    QVERIFY(QFile::copy(SMT160_DOUBLE_PATH, path));
    QVERIFY(::chmod(QFile::encodeName(path).constData(), mode_t(fileMode)) == 0);
    QVERIFY(::chmod(QFile::encodeName(folder.path()).constData(), mode_t(folderMode)) == 0);
    if (otherOwner)
        QVERIFY(::chown(QFile::encodeName(path).constData(), 65534, 65534) == 0);
    LibrarySensor sensor(folder.path());

    const float reading = sensor.getTemp(889, 11);

    const QString error = sensor.loadError();
    QCOMPARE(qIsNaN(reading), !refusal.isEmpty());
    refusal.replace(QLatin1String("%1"), path).replace(QLatin1String("%2"), folder.path());
    QVERIFY2(error.contains(refusal), qPrintable(error));
    QCOMPARE(QFile::exists(folder.filePath("smt160-calls.log")), refusal.isEmpty());
}

void TestLibrarySensor::impossibleReadingIsNoReading_data()
{
    QTest::addColumn<QByteArray>("answer"); // of the library's double
    QTest::addColumn<float>("reading");     // NaN: none, for the reason below
    const float none = std::numeric_limits<float>::quiet_NaN();
    QTest::newRow("coldest") << QByteArray("-45") << -45.0f;
    QTest::newRow("warmest") << QByteArray("130") << 130.0f;
    QTest::newRow("below the range") << QByteArray("-45.1") << none;
    QTest::newRow("above the range") << QByteArray("130.1") << none;
    QTest::newRow("largest float") << QByteArray("3.4e38") << none;
    QTest::newRow("minus infinity") << QByteArray("-inf") << none;
}

void TestLibrarySensor::impossibleReadingIsNoReading()
{
    QFETCH(QByteArray, answer);
    QFETCH(float, reading);
    QTemporaryDir folder;
    QVERIFY(QFile::copy(SMT160_DOUBLE_PATH, folder.filePath("libSMT160.so")));
    QFile answerFile(folder.filePath("smt160-reading.txt"));
    QVERIFY(answerFile.open(QIODevice::WriteOnly) && answerFile.write(answer) == answer.size());
    answerFile.close();
    LibrarySensor sensor(folder.path());

    const float got = sensor.getTempGame(520, 16);

    QCOMPARE(qIsNaN(got), qIsNaN(reading));
    if (!qIsNaN(reading))
        QCOMPARE(got, reading);
    QCOMPARE(sensor.lastReason(),
             qIsNaN(reading) ? QStringLiteral("orimligt värde från givaren") : QString());
}

QTEST_GUILESS_MAIN(TestLibrarySensor)
#include "tst_librarysensor.moc"

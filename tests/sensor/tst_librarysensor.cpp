#include "LibrarySensor.h"

#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray contents(const char *path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// Stands for a FIFO in the library's place.
const QByteArray kFifo("<fifo>");

QString notLoaded(const char *why)
{
    return QStringLiteral("Sensorbiblioteket libSMT160.so kunde inte laddas, så temperaturen "
                          "kan inte läsas.\n%1: %3\nsystemets bibliotekssökväg: finns inte")
        .replace("%3", why);
}

// Every folder beside a library where a dynamic loader, or a library loader
// built on it, looks first on some CPU.
const QStringList kLoaderSubfolders{"haswell",
                                    "x86_64",
                                    "tls",
                                    "tls/x86_64",
                                    "tls/haswell",
                                    "haswell/x86_64",
                                    "avx512_1",
                                    "xeon_phi",
                                    "i686",
                                    "glibc-hwcaps/x86-64-v2",
                                    "glibc-hwcaps/x86-64-v3",
                                    "glibc-hwcaps/x86-64-v4"};

} // namespace

class TestLibrarySensor : public QObject
{
    Q_OBJECT

private slots:
    void loadsOnlyASafeLibraryAndAPlausibleReading_data()
    {
        QTest::addColumn<QByteArray>("library"); // libSMT160.so in the folder; null: none
        QTest::addColumn<int>("fileMode");
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<bool>("otherOwner");
        QTest::addColumn<bool>("planted");      // copies of the double in every loader subfolder
        QTest::addColumn<QByteArray>("answer"); // the double's reading; null: its 22.4
        QTest::addColumn<QString>("readings");  // of GetTemp and GetTempGame
        QTest::addColumn<QString>("reason");    // after GetTempGame
        QTest::addColumn<QString>("error");     // part of the load error (%1 file, %2 folder)

        const auto row = [](const char *name, const QByteArray &library, int fileMode,
                            int folderMode, const char *answer, const char *readings,
                            const char *reason, const QString &error) {
            QTest::newRow(name) << library << fileMode << folderMode << false << false
                                << QByteArray(answer) << readings << reason << error;
        };
        const QByteArray lib = contents(SMT160_DOUBLE_PATH);
        const char *unusable = "sensorbiblioteket kan inte användas";
        const char *implausible = "orimligt värde från givaren";
        row("own file, own folder", lib, 0755, 0700, nullptr, "22.4 22.4", "", "");
        row("shared folder with the sticky bit", lib, 0755, 01777, nullptr, "22.4 22.4", "", "");
        row("group may write the file", lib, 0775, 0755, nullptr, "nan nan", unusable,
            "filen %1 är skrivbar");
        row("others may write the folder", lib, 0755, 0777, nullptr, "nan nan", unusable,
            "mappen %2 är skrivbar för andra än ägaren (och saknar sticky-biten)");
        QTest::newRow("another user's file")
            << lib << 0755 << 0755 << true << false << QByteArray() << "nan nan" << unusable
            << "filen %1 ägs av en annan användare";
        // Only the checked file runs, whatever lies in the folders a loader searches first.
        QTest::newRow("copies planted where loaders look first")
            << lib << 0755 << 0755 << false << true << QByteArray() << "22.4 22.4"
            << ""
            << "";
        // A library that appears after the first call is not loaded during this run.
        row("missing", {}, 0, 0700, nullptr, "nan nan", unusable, notLoaded("finns inte"));
        // Opening a FIFO to load it would wait for a writer for ever.
        row("a FIFO", kFifo, 0755, 0700, nullptr, "nan nan", unusable,
            "filen %1 är ingen vanlig fil");
        row("not a library", "inget bibliotek", 0644, 0700, nullptr, "nan nan", unusable,
            notLoaded("kan inte laddas: filen är inget bibliotek"));
        row("without GetTempGame", contents(SMT160_PARTIAL_PATH), 0755, 0700, nullptr, "5 nan",
            unusable, "saknar funktionen GetTempGame;");
        row("coldest", lib, 0755, 0700, "-45", "-45 -45", "", "");
        row("warmest", lib, 0755, 0700, "130", "130 130", "", "");
        row("below the range", lib, 0755, 0700, "-45.1", "nan nan", implausible, "");
        row("above the range", lib, 0755, 0700, "130.1", "nan nan", implausible, "");
        row("largest float", lib, 0755, 0700, "3.4e38", "nan nan", implausible, "");
        row("minus infinity", lib, 0755, 0700, "-inf", "nan nan", implausible, "");
    }

    void loadsOnlyASafeLibraryAndAPlausibleReading()
    {
        QFETCH(QByteArray, library);
        QFETCH(int, fileMode);
        QFETCH(int, folderMode);
        QFETCH(bool, otherOwner);
        QFETCH(bool, planted);
        QFETCH(QByteArray, answer);
        QFETCH(QString, readings);
        QFETCH(QString, reason);
        QFETCH(QString, error);
        if (otherOwner && ::geteuid() != 0)
            QSKIP("only root can give a file to another user");
        if (QLibrary system(QStringLiteral("SMT160")); error.contains("sökväg") && system.load())
            QSKIP("an SMT160 library is on the system's search path");
        QTemporaryDir folder;
        const QString path = folder.filePath("libSMT160.so");
        const auto mode = [](const QString &file, int bits) {
            return ::chmod(QFile::encodeName(file).constData(), mode_t(bits)) == 0;
        };
        if (library == kFifo)
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0 &&
                    mode(path, fileMode));
        else
            QVERIFY(library.isNull() || (writeFile(path, library) && mode(path, fileMode)));
        QVERIFY(mode(folder.path(), folderMode));
        if (otherOwner)
            QVERIFY(::chown(QFile::encodeName(path).constData(), 65534, 65534) == 0);
        QVERIFY(answer.isNull() || writeFile(folder.filePath("smt160-reading.txt"), answer));
        for (const QString &sub : planted ? kLoaderSubfolders : QStringList()) {
            QVERIFY(QDir(folder.path()).mkpath(sub));
            QVERIFY(QFile::copy(SMT160_DOUBLE_PATH, folder.filePath(sub + "/libSMT160.so")));
            QVERIFY(writeFile(folder.filePath(sub + "/smt160-reading.txt"), "-7"));
        }
        LibrarySensor sensor(folder.path());

        const float temp = sensor.getTemp(889, 11);
        QVERIFY(!library.isNull() || QFile::copy(SMT160_DOUBLE_PATH, path));
        const float game = sensor.getTempGame(520, 16);

        QCOMPARE(QString::number(temp) + ' ' + QString::number(game), readings);
        QCOMPARE(sensor.lastReason(), reason);
        const QString wanted = error.replace("%1", path).replace("%2", folder.path());
        QCOMPARE(sensor.loadError().isEmpty(), error.isEmpty());
        QVERIFY2(sensor.loadError().contains(wanted), qPrintable(sensor.loadError()));
        QFile log(folder.filePath("smt160-calls.log"));
        const bool called = library == contents(SMT160_DOUBLE_PATH) && error.isEmpty();
        QCOMPARE(log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray(),
                 called ? QByteArray("GetTemp 889 11\nGetTempGame 520 16\n") : QByteArray());
        QCOMPARE(QFile::exists(folder.filePath("smt160-loaded.log")), called);
        for (const QString &sub : planted ? kLoaderSubfolders : QStringList())
            QVERIFY2(!QFile::exists(folder.filePath(sub + "/smt160-loaded.log")), qPrintable(sub));
    }
};

QTEST_GUILESS_MAIN(TestLibrarySensor)
#include "tst_librarysensor.moc"

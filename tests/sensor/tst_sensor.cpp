// The sensor library as the window loads it, the port address typed and the temperature shown.
#include "DataColumns.h"
#include "LibrarySensor.h"
#include "PortAnswer.h"
#include "TemperatureText.h"

#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

bool setMode(const QString &path, int bits)
{
    return ::chmod(QFile::encodeName(path).constData(), mode_t(bits)) == 0;
}

// Stand for a FIFO, another user's file and copies of the double planted in every folder beside
// a library where a dynamic loader, or a library loader built on it, looks first on some CPU.
const QByteArray kFifo("<fifo>"), kOtherOwner("<other owner>"), kPlanted("<planted>");
const QStringList kLoaderSubfolders =
    QStringLiteral("haswell x86_64 tls tls/x86_64 tls/haswell haswell/x86_64 avx512_1 xeon_phi "
                   "i686 glibc-hwcaps/x86-64-v2 glibc-hwcaps/x86-64-v3 glibc-hwcaps/x86-64-v4")
        .split(u' ');

QString notLoaded(const char *why)
{
    return QStringLiteral("Sensorbiblioteket libSMT160.so kunde inte laddas, så temperaturen "
                          "kan inte läsas.\n%1: %3\nsystemets bibliotekssökväg: finns inte")
        .replace("%3", why);
}

} // namespace

class TestSensor : public QObject
{
    Q_OBJECT

    // library: libSMT160.so in the folder (null: none); answer: the double's reading (null: its
    // 22.4); readings: of GetTemp and GetTempGame; reason: after GetTempGame; error: part of the
    // load error (%1 file, %2 folder); calls: of the double that ran, in its log.
    static constexpr DataTable<QByteArray, int, int, QByteArray, QString, QString, QString, int>
        kLoads{"library",  "fileMode", "folderMode", "answer",
               "readings", "reason",   "error",      "calls"};
    static constexpr DataTable<QString, QString, QString> kAnswers{"answer", "locale", "expected"};
    static constexpr DataTable<float, QString, QString, QString> kTexts{"t", "locale", "text",
                                                                        "clock"}; // of 21:05:03

private slots:
    void loadsOnlyASafeLibraryAndAPlausibleReading_data()
    {
        kLoads.addColumns();
        const auto row = [](const char *name, const QByteArray &library, int fileMode,
                            int folderMode, const char *answer, const char *readings,
                            const char *reason, const QString &error, int calls) {
            QTest::newRow(name) << library << fileMode << folderMode << QByteArray(answer)
                                << readings << reason << error << calls;
        };
        const QByteArray lib = contents(SMT160_DOUBLE_PATH);
        const char *unusable = "sensorbiblioteket kan inte användas";
        const char *implausible = "orimligt värde från givaren";
        row("own file, own folder", lib, 0755, 0700, nullptr, "22.4 22.4", "", "", 2);
        row("shared folder with the sticky bit", lib, 0755, 01777, nullptr, "22.4 22.4", "", "", 2);
        row("group may write the file", lib, 0775, 0755, nullptr, "nan nan", unusable,
            "filen %1 är skrivbar", 0);
        row("others may write the folder", lib, 0755, 0777, nullptr, "nan nan", unusable,
            "mappen %2 är skrivbar för andra än ägaren (och saknar sticky-biten)", 0);
        row("another user's file", kOtherOwner, 0755, 0755, nullptr, "nan nan", unusable,
            "filen %1 ägs av en annan användare", 0);
        // Only the checked file runs, whatever lies in the folders a loader searches first.
        row("copies planted where loaders look first", kPlanted, 0755, 0755, nullptr, "22.4 22.4",
            "", "", 2);
        // A library that appears after the first call is not loaded during this run.
        row("missing", {}, 0, 0700, nullptr, "nan nan", unusable, notLoaded("finns inte"), 0);
        // Opening a FIFO to load it would wait for a writer for ever.
        row("a FIFO", kFifo, 0755, 0700, nullptr, "nan nan", unusable,
            "filen %1 är ingen vanlig fil", 0);
        row("not a library", "inget bibliotek", 0644, 0700, nullptr, "nan nan", unusable,
            notLoaded("kan inte laddas: filen är inget bibliotek"), 0);
        row("without GetTempGame", contents(SMT160_PARTIAL_PATH), 0755, 0700, nullptr, "22.4 nan",
            unusable, "saknar funktionen GetTempGame;", 1);
        row("coldest", lib, 0755, 0700, "-45", "-45 -45", "", "", 2);
        row("warmest", lib, 0755, 0700, "130", "130 130", "", "", 2);
        row("below the range", lib, 0755, 0700, "-45.1", "nan nan", implausible, "", 2);
        row("above the range", lib, 0755, 0700, "130.1", "nan nan", implausible, "", 2);
        row("largest float", lib, 0755, 0700, "3.4e38", "nan nan", implausible, "", 2);
        row("minus infinity", lib, 0755, 0700, "-inf", "nan nan", implausible, "", 2);
    }

    void loadsOnlyASafeLibraryAndAPlausibleReading()
    {
        const auto [library, fileMode, folderMode, answer, readings, reason, error, calls] =
            kLoads.row();
        if (library == kOtherOwner && ::geteuid() != 0)
            QSKIP("only root can give a file to another user");
        if (QLibrary system(QStringLiteral("SMT160")); error.contains("sökväg") && system.load())
            QSKIP("an SMT160 library is on the system's search path");
        QTemporaryDir folder;
        const QString path = folder.filePath("libSMT160.so");
        if (library == kFifo)
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        else if (library == kOtherOwner || library == kPlanted)
            QVERIFY(QFile::copy(SMT160_DOUBLE_PATH, path));
        else
            QVERIFY(library.isNull() || writeFile(path, library));
        QVERIFY((library.isNull() || setMode(path, fileMode)) &&
                setMode(folder.path(), folderMode));
        if (library == kOtherOwner)
            QVERIFY(::chown(QFile::encodeName(path).constData(), 65534, 65534) == 0);
        QVERIFY(answer.isNull() || writeFile(folder.filePath("smt160-reading.txt"), answer));
        for (const QString &sub : library == kPlanted ? kLoaderSubfolders : QStringList()) {
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
        const QString wanted = QString(error).replace("%1", path).replace("%2", folder.path());
        QCOMPARE(sensor.loadError().isEmpty(), error.isEmpty());
        QVERIFY2(sensor.loadError().contains(wanted), qPrintable(sensor.loadError()));
        const QByteArrayList lines{"GetTemp 889 11\n", "GetTempGame 520 16\n"};
        QCOMPARE(contents(folder.filePath("smt160-calls.log")), lines.mid(0, calls).join());
        QCOMPARE(QFile::exists(folder.filePath("smt160-loaded.log")), calls > 0);
        for (const QString &sub : library == kPlanted ? kLoaderSubfolders : QStringList())
            QVERIFY2(!QFile::exists(folder.filePath(sub + "/smt160-loaded.log")), qPrintable(sub));
    }

    void interpretsPortAnswer_data()
    {
        kAnswers.addColumns();
        // Expected: game, parallel and current address, action; from 514 400 400, so changes show.
        const auto row = [](const char *answer, const char *locale, const char *expected) {
            QTest::addRow("%s %s", answer, locale) << answer << locale << expected;
        };
        row("520", "C", "520 400 520 read");
        row("513", "C", "513 400 513 read");
        row("521", "C", "514 521 521 cycle");
        row("512", "C", "514 512 512 cycle");
        row("201", "C", "513 400 201 read");
        row("209", "C", "514 209 209 cycle");
        row("889", "C", "514 889 889 cycle");
        row("0", "C", "514 0 0 cycle");
        row("99999999999", "C", "514 400 400 invalid");
        row("abc", "C", "514 400 400 invalid");
        row(" 208 ", "C", "520 400 208 read");
        row("2.5", "C", "514 2 2 cycle");
        row("3.5", "C", "514 4 4 cycle");
        row("520.5", "C", "520 400 520 read");
        row("2,5", "sv_SE", "514 2 2 cycle");
        row("2,500", "en_US", "514 400 400 invalid");
        row("0x379", "C", "514 889 889 cycle");
        row("&h379", "C", "514 889 889 cycle");
        row("&h208", "sv_SE", "520 400 520 read");
        row("0x+5", "C", "514 400 400 invalid");
        row("", "C", "514 400 400 none");
        row(" ", "C", "514 400 400 invalid");
        row("0x80000000", "C", "514 400 400 invalid");
    }

    void interpretsPortAnswer()
    {
        const auto [answer, locale, expected] = kAnswers.row();
        constexpr const char *actions[] = {"none", "read", "cycle", "invalid"};

        const PortAnswer r = interpretPortAnswer(answer, {514, 400, 400}, QLocale(locale));
        QCOMPARE(QString::asprintf("%d %d %d %s", r.state.gamePortAdr, r.state.parPortAdr,
                                   r.state.portAdr, actions[int(r.action)]),
                 expected);
        if (r.action == PortAction::Invalid)
            QVERIFY(invalidPortAnswerMessage(answer).contains(u'”' + answer + u'”'));
    }

    void formatsTemperatureAndCaption_data()
    {
        kTexts.addColumns();
        const auto row = [](float t, const char *locale, const char *text, const char *clock) {
            QTest::addRow("%s %s", text, locale) << t << locale << text << clock;
        };
        // Corrected readings as the window computes them: double arithmetic, stored as float.
        row(static_cast<float>(22.4f - 1.1), "C", "21.3 C", "21:05:03");
        row(static_cast<float>(-2.9f - 1.1), "sv_SE", "-4,0 C", "21:05:03");
        row(0.35f, "C", "0.3 C", "21:05:03"); // the float lies below the half
        row(-0.04f, "C", "0.0 C", "21:05:03");
        row(1234.5f, "en_US", "1234.5 C", "21:05:03");
        row(21.3f, "fi_FI", "21,3 C", "21.05.03");
        row(qQNaN(), "C", "--.- C", "21:05:03");
        row(qInf(), "sv_SE", "--.- C", "21:05:03");
    }

    void formatsTemperatureAndCaption()
    {
        const auto [t, locale, text, clock] = kTexts.row();
        QCOMPARE(temperatureText(t, QLocale(locale)), text);
        QCOMPARE(windowCaption(t, QTime(21, 5, 3), QLocale(locale)), text + "  " + clock);
    }
};

QTEST_GUILESS_MAIN(TestSensor)
#include "tst_sensor.moc"

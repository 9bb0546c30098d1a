#include "DataColumns.h"
#include "ProgramFolderPlugins.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Qt's plugin paths of a program whose folder others may write: the folder is off the list from
// the first plugin on, a qt.conf planted there is not read, and the environment is as it was.
// Then each Qt tool, copied beside planted plugins and a qt.conf, works as if they were not there.
class tst_PluginFolder : public QObject
{
    Q_OBJECT

    // arguments: DIR is the tool's folder; output: what it must have written there.
    static constexpr DataTable<QString, QStringList, QString> kTools{"program", "arguments",
                                                                     "output"};

private slots:
    void programFolderIsNoPluginPath()
    {
        QCOMPARE(QCoreApplication::libraryPaths(),
                 QStringList({"/tmp", QLibraryInfo::path(QLibraryInfo::PluginsPath)}));
        QVERIFY(QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/qt.conf")));
        QCOMPARE(qgetenv("QT_PLUGIN_PATH"), QByteArray("/tmp"));
    }

    void toolsIgnoreTheirFolder_data()
    {
        kTools.addColumns();
        QTest::newRow("kalvik-export")
            << KALVIK_EXPORT_PATH << QStringList{"DIR/T_2026.dat", "--png", "DIR/a.png"} << "a.png";
        QTest::newRow("kalvik-logger")
            << KALVIK_LOGGER_PATH
            << QStringList{"--once", "--altitude", "0", "--folder", "DIR/data"} << "data";
        QTest::newRow("kalvik-sample")
            << KALVIK_SAMPLE_PATH
            << QStringList{"--year", "2026", "--interval", "60", "--out", "DIR/T_2027.dat"}
            << "T_2027.dat";
        QTest::newRow("kalvik-import") << KALVIK_IMPORT_PATH << QStringList{"--version"} << "";
        QTest::newRow("kalvik-web")
            << KALVIK_WEB_PATH << QStringList{"--folder", "DIR", "--out", "DIR/site"} << "site";
    }

    void toolsIgnoreTheirFolder()
    {
        auto [program, arguments, output] = kTools.row();
        QTemporaryDir dir;
        const QString name = QFileInfo(program).fileName();
        QVERIFY(QFile::copy(program, dir.filePath(name)));
        QVERIFY(QDir(dir.path()).mkpath("platforms") && QDir(dir.path()).mkpath("imageformats") &&
                QDir(dir.path()).mkpath("data"));
        for (const auto &[planted, text] : {std::pair{"platforms/libqoffscreen.so", ""},
                                            {"T_2026.dat", ""},
                                            {"qt.conf", "[Paths]\nPrefix=/planted\n"}}) {
            QFile file(dir.filePath(planted));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == qint64(qstrlen(text)));
        }
        // A plugin that claims PNG and leaves a mark when it is loaded.
        QVERIFY(QFile::copy(PLANTED_PLUGIN_PATH, dir.filePath("imageformats/libqplanted.so")));

        QProcess tool;
        tool.start(dir.filePath(name), arguments.replaceInStrings("DIR", dir.path()));
        QVERIFY(tool.waitForFinished(30000));
        QVERIFY2(tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0,
                 tool.readAllStandardError().constData());
        QVERIFY(output.isEmpty() || QFileInfo(dir.filePath(output)).size() > 0 ||
                !QDir(dir.filePath(output)).isEmpty());
        QVERIFY(!QFile::exists(dir.filePath("imageformats/planted-plugin-ran")));
    }
};

int main(int argc, char *argv[])
{
    // A user's own plugin path stays in use.
    qputenv("QT_PLUGIN_PATH", "/tmp");
    auto plugins =
        std::make_unique<ProgramFolderPlugins>(ProgramFolderPlugins::runningProgramFolder());
    QCoreApplication app(argc, argv);
    plugins.reset();
    tst_PluginFolder test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pluginfolder.moc"

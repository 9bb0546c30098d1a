#include "ProgramFolderPlugins.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QtTest>

// Qt's plugin paths of a program whose folder others may write: the folder is
// off the list from the first plugin on, a qt.conf planted there is not read,
// and the environment is as it was.
class tst_PluginFolder : public QObject
{
    Q_OBJECT

private slots:
    void programFolderIsNoPluginPath()
    {
        const QStringList paths = QCoreApplication::libraryPaths();
        QVERIFY2(!paths.contains(QDir(QCoreApplication::applicationDirPath()).canonicalPath()),
                 qPrintable(paths.join(u' ')));
        QVERIFY(QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/qt.conf")));
        QVERIFY(paths.contains(QLibraryInfo::path(QLibraryInfo::PluginsPath)));
        QVERIFY(paths.contains(QStringLiteral("/tmp")));
        QCOMPARE(qgetenv("QT_PLUGIN_PATH"), QByteArray("/tmp"));
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

#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// Qt looks for plugins in the program's folder too: a plugin planted there
// would run in every user's program, and a qt.conf there could send Qt to
// plugins elsewhere (each program also carries its own qt.conf, which Qt reads
// instead). Made before the application object, this
// takes the folder off Qt's plugin paths; dropped after it, it puts back the
// environment it borrowed.
//
// Qt adds the program folder while it builds the application object and keeps
// it unless it was already listed when the paths were set: so the folder is
// listed through QT_PLUGIN_PATH first and then taken off the list.
class ProgramFolderPlugins
{
public:
    explicit ProgramFolderPlugins(const QString &programFolder);
    ~ProgramFolderPlugins();
    ProgramFolderPlugins(const ProgramFolderPlugins &) = delete;
    ProgramFolderPlugins &operator=(const ProgramFolderPlugins &) = delete;

    // The folder of the running program, symlinks resolved, as Qt sees it.
    static QString runningProgramFolder();

private:
    bool m_hadPluginPath;
    QByteArray m_pluginPath;
};

// Qt's application object of type App (QCoreApplication, QApplication), made
// with the program's folder kept off its plugin paths.
template <class App> std::unique_ptr<App> makeApplication(int &argc, char **argv)
{
    const ProgramFolderPlugins keptOut(ProgramFolderPlugins::runningProgramFolder());
    return std::make_unique<App>(argc, argv);
}

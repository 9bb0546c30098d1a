#include "ProgramFolderPlugins.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace {
constexpr char kPluginPathVariable[] = "QT_PLUGIN_PATH";
}

ProgramFolderPlugins::ProgramFolderPlugins(const QString &programFolder)
    : m_hadPluginPath(qEnvironmentVariableIsSet(kPluginPathVariable)),
      m_pluginPath(qgetenv(kPluginPathVariable))
{
    const QString folder = QDir(programFolder).canonicalPath();
    QByteArray listed = m_pluginPath;
    if (!listed.isEmpty())
        listed += QDir::listSeparator().toLatin1();
    qputenv(kPluginPathVariable, listed + QFile::encodeName(folder));
    QStringList paths = QCoreApplication::libraryPaths();
    paths.removeAll(folder);
    QCoreApplication::setLibraryPaths(paths);
}

ProgramFolderPlugins::~ProgramFolderPlugins()
{
    if (m_hadPluginPath)
        qputenv(kPluginPathVariable, m_pluginPath);
    else
        qunsetenv(kPluginPathVariable);
}

QString ProgramFolderPlugins::runningProgramFolder()
{
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath())
        .absolutePath();
}

#include "KalvikDataFolder.h"
#include "ProgramFolderPlugins.h"
#include "frmKalvik.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Plugins and a qt.conf in the program's folder are not ours to load.
    const auto app = makeApplication<QApplication>(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kalvik"));
    QApplication::setApplicationVersion(QStringLiteral(KALVIK_VERSION));
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("se.kalvik.kalvik"));
    // The program speaks Swedish, so its dialogs' own buttons do too.
    installSwedishTranslations(*app);
    frmKalvik window(KalvikEnvironment::forProgram(QCoreApplication::applicationDirPath(),
                                                   QString::fromUtf8(kKalvikDataFolder)));
    window.Form_Load();
    return QApplication::exec();
}

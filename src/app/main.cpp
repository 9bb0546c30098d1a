#include "frmKalvik.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kalvik"));
    // The program speaks Swedish, so its dialogs' own buttons do too.
    installSwedishTranslations(app);
    frmKalvik window(KalvikEnvironment::forProgram(QCoreApplication::applicationDirPath()));
    window.Form_Load();
    return QApplication::exec();
}

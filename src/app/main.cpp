#include "frmKalvik.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kalvik"));
    // The program speaks Swedish, so its dialogs' own buttons do too.
    QTranslator qtSwedish;
    if (qtSwedish.load(QLocale(QLocale::Swedish, QLocale::Sweden), QStringLiteral("qt"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtSwedish);
    frmKalvik window(KalvikEnvironment::forProgram(QCoreApplication::applicationDirPath()));
    window.Form_Load();
    return QApplication::exec();
}

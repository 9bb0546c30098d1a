#include "ImportOptions.h"
#include "ProgramFolderPlugins.h"
#include "SwedishCommandLine.h"
#include "YearImport.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
    // Plugins and a qt.conf in the program's folder are not ours to load.
    auto plugins =
        std::make_unique<ProgramFolderPlugins>(ProgramFolderPlugins::runningProgramFolder());
    QCoreApplication app(argc, argv);
    plugins.reset();
    SwedishCommandLine swedish;
    QCoreApplication::installTranslator(&swedish);
    QTextStream out(stdout);
    QTextStream err(stderr);

    const ParsedImportOptions parsed = parseImportOptions(QCoreApplication::arguments().mid(1));
    if (parsed.help) {
        out << importHelpText();
        return 0;
    }
    if (parsed.version) {
        out << QStringLiteral("kalvik-import " KALVIK_VERSION) << Qt::endl;
        return 0;
    }
    if (!parsed.options) {
        err << QStringLiteral("kalvik-import: ") << parsed.error << Qt::endl
            << importUsage() << Qt::endl;
        return 2;
    }
    return runImport(*parsed.options, QTimeZone::systemTimeZone(), out, err);
}

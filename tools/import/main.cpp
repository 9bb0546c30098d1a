#include "ImportOptions.h"
#include "ProgramFolderPlugins.h"
#include "SwedishCommandLine.h"
#include "ToolMain.h"
#include "YearImport.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    // Plugins and a qt.conf in the program's folder are not ours to load.
    const auto app = makeApplication<QCoreApplication>(argc, argv);
    SwedishCommandLine swedish;
    QCoreApplication::installTranslator(&swedish);

    const ParsedImportOptions parsed = parseImportOptions(QCoreApplication::arguments().mid(1));
    if (const auto answer = answerBeforeRunning(parsed, QStringLiteral("kalvik-import"),
                                                importHelpText(), KALVIK_VERSION))
        return *answer;
    QTextStream out(stdout);
    QTextStream err(stderr);
    return runImport(*parsed.options, QTimeZone::systemTimeZone(), out, err);
}

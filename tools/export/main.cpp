#include "ExportOptions.h"
#include "ProgramFolderPlugins.h"
#include "SwedishCommandLine.h"
#include "ToolMain.h"
#include "YearExport.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    passOnlyQtErrors();
    // The chart is drawn off screen, so no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Plugins and a qt.conf in the program's folder are not ours to load.
    const auto app = makeApplication<QApplication>(argc, argv);
    SwedishCommandLine swedish;
    QCoreApplication::installTranslator(&swedish);

    const ParsedOptions parsed = parseExportOptions(QCoreApplication::arguments().mid(1));
    if (const auto answer = answerBeforeRunning(parsed, QStringLiteral("kalvik-export"),
                                                exportUsage(), KALVIK_VERSION))
        return *answer;
    const ExportResult result = runExport(*parsed.options);
    if (!result.message.isEmpty())
        for (const QString &line : result.message.split(QLatin1Char('\n')))
            sayLine(stderr, QStringLiteral("kalvik-export: ") + line);
    return result.exitCode;
}

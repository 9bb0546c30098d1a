#include "ProgramFolderPlugins.h"
#include "SwedishCommandLine.h"
#include "ToolMain.h"
#include "WebOptions.h"
#include "WebRun.h"

#include <QApplication>
#include <QDateTime>

int main(int argc, char *argv[])
{
    passOnlyQtErrors();
    // The year chart is the window's picture, drawn off screen: no display needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Plugins and a qt.conf in the program's folder are not ours to load.
    const auto app = makeApplication<QApplication>(argc, argv);
    SwedishCommandLine swedish;
    QCoreApplication::installTranslator(&swedish);

    const ParsedWebOptions parsed = parseWebOptions(QCoreApplication::arguments().mid(1));
    if (const auto answer =
            answerBeforeRunning(parsed, QStringLiteral("kalvik-web"), webUsage(), KALVIK_VERSION))
        return *answer;
    const WebResult result = runWeb(*parsed.options, QDateTime::currentDateTime());
    if (!result.message.isEmpty())
        sayLine(stderr, QStringLiteral("kalvik-web: ") + result.message);
    return result.exitCode;
}

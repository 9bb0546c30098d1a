// kalvik-web: the station's web pages from the year files.
#include "RunTool.h"
#include "WebOptions.h"
#include "WebRun.h"

#include <QApplication>
#include <QDateTime>

int main(int argc, char *argv[])
{
    passOnlyQtErrors();
    // The year chart is the window's picture, drawn off screen: no display needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return runTool<QApplication>(
        argc, argv, webOptionTable(), webUsage, KALVIK_VERSION, [](const WebOptions &options) {
            const WebResult result = runWeb(options, QDateTime::currentDateTime());
            if (!result.message.isEmpty())
                sayLine(stderr, QStringLiteral("kalvik-web: ") + result.message);
            return result.exitCode;
        });
}
